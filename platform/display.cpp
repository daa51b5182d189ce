#include "platform/display.hpp"

#include <X11/Xlib.h>

bool DisplayAvailable() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}
