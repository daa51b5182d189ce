// The real editor driven as a player drives it. A platform of Meadow dragged to a new place and
// saved as the player's own copy under the name asked for, Meadow itself unchanged. The first keys
// before the mouse moves, and the question before unsaved work is thrown away. And a new map made
// with the keys in a fresh home folder, the game's own folder read-only: saved into the player's
// folder, offered by the level select at the next start, played with --match, and the game's
// folder unchanged.
#include "editor/editor_view.hpp"
#include "objects/json_data.hpp"
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/menu_walk.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
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

// Every file and folder under root with what each file holds.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        entries[entry.path().string()] =
            entry.is_regular_file() ? FileText(entry.path().string()) : "(folder)";
    }
    return entries;
}

// Gives a read-only folder back its write permission when the test ends, so it can be removed.
struct WritableAgain {
    fs::path folder;
    ~WritableAgain() {
        if (std::system(("chmod -R u+w " + folder.string()).c_str()) != 0) {
            ADD_FAILURE() << "cannot make " << folder << " writable again";
        }
    }
};

// The window's view of the world as a map's camera frames it, before any pan or zoom.
EditorView mapView(float cameraZoom) {
    EditorView view;
    view.zoom = cameraZoom;
    view.viewport = computeViewport(1280, 800);
    view.windowHeight = 800.0f;
    return view;
}

#define REQUIRE_XDOTOOL()                                                                                    \
    do {                                                                                                     \
        GRUMBO_REQUIRE_DISPLAY();                                                                            \
        if (std::system("command -v xdotool > /dev/null") != 0) {                                            \
            GTEST_SKIP() << "needs xdotool";                                                                 \
        }                                                                                                    \
    } while (0)

// The pixel of the window at a point of the world, as the map's camera frames it.
std::array<unsigned char, 3> pixelAt(unsigned long window, const EditorView& view, vec2 world) {
    std::array<unsigned char, 3> rgb{};
    const vec2 at = view.toScreen(world);
    windowPixel(window, static_cast<int>(at.x), static_cast<int>(at.y), rgb.data());
    return rgb;
}

} // namespace

// A match on a player's map shows its platforms where the editor put them: see the last case.
TEST(EditorWindow, ADraggedPlatformIsSavedUnderTheNameAskedForAndTheShippedMapIsUnchanged) {
    REQUIRE_XDOTOOL();
    TempRunDir dir;
    const fs::path run = fs::current_path(), build = GRUMBO_RESOURCES_DIR, resources = dir.resources();
    ASSERT_EQ(std::system(("cp -rs " + build.string() + "/. " + resources.string()).c_str()), 0);
    fs::create_symlink(fs::path(GRUMBO_RUN_DIR) / "shaders", run / "shaders");
    const fs::path maps = resources / ".." / "data" / "grumbo" / "maps";
    setenv("XDG_DATA_HOME", (resources / ".." / "data").c_str(), 1);
    const fs::path mapFile = resources / "JsonData" / "Meadow.json";
    const MapData before = readMap(mapFile);
    ASSERT_EQ(before.platforms.size(), 8u);
    const PlatformEntry ledge = before.platforms[6]; // the small one up on the left, no spawn point on it

    const EditorView view = mapView(before.cameraZoom);
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
        ASSERT_TRUE(editor.waitForOutput("give it a name of your own", 30s)) << editor.output();
        ASSERT_TRUE(xdotool("sleep 0.5 type --delay 80 MyMeadow"));
        ASSERT_TRUE(xdotool("sleep 0.3 key Return"));
        ASSERT_TRUE(editor.waitForOutput("Saved map \"MyMeadow\"", 30s)) << editor.output();
        ASSERT_TRUE(requestWindowClose(window));
        EXPECT_EQ(editor.waitForExit(60s), 0) << editor.output();
    }

    EXPECT_EQ(readMap(mapFile), before) << "the shipped map is never changed";
    const MapData after = readMap(maps / "MyMeadow.json");
    ASSERT_EQ(after.platforms.size(), 8u);
    const vec3 moved = after.platforms[6].position;
    EXPECT_NEAR(moved.x, ledge.position.x - 6.0f, 0.2f);
    EXPECT_NEAR(moved.y, ledge.position.y + 4.0f, 0.2f);
    for (size_t i = 0; i < 8; ++i) {
        if (i != 6) {
            EXPECT_EQ(after.platforms[i], before.platforms[i]) << i;
        }
    }
}

// Straight after the start, before the mouse has moved over the window, N and P place their
// pieces in the middle of the view (the window knows no mouse yet) and the title marks the map
// changed. Then the close button asks instead of quitting, Escape goes back to the map, Ctrl+Q
// asks again, and D quits without touching the map's file.
TEST(EditorWindow, TheFirstKeysPlaceBeforeTheMouseMovesAndQuittingAsksAndDiscardLeavesTheFileAlone) {
    REQUIRE_XDOTOOL();
    const fs::path mapFile = fs::path(GRUMBO_RESOURCES_DIR) / "JsonData" / "Meadow.json";
    const std::string before = FileText(mapFile.string());

    GameProcess editor({"--edit", "Meadow", "--windowed"});
    ASSERT_TRUE(editor.waitForOutput("Load Time: = ", 60s)) << editor.output();
    const unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(1s);
    const std::string focus = "windowfocus --sync " + std::to_string(window) + " ";
    ASSERT_TRUE(xdotool(focus + "key n sleep 0.5 key p sleep 0.5"));
    ASSERT_EQ(editor.waitForExit(1s), -1) << "still running\n" << editor.output();
    EXPECT_NE(findWindowByTitle("Grumbo! map editor: Meadow (unsaved changes)", 10s), 0ul)
        << "the title names the map and marks it";

    ASSERT_TRUE(requestWindowClose(window));
    ASSERT_TRUE(editor.waitForOutput("has unsaved changes", 30s)) << editor.output();
    EXPECT_EQ(editor.waitForExit(2s), -1) << "still open, asking";
    ASSERT_TRUE(xdotool(focus + "key Escape"));
    ASSERT_TRUE(editor.waitForOutput("Back to the map", 30s)) << editor.output();
    ASSERT_TRUE(xdotool(focus + "key ctrl+q"));
    ASSERT_TRUE(editor.waitForOutput("has unsaved changes", 2, 30s)) << editor.output();
    ASSERT_TRUE(xdotool(focus + "key d"));
    EXPECT_EQ(editor.waitForExit(60s), 0) << editor.output();
    EXPECT_EQ(FileText(mapFile.string()), before);
}

