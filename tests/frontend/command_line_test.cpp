#include "frontend/command_line.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

const std::vector<std::string> kMaps = {"Meadow", "Canyon", "Starfall"};

CommandLine parse(const std::vector<std::string>& arguments, std::string* out = nullptr) {
    testing::internal::CaptureStdout();
    CommandLine line = ParseCommandLine(arguments, kMaps);
    std::string printed = testing::internal::GetCapturedStdout();
    if (out != nullptr) {
        *out = printed;
    }
    return line;
}

// Runs the real program with the arguments (and the environment's settings before them); its exit
// status, with its standard output in out.
int runGame(const std::string& arguments, std::string& out, const std::string& environment = "") {
    return RunCommand(environment + " " + std::string(GRUMBO_GAME_EXE) + " " + arguments + " 2>/dev/null",
                      out);
}

} // namespace

TEST(CommandLine, ReadsEveryOptionAndRefusesWhatItCannotUse) {
    CommandLine line = parse({"--match", "Canyon", "--players", "4", "--lives", "5", "--time", "90", "--bots",
                              "3", "--bot-level", "hard", "--record", "m.rec", "--windowed", "--rumble"});
    ASSERT_TRUE(line.match.has_value());
    EXPECT_FALSE(line.exitStatus.has_value());
    EXPECT_EQ((std::tuple{line.match->map, line.match->players, line.match->lives, line.match->seconds,
                          line.match->bots, line.match->botLevel}),
              (std::tuple{"Canyon", 4, 5, 90, 3, "hard"}));
    EXPECT_EQ(line.record, "m.rec");
    EXPECT_TRUE(line.windowed && line.rumble);
    EXPECT_EQ(parse({"--match", "Meadow", "--bots", "4"}).match->bots, 2)
        << "never more computers than seats";
    EXPECT_EQ(parse({"--match", "Meadow", "--sync-test", "60"}).syncTest, 60);
    EXPECT_TRUE(parse({"--join", "127.0.0.1", "--seats", "2", "--bots", "2", "--no-window"}).noWindow);
    line = parse({"--edit", "Lagoon2", "--theme", "lagoon"});
    EXPECT_EQ(line.edit + " " + line.theme, "Lagoon2 lagoon");
    EXPECT_FALSE(line.editNew);
    EXPECT_TRUE(parse({"--edit"}).editNew) << "alone, as the launcher's Map editor gives it: a new map";
    EXPECT_TRUE(parse({"--edit", "--windowed"}).editNew);
    // For the menus: a length the level select offers first, where Join looks, Host's port.
    line = parse({"--time", "10", "--look-at", "127.0.0.1", "--port", "27200"});
    EXPECT_FALSE(line.match.has_value());
    EXPECT_EQ(line.menuSeconds, 10);
    EXPECT_EQ(line.lookAt, std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(line.menuPort, 27200);
    EXPECT_EQ(parse({"--match", "Meadow", "--time", "10"}).menuSeconds, 0)
        << "the quick match's, not the menus'";

    std::string out;
    const std::vector<std::vector<std::string>> refused = {
        {"--wat"},
        {"--players", "9"},
        {"--time", "0"},
        {"--lives", "x"},
        {"--bot-level", "godlike"},
        {"--match"},
        {"--edit", ""},
        {"--look-at", "::1"},
        {"--look-at", ""},
        {"--host", "--edit"},
        {"--sync-test", "8"},                       // it checks a match
        {"--match", "Meadow", "--sync-test", "61"}, // at most a second back
        {"--match", "Meadow", "--sync-test", "8", "--record", "m.rec"},
        {"--match", "Meadow", "--bots", "2", "--no-window"},       // only online machines
        {"--host", "--seats", "2", "--bots", "1", "--no-window"}}; // a seat nobody could play
    for (const std::vector<std::string>& bad : refused) {
        EXPECT_EQ(parse(bad, &out).exitStatus, 2) << bad[0];
        EXPECT_NE(out.find("Usage: Grumbo"), std::string::npos) << "the help follows the line";
    }

    line = parse({"--match", "Moon"}, &out);
    EXPECT_FALSE(line.match.has_value());
    EXPECT_FALSE(line.exitStatus.has_value()) << "an unknown map starts the game as usual";
    EXPECT_EQ(out, "No map is called \"Moon\"; the maps are: Meadow, Canyon, Starfall\n");
}

TEST(CommandLine, APlayersMapIsPlayedHereButOnlineMatchesKeepToTheShippedMaps) {
    const std::vector<std::string> all = {"Meadow", "Canyon", "Arena"}, shipped = {"Meadow", "Canyon"};
    testing::internal::CaptureStdout();
    const CommandLine here = ParseCommandLine({"--match", "Arena"}, all, shipped);
    const CommandLine online = ParseCommandLine({"--host", "--match", "Arena"}, all, shipped);
    const CommandLine unknown = ParseCommandLine({"--host", "--match", "Moon"}, all, shipped);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(here.match.has_value());
    EXPECT_EQ(here.match->map, "Arena");
    EXPECT_EQ(online.online.shape.map, "Meadow");
    EXPECT_EQ(unknown.online.shape.map, "Meadow");
    EXPECT_EQ(out,
              "\"Arena\" is a map of your own; online matches play the maps that come with the game, which "
              "every machine has: Meadow is played instead\n"
              "No map is called \"Moon\"; the maps are: Meadow, Canyon\n");
}

TEST(CommandLine, TeamsAlternateOrFollowTheLettersHereAndOnline) {
    CommandLine line = parse({"--match", "Meadow", "--players", "3", "--teams"});
    ASSERT_TRUE(line.match.has_value());
    EXPECT_TRUE(line.match->teams.on && !line.match->teams.hits);
    EXPECT_EQ(line.match->teams.seat, AlternateTeams());
    line = parse({"--match", "Meadow", "--teams", "--team-hits", "--players", "4"});
    EXPECT_TRUE(line.match->teams.on && line.match->teams.hits) << "the letters are optional";
    line = parse({"--teams", "rrbB", "--match", "Canyon", "--players", "4"});
    EXPECT_EQ(line.match->teams.seat, *ParseTeamLetters("RRBB"));
    line = parse({"--host", "--players", "3", "--teams", "BRR", "--team-hits"});
    EXPECT_TRUE(line.online.shape.teams.on && line.online.shape.teams.hits);
    EXPECT_EQ(line.online.shape.teams.seat, *ParseTeamLetters("BRR"));
    EXPECT_FALSE(parse({"--match", "Meadow"}).match->teams.on);

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--teams"}, "--teams and --team-hits go with --match or --host"},
        {{"--join", "127.0.0.1", "--teams"}, "--teams and --team-hits go with --match or --host"},
        {{"--match", "Meadow", "--team-hits"}, "--team-hits goes with --teams"},
        {{"--match", "Meadow", "--teams", "RGB"},
         "--teams RGB: expected a letter a player, R (red) or B (blue), as in RRBB"},
        {{"--match", "Meadow", "--teams", "RRB"}, "--teams RRB: one letter a player, 2 for 2 players"},
        {{"--match", "Meadow", "--players", "3", "--teams", "BBB"},
         "--teams BBB: a team match needs a player on each side"}};
    for (const auto& [bad, why] : refused) {
        std::string out;
        EXPECT_EQ(parse(bad, &out).exitStatus, 2) << why;
        EXPECT_TRUE(out.starts_with(why + "\nUsage: Grumbo")) << out;
    }
}

