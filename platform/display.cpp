#include "platform/display.hpp"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

Display* checkConnection = nullptr;

} // namespace

bool DisplayAvailable() {
    // A server that is resetting because another client just left refuses connections for a
    // moment: try a few times before saying there is no display. With no display named at all
    // there is nothing to wait for.
    const bool named = std::getenv("DISPLAY") != nullptr;
    for (int attempt = 0; checkConnection == nullptr && attempt < (named ? 5 : 1); ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
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
