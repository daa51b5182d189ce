// The real editor driven with the mouse: a platform of Meadow dragged to a new place and saved,
// then a match started on the saved map shows it where it was dropped. The game runs from a run
// folder of its own whose resources link to the build's, but for copies of the data and preview
// folders, so the build's stay as they are.
#include "editor/editor_view.hpp"
#include "objects/json_data.hpp"
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

std::string at(vec2 p) {
    return std::to_string(std::lround(p.x)) + " " + std::to_string(std::lround(p.y));
}

MapData readMap(const fs::path& file) {
    return readMapData(parseJsonText(FileText(file.string()), file.string()));
}

int distance(const unsigned char a[3], const unsigned char b[3]) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

} // namespace

TEST(EditorWindow, ADraggedPlatformIsSavedAndTheMatchHasItWhereItWasDropped) {
    GRUMBO_REQUIRE_DISPLAY();
    if (std::system("command -v xdotool > /dev/null") != 0) {
        GTEST_SKIP() << "needs xdotool";
    }
    TempRunDir dir;
    const fs::path run = fs::current_path(), build = GRUMBO_RESOURCES_DIR, resources = dir.resources();
    ASSERT_EQ(std::system(("cp -rs " + build.string() + "/. " + resources.string()).c_str()), 0);
    for (const char* written : {"JsonData", "Texture/MainMenu/LevelSelection"}) {
        fs::remove_all(resources / written);
        fs::copy(build / written, resources / written, fs::copy_options::recursive);
    }
    fs::create_symlink(fs::path(GRUMBO_RUN_DIR) / "shaders", run / "shaders");
    const fs::path mapFile = resources / "JsonData" / "Meadow.json";
    const MapData before = readMap(mapFile);
    ASSERT_EQ(before.platforms.size(), 8u);
    const PlatformEntry ledge = before.platforms[6]; // the small one up on the left, no spawn point on it

    EditorView view;
    view.zoom = before.cameraZoom;
    view.viewport = computeViewport(1280, 800);
    view.windowHeight = 800.0f;
    const vec2 grab = view.toScreen({ledge.position.x, ledge.position.y});
    const vec2 drop = view.toScreen({ledge.position.x - 6.0f, ledge.position.y + 4.0f});
    {
        GameProcess editor(GRUMBO_GAME_EXE, run.string(), {"--edit", "Meadow", "--windowed"});
        ASSERT_TRUE(editor.waitForOutput("Load Time: = ", 60s)) << editor.output();
        unsigned long window = findWindowByTitle("Grumbo!", 30s);
        ASSERT_NE(window, 0ul);
        std::this_thread::sleep_for(1s);
        // Without a window manager the window need not sit at the screen's corner: the mouse
        // moves in the window's own pixels.
        const std::string in = "mousemove --window " + std::to_string(window) + " ";
        ASSERT_TRUE(xdotool(in + at(grab) + " sleep 0.4 mousedown 1 sleep 0.4"));
        for (int step = 1; step <= 8; ++step) {
            ASSERT_TRUE(xdotool(in + at(grab + (drop - grab) * (step / 8.0f)) + " sleep 0.15"));
        }
        ASSERT_TRUE(xdotool("sleep 0.4 mouseup 1 sleep 0.6"));
        // The keys go to the window with the focus: make sure it is this one.
        ASSERT_TRUE(xdotool("windowfocus --sync " + std::to_string(window) + " key ctrl+s"));
        ASSERT_TRUE(editor.waitForOutput("save over it?", 30s)) << editor.output();
        ASSERT_TRUE(xdotool("key Return"));
        ASSERT_TRUE(editor.waitForOutput("Saved map \"Meadow\"", 30s)) << editor.output();
        ASSERT_TRUE(requestWindowClose(window));
        EXPECT_EQ(editor.waitForExit(60s), 0) << editor.output();
    }

    const MapData after = readMap(mapFile);
    ASSERT_EQ(after.platforms.size(), 8u);
    const vec3 moved = after.platforms[6].position;
    EXPECT_NEAR(moved.x, ledge.position.x - 6.0f, 0.2f);
    EXPECT_NEAR(moved.y, ledge.position.y + 4.0f, 0.2f);
    for (size_t i = 0; i < 8; ++i) {
        if (i != 6) {
            EXPECT_EQ(after.platforms[i], before.platforms[i]) << i;
        }
    }

    GameProcess match(GRUMBO_GAME_EXE, run.string(), {"--match", "Meadow", "--windowed"});
    ASSERT_TRUE(match.waitForOutput("Load Time: = ", 60s)) << match.output();
    unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(4s); // the fade opens and the "Go" sign passes
    unsigned char there[3], before6[3], twin[3];
    const vec2 newPlace = view.toScreen({moved.x, moved.y});
    const vec2 oldPlace = view.toScreen({ledge.position.x, ledge.position.y});
    const PlatformEntry& mirrorLedge = before.platforms[7]; // the same size on the right
    const vec2 twinPlace = view.toScreen({mirrorLedge.position.x, mirrorLedge.position.y});
    ASSERT_TRUE(windowPixel(window, static_cast<int>(newPlace.x), static_cast<int>(newPlace.y), there));
    ASSERT_TRUE(windowPixel(window, static_cast<int>(oldPlace.x), static_cast<int>(oldPlace.y), before6));
    ASSERT_TRUE(windowPixel(window, static_cast<int>(twinPlace.x), static_cast<int>(twinPlace.y), twin));
    EXPECT_LT(distance(there, twin), 30) << "the platform's plate where it was dropped";
    EXPECT_GT(distance(before6, twin), 40) << "and the sky where it was";
    ASSERT_TRUE(requestWindowClose(window));
    match.waitForExit(60s);
}