// The program itself answers before it needs a display or a window.
TEST(CommandLine, TheGameListsItsOptionsOrRefusesAWrongOneAndQuits) {
    std::string out;
    EXPECT_EQ(runGame("--help", out), 0);
    EXPECT_TRUE(out.starts_with("Usage: Grumbo")) << out;
    EXPECT_NE(out.find("--rumble"), std::string::npos);
    EXPECT_EQ(runGame("--version", out), 0);
    EXPECT_EQ(out, "Grumbo " + GameVersion() + "\n");
    EXPECT_EQ(runGame("--windowed --wat", out), 2);
    EXPECT_TRUE(out.starts_with("Unknown option \"--wat\"\nUsage: Grumbo")) << out;
    EXPECT_EQ(runGame("--record ''", out), 2);
    EXPECT_TRUE(out.starts_with("Option --record needs a file name\nUsage: Grumbo")) << out;
    EXPECT_EQ(runGame("--replay ''", out), 2) << "rather than the menus";
    EXPECT_EQ(runGame("--edit ''", out), 2) << "rather than the menus";
    EXPECT_TRUE(out.starts_with("Option --edit needs a map name\nUsage: Grumbo")) << out;
}

// Told at once, without a display, rather than at the podium minutes later.
TEST(CommandLine, TheGameRefusesARecordingTargetItCannotWriteBeforeAnyWindow) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    std::string out;
    for (const char* target : {"/no/such/folder/r.txt", "/dev/full", "/tmp"}) {
        EXPECT_EQ(runGame(std::string("--match Meadow --record ") + target, out), 2) << target;
        EXPECT_TRUE(out.starts_with(std::string("Cannot record to ") + target + ": ")) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    }
    if (!saved.empty()) {
        setenv("DISPLAY", saved.c_str(), 1);
    }
}

