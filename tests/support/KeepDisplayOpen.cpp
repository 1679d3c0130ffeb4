#include <X11/Xlib.h>

namespace {

// An X server resets when its last client leaves, and refuses connections while
// it does. Tests that start and terminate GLFW again and again hold one connection
// of their own for the whole process so the virtual display never resets under them.
struct KeepDisplayOpen {
    KeepDisplayOpen() : display(XOpenDisplay(nullptr)) {}
    Display* display;
} keepDisplayOpen;

} // namespace