// A player with the installed game: their new map is saved in their own folder, offered by the
// level select at the next start and played by --match, and the game's own folder is never written.
TEST(EditorWindow, APlayersNewMapIsSavedInTheirFolderOfferedAtTheNextStartAndPlayed) {
    REQUIRE_XDOTOOL();
    // A player's home, and the game's folder as an installed game has it: a copy nobody writes.
    TempRunDir dir;
    const fs::path run = fs::current_path(), resources = dir.resources(), home = resources / ".." / "home";
    ASSERT_EQ(
        std::system(("cp -r " + std::string(GRUMBO_RESOURCES_DIR) + "/. " + resources.string()).c_str()), 0);
    const WritableAgain writable{resources};
    ASSERT_EQ(std::system(("chmod -R a-w " + resources.string()).c_str()), 0);
    fs::create_symlink(fs::path(GRUMBO_RUN_DIR) / "shaders", run / "shaders");
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    const auto gameFolder = snapshot(resources);
    const fs::path maps = home / ".local" / "share" / "grumbo" / "maps";

    // A new map: the starter floor, and a platform added with N where the mouse points.
    const EditorView view = mapView(34.0f); // the starter map's
    const vec2 ledge{0.0f, 2.0f};
    {
        GameProcess editor(GRUMBO_GAME_EXE, run.string(), {"--edit", "MyArena", "--windowed"});
        ASSERT_TRUE(editor.waitForOutput("Load Time: = ", 60s)) << editor.output();
        const unsigned long window = findWindowByTitle("Grumbo!", 30s);
        ASSERT_NE(window, 0ul);
        std::this_thread::sleep_for(1s);
        const std::string id = std::to_string(window);
        ASSERT_TRUE(xdotool("mousemove --window " + id + " " + at(view.toScreen(ledge)) + " sleep 0.4"));
        ASSERT_TRUE(xdotool("windowfocus --sync " + id + " key n sleep 0.5 key ctrl+s"));
        ASSERT_TRUE(editor.waitForOutput("Saved map \"MyArena\" to " + (maps / "MyArena.json").string(), 30s))
            << editor.output();
        ASSERT_TRUE(requestWindowClose(window));
        editor.waitForExit(60s);
    }
    const MapData made = readMap(maps / "MyArena.json");
    ASSERT_EQ(made.platforms.size(), 2u);
    EXPECT_NEAR(made.platforms[1].position.x, ledge.x, 0.1f);
    EXPECT_NEAR(made.platforms[1].position.y, ledge.y, 0.1f);
    EXPECT_TRUE(fs::exists(maps / "MyArena.png"));

    // The next start: two players ready, the map row stepped back from the first map round to
    // the last, which is the player's; the match it starts is recorded with its map.
    const fs::path recording = resources / ".." / "match.rec";
    {
        // Full screen, so the whole window is on the screen and every pixel of it can be read.
        GameProcess game(GRUMBO_GAME_EXE, run.string(), {"--record", recording.string()});
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
        const unsigned long window = findWindowByTitle("Grumbo!", 30s);
        ASSERT_NE(window, 0ul);
        ASSERT_TRUE(WalkToLevelSelect(game, window));
        ASSERT_TRUE(PressKeys(window, {"Left", "Up", "Return"}));
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 3, 30s)) << game.output(); // the match
        std::this_thread::sleep_for(2s);
        ASSERT_TRUE(requestWindowClose(window));
        EXPECT_EQ(game.waitForExit(60s), 0) << game.output();
        EXPECT_EQ(game.output().find("CAN'T FIND TEXTURE"), std::string::npos) << game.output();
    }
    EXPECT_NE(FileText(recording.string()).find("setting MapName=MyArena\n"), std::string::npos)
        << FileText(recording.string()).substr(0, 400);

    // --match plays it: the new platform's plate where it was put, as on the floor.
    GameProcess match(GRUMBO_GAME_EXE, run.string(), {"--match", "MyArena"});
    ASSERT_TRUE(match.waitForOutput("Load Time: = ", 60s)) << match.output();
    const unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(4s); // the fade opens and the "Go" sign passes
    const auto plate = pixelAt(window, view, ledge), floor = pixelAt(window, view, {0.0f, -8.0f}),
               sky = pixelAt(window, view, {0.0f, 5.0f});
    EXPECT_LT(distance(plate.data(), floor.data()), 30) << "the new platform's plate";
    EXPECT_GT(distance(sky.data(), floor.data()), 40) << "and the sky above it";
    ASSERT_TRUE(requestWindowClose(window));
    match.waitForExit(60s);

    EXPECT_EQ(snapshot(resources), gameFolder) << "the game's folder is never written";
}
