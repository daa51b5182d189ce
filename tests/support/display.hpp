#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// SFML aborts when it needs OpenGL and no X display exists, so such tests skip instead.
inline bool haveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

#define GRUMBO_REQUIRE_DISPLAY()                                                                             \
    do {                                                                                                     \
        if (!haveDisplay()) {                                                                                \
            GTEST_SKIP() << "needs an X display (run the suite through the README's test command)";          \
        }                                                                                                    \
    } while (0)
