#include <X11/Xlib.h>

// An X server resets when its last client leaves, and refuses connections while
// it does. Tests that start and terminate GLFW again and again hold one connection
// of their own for the whole process so the virtual display never resets under them.
// Not static: the optimiser drops a pointer nothing reads, and LeakSanitizer takes that for a leak.
Display* fennikTestDisplay = XOpenDisplay(nullptr);