// Straight after the start, before the mouse has moved over the window, N and P place their pieces
// in the middle of the view (the window knows no mouse yet); then Ctrl+Q asks about the unsaved
// new map, and D quits without it.
TEST(EditorWindow, TheFirstKeysBeforeTheMouseMovesPlaceInTheMiddleAndCtrlQAsksFirst) {
    GRUMBO_REQUIRE_DISPLAY();
    if (std::system("command -v xdotool > /dev/null") != 0) {
        GTEST_SKIP() << "needs xdotool";
    }
    GameProcess editor({"--edit", "Scratch", "--windowed"});
    ASSERT_TRUE(editor.waitForOutput("Load Time: = ", 60s)) << editor.output();
    const unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(1s);
    const std::string focus = "windowfocus --sync " + std::to_string(window) + " ";
    ASSERT_TRUE(xdotool(focus + "key n sleep 0.5 key p sleep 0.5"));
    ASSERT_EQ(editor.waitForExit(1s), -1) << "still running\n" << editor.output();
    EXPECT_NE(findWindowByTitle("Grumbo! map editor: Scratch (unsaved changes)", 10s), 0ul)
        << "the title names the map and marks it";
    ASSERT_TRUE(xdotool(focus + "key ctrl+q"));
    ASSERT_TRUE(editor.waitForOutput("has unsaved changes", 30s)) << editor.output();
    ASSERT_TRUE(xdotool(focus + "key d"));
    EXPECT_EQ(editor.waitForExit(60s), 0) << editor.output();
}

// A nudged map and the close button: the editor asks instead of quitting; Escape goes back to the
// map, and the second close answered with D quits without touching the map's file.
TEST(EditorWindow, TheCloseButtonWithUnsavedChangesAsksAndDiscardLeavesTheFileAlone) {
    GRUMBO_REQUIRE_DISPLAY();
    if (std::system("command -v xdotool > /dev/null") != 0) {
        GTEST_SKIP() << "needs xdotool";
    }
    const fs::path mapFile = fs::path(GRUMBO_RESOURCES_DIR) / "JsonData" / "Meadow.json";
    const std::string before = FileText(mapFile.string());
    const MapData map = readMap(mapFile);
    EditorView view;
    view.zoom = map.cameraZoom;
    view.viewport = computeViewport(1280, 800);
    view.windowHeight = 800.0f;
    const vec2 ledge = view.toScreen({map.platforms[6].position.x, map.platforms[6].position.y});

    GameProcess editor({"--edit", "Meadow", "--windowed"});
    ASSERT_TRUE(editor.waitForOutput("Load Time: = ", 60s)) << editor.output();
    const unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(1s);
    const std::string focus = "windowfocus --sync " + std::to_string(window) + " ";
    ASSERT_TRUE(xdotool("mousemove --window " + std::to_string(window) + " " + at(ledge) +
                        " sleep 0.3 click 1 sleep 0.3"));
    ASSERT_TRUE(xdotool(focus + "key Up sleep 0.3"));
    ASSERT_NE(findWindowByTitle("Grumbo! map editor: Meadow (unsaved changes)", 10s), 0ul);

    ASSERT_TRUE(requestWindowClose(window));
    ASSERT_TRUE(editor.waitForOutput("has unsaved changes", 30s)) << editor.output();
    EXPECT_EQ(editor.waitForExit(2s), -1) << "still open, asking";
    ASSERT_TRUE(xdotool(focus + "key Escape"));
    ASSERT_TRUE(editor.waitForOutput("Back to the map", 30s)) << editor.output();
    ASSERT_TRUE(requestWindowClose(window));
    ASSERT_TRUE(editor.waitForOutput("has unsaved changes", 2, 30s)) << editor.output();
    ASSERT_TRUE(xdotool(focus + "key d"));
    EXPECT_EQ(editor.waitForExit(60s), 0) << editor.output();
    EXPECT_EQ(FileText(mapFile.string()), before);
}
