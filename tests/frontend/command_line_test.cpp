#include "frontend/command_line.hpp"
#include "match/match_settings.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

// Runs the real program with the arguments; its exit status, with its standard output in out.
int runGame(const std::string& arguments, std::string& out) {
    out.clear();
    FILE* pipe = popen((std::string(GRUMBO_GAME_EXE) + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char chunk[512];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        out.append(chunk, n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(CommandLine, ReadsEveryOptionAndRefusesWhatItCannotUse) {
    CommandLine line = parse({"--match", "Canyon", "--players", "4", "--lives", "5", "--time", "90", "--bots",
                              "3", "--bot-level", "hard", "--record", "m.rec", "--windowed", "--rumble"});
    ASSERT_TRUE(line.match.has_value());
    EXPECT_FALSE(line.exitStatus.has_value());
    EXPECT_EQ(line.match->map, "Canyon");
    EXPECT_EQ(line.match->players, 4);
    EXPECT_EQ(line.match->lives, 5);
    EXPECT_EQ(line.match->seconds, 90);
    EXPECT_EQ(line.match->bots, 3);
    EXPECT_EQ(line.match->botLevel, "hard");
    EXPECT_EQ(line.record, "m.rec");
    EXPECT_TRUE(line.windowed && line.rumble);
    EXPECT_EQ(parse({"--match", "Meadow", "--bots", "4"}).match->bots, 2)
        << "never more computers than seats";
    line = parse({"--edit", "Lagoon2", "--theme", "lagoon"});
    EXPECT_EQ(line.edit + " " + line.theme, "Lagoon2 lagoon");

    std::string out;
    EXPECT_EQ(parse({"--help"}, &out).exitStatus, 0);
    EXPECT_NE(out.find("--bot-level LEVEL"), std::string::npos);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--wat"}, {"--players", "9"}, {"--lives", "x"}, {"--bot-level", "godlike"}, {"--match"}}) {
        EXPECT_EQ(parse(bad, &out).exitStatus, 2) << bad[0];
        EXPECT_NE(out.find("Usage: Grumbo"), std::string::npos) << "the help follows the line";
    }

    line = parse({"--match", "Moon"}, &out);
    EXPECT_FALSE(line.match.has_value());
    EXPECT_FALSE(line.exitStatus.has_value()) << "an unknown map starts the game as usual";
    EXPECT_EQ(out, "No map is called \"Moon\"; the maps are: Meadow, Canyon, Starfall\n");
}

TEST(CommandLine, QuickMatchSettingsSeatKeyboardsThenPadsAndComputersLast) {
    WriteQuickMatchSettings({"Starfall", 4, 4, 300, 2, "easy"});
    MatchSettings& s = MatchSettings::instance();
    EXPECT_EQ(s.get("TotalPlayer"), "4");
    EXPECT_EQ(s.get("MapName"), "Starfall");
    EXPECT_EQ(s.get("Time"), "300");
    EXPECT_EQ(s.get("PlayerControl1"), "4");
    EXPECT_EQ(s.get("PlayerControl2"), "5");
    EXPECT_EQ(s.get("PlayerControl3"), "-1") << "a computer's seat reads no device";
    EXPECT_EQ(s.get("PlayerBot2"), "");
    EXPECT_EQ(s.get("PlayerBot3"), "easy");
    EXPECT_EQ(s.get("PlayerBot4"), "easy");
}

// The program itself answers before it needs a display or a window.
TEST(CommandLine, TheGameListsItsOptionsOrRefusesAWrongOneAndQuits) {
    std::string out;
    EXPECT_EQ(runGame("--help", out), 0);
    EXPECT_TRUE(out.starts_with("Usage: Grumbo")) << out;
    EXPECT_NE(out.find("--rumble"), std::string::npos);
    EXPECT_EQ(runGame("--version", out), 0);
    const std::string number = out.substr(std::min(out.size(), size_t{7}));
    EXPECT_TRUE(out.starts_with("Grumbo ") && out.ends_with("\n") &&
                std::count(out.begin(), out.end(), '.') == 2 &&
                number.find_first_not_of("0123456789.\n") == std::string::npos)
        << out;
    EXPECT_EQ(runGame("--windowed --wat", out), 2);
    EXPECT_TRUE(out.starts_with("Unknown option \"--wat\"\nUsage: Grumbo")) << out;
    EXPECT_EQ(runGame("--record ''", out), 2);
    EXPECT_TRUE(out.starts_with("Option --record needs a file name\nUsage: Grumbo")) << out;
    EXPECT_EQ(runGame("--replay ''", out), 2) << "rather than the menus";
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

TEST(CommandLine, WindowedStartsTheEngineOutOfFullscreen) {
    Engine::instance().startWindowed = true;
    EngineHarness harness;
    EXPECT_FALSE(harness.engine().fullscreen);
}

// The manual page is written from the option list at build time: every option --help prints has
// its entry there, with its minus signs escaped for roff.
TEST(CommandLine, TheManualPageHasAnEntryForEveryOptionOfTheHelp) {
    std::ifstream in(GRUMBO_MANUAL_PAGE);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream help(HelpText());
    int options = 0;
    for (std::string line; std::getline(help, line);) {
        if (!line.starts_with("  --")) {
            continue;
        }
        ++options;
        std::string escaped;
        for (char c : line.substr(2, line.find(' ', 2) - 2)) {
            escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        }
        EXPECT_TRUE(page.find("\n.B " + escaped + "\n") != std::string::npos ||
                    page.find("\n.BI " + escaped + " ") != std::string::npos)
            << escaped;
    }
    EXPECT_GE(options, 13);
    EXPECT_NE(page.find("Grumbo " + GameVersion()), std::string::npos);
}
