#pragma once

// The walk window tests of the menus begin with, as a player makes it by keys: past the splash,
// Play on the title, and both keyboard halves join and ready in player selection, which leads to
// the level select (its highlight on the Map row).

#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <thread>

// The empty bottom-left panel's deep purple, which nothing on the title shows at that spot.
inline bool PlayerSelectionShown(unsigned long window) {
    unsigned char rgb[3] = {};
    return windowPixel(window, 80, 640, rgb) && rgb[1] < 90 && rgb[2] > 120 && rgb[0] < 170;
}

// Each key in turn, with the time a player takes between two.
inline ::testing::AssertionResult PressKeys(unsigned long window, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        if (!sendKey(window, key)) {
            return ::testing::AssertionFailure() << "the key " << key << " could not be sent";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult WalkToLevelSelect(GameProcess& game, unsigned long window) {
    using namespace std::chrono_literals;
    std::this_thread::sleep_for(5500ms); // the splash can be skipped from its second picture on
    if (!sendKey(window, "Return") || !game.waitForOutput("Load Time: = ", 2, 30s)) {
        return ::testing::AssertionFailure() << "no title after the splash\n" << game.output();
    }
    for (int attempt = 0; attempt < 10 && !PlayerSelectionShown(window); ++attempt) {
        std::this_thread::sleep_for(1000ms); // the title's fade, then Play
        if (!sendKey(window, "Return")) {
            return ::testing::AssertionFailure() << "a key could not be sent";
        }
        std::this_thread::sleep_for(1500ms);
    }
    if (!PlayerSelectionShown(window)) {
        return ::testing::AssertionFailure() << "player selection never showed\n" << game.output();
    }
    ::testing::AssertionResult joined =
        PressKeys(window, {"t", "t", "KP_8", "KP_8"}); // join and ready, each half
    std::this_thread::sleep_for(2000ms);               // on to the level select
    return joined;
}
