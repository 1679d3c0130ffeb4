// Part of every program in a sanitizer build (FENNIK_SANITIZE), and of no other.
//
// Mesa unloads its driver when the windowing library closes the display, which is
// before LeakSanitizer looks at the heap at exit. Whatever the driver still held would
// then be reported as leaked from an unknown module, which no suppression can name.
// Held open for the whole process, the driver stays mapped: what its own globals point
// to counts as reachable, as it does while the game runs, and anything it really loses
// is reported under its name.
#include <dlfcn.h>

namespace {

[[maybe_unused]] void* const softwareDriver = dlopen(FENNIK_GL_DRIVER, RTLD_NOW | RTLD_LOCAL);

} // namespace