// A damaged map file is named with its problems and not opened as if it were fine, nor as a new
// map that a save would then write over it.
TEST(CommandLine, TheEditorRefusesADamagedMapFileBeforeAnyWindow) {
    char pattern[] = "/tmp/grumbo-data-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string data = pattern, maps = data + "/grumbo/maps/";
    std::filesystem::create_directories(maps);
    const std::pair<const char*, const char*> damaged[] = {
        {"Cut",
         R"({ "MapName": "Cut", "CameraZoom": 30, "Object": [ { "ObjName": "Platform", "Position": [0, -8],)"},
        {"NoScale", R"({ "MapName": "NoScale", "CameraZoom": 30, "Object": [
            { "ObjName": "Platform", "Position": [0, -8], "Rotation": [0, 0, 0] } ] })"},
        {"Zip", "PK\x03\x04 a picture, not a map"}};
    for (const auto& [name, text] : damaged) {
        std::ofstream(maps + name + ".json") << text;
        std::string out;
        EXPECT_EQ(
            runGame("--edit " + std::string(name) + " --windowed", out, "DISPLAY= XDG_DATA_HOME=" + data), 2)
            << out;
        EXPECT_NE(out.find("Map file " + maps + name + ".json does not read cleanly: "), std::string::npos)
            << out;
        EXPECT_NE(out.find("Map \"" + std::string(name) + "\" is not opened"), std::string::npos) << out;
        EXPECT_EQ(out.find("is new"), std::string::npos) << out;
        EXPECT_EQ(FileText(maps + name + ".json"), text);
    }
    std::filesystem::remove_all(data);
}

TEST(CommandLine, WindowedStartsTheEngineOutOfFullscreen) {
    Engine::instance().startWindowed = true;
    EngineHarness harness;
    EXPECT_FALSE(harness.engine().fullscreen);
}

// The manual page is written from the option list at build time, with its minus signs escaped
// for roff, so "--windowed" does not show as two hyphens.
TEST(CommandLine, TheManualPageListsTheOptionsInRoff) {
    std::ifstream in(GRUMBO_MANUAL_PAGE);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("\n.B \\-\\-windowed\n"), std::string::npos) << page;
    EXPECT_NE(page.find("\n.BI \\-\\-bot\\-level "), std::string::npos) << page;
    EXPECT_NE(page.find("Grumbo " + GameVersion()), std::string::npos);
}
