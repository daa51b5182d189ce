#include "platform/display.hpp"

#include <X11/Xlib.h>

namespace {

Display* checkConnection = nullptr;

} // namespace

bool DisplayAvailable() {
    if (checkConnection == nullptr) {
        checkConnection = XOpenDisplay(nullptr);
    }
    return checkConnection != nullptr;
}

void ReleaseDisplayCheck() {
    if (checkConnection != nullptr) {
        XCloseDisplay(checkConnection);
        checkConnection = nullptr;
    }
}
