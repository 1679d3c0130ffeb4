#pragma once

// The one way the game reaches OpenGL: through GLEW's loader, which every context
// initialises right after it is made current.
#include <GL/glew.h>
