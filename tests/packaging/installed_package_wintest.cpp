// The Debian package as a player gets it: unpacked into a scratch folder, its launcher started
// from another folder reaches the title screen and closes cleanly, hands its options on, and
// the game reports the package's version. scripts/package.sh builds the package and runs these;
// where no package was built (the sanitized suite) they skip. Each run keeps a picture of what
// it showed for the package's AppStream screenshots.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A command's standard output (and error), and whether it ended with status 0.
bool run(const std::string& command, std::string& out) {
    return RunCommand(command + " 2>&1", out) == 0;
}

// Lines a healthy start never prints: missing files, shaders or textures.
const char* const kTroubleLines[] = {"neither in", "ERROR::", "CAN'T FIND TEXTURE", "refused", "cannot"};

class InstalledPackage : public testing::Test {
  protected:
    void SetUp() override {
        GRUMBO_REQUIRE_DISPLAY();
        if (!fs::exists(GRUMBO_PACKAGE_FILE)) {
            GTEST_SKIP() << "no package at " << GRUMBO_PACKAGE_FILE << " (scripts/package.sh builds it)";
        }
        char pattern[] = "/tmp/grumbo-package-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        elsewhere = scratch / "elsewhere";
        fs::create_directories(elsewhere);
        std::string out;
        ASSERT_TRUE(run("dpkg-deb -x '" + std::string(GRUMBO_PACKAGE_FILE) + "' '" +
                            (scratch / "root").string() + "'",
                        out))
            << out;
        launcher = (scratch / "root/usr/games/grumbo").string();
        fs::create_directories(GRUMBO_SCREENSHOTS_DIR);
    }
    void TearDown() override {
        if (!scratch.empty()) {
            std::error_code ignored;
            fs::remove_all(scratch, ignored);
        }
    }

    // Saves the window as a screenshot and says whether it shows a picture rather than one flat colour.
    static bool keepScreenshot(unsigned long window, const std::string& name) {
        std::string file = std::string(GRUMBO_SCREENSHOTS_DIR) + "/" + name;
        sf::Image picture;
        if (!saveWindowPicture(window, file) || !picture.loadFromFile(file)) {
            return false;
        }
        std::set<unsigned> colours;
        for (unsigned y = 0; y < picture.getSize().y; y += 16) {
            for (unsigned x = 0; x < picture.getSize().x; x += 16) {
                colours.insert(picture.getPixel(x, y).toInteger());
            }
        }
        return colours.size() > 50;
    }

    static void expectNoTrouble(const std::string& output) {
        for (const char* line : kTroubleLines) {
            EXPECT_EQ(output.find(line), std::string::npos) << line << " in:\n" << output;
        }
    }

    fs::path scratch;
    fs::path elsewhere;
    std::string launcher;
};

} // namespace

TEST_F(InstalledPackage, LauncherReachesTheTitleFromAnotherFolderAndClosesCleanly) {
    std::string version;
    ASSERT_TRUE(run("dpkg-deb -f '" + std::string(GRUMBO_PACKAGE_FILE) + "' Version", version)) << version;
    GameProcess asked(launcher, elsewhere.string(), {"--version"});
    EXPECT_EQ(asked.waitForExit(30s), 0);
    EXPECT_EQ(asked.output(), "Grumbo " + version) << "the game and its package carry one version";

    GameProcess game(launcher, elsewhere.string());
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
    unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul) << "no window titled Grumbo!";
    // The splash can be skipped from its second picture on, five seconds in.
    std::this_thread::sleep_for(5500ms);
    ASSERT_TRUE(sendKey(window, "Return"));
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 2, 30s)) << game.output(); // the title
    std::this_thread::sleep_for(1500ms);                                       // its fade-in
    EXPECT_TRUE(keepScreenshot(window, "title.png")) << "the title shows its pictures";
    ASSERT_TRUE(requestWindowClose(window));
    EXPECT_EQ(game.waitForExit(60s), 0) << game.output();
    expectNoTrouble(game.output());
}

TEST_F(InstalledPackage, LauncherHandsOptionsOnWithFilesNamedFromWhereItStarted) {
    GameProcess replay(launcher, elsewhere.string(), {"--replay", "missing.rec"});
    EXPECT_EQ(replay.waitForExit(30s), 1);
    EXPECT_NE(replay.output().find((elsewhere / "missing.rec").string()), std::string::npos)
        << replay.output();

    GameProcess match(launcher, elsewhere.string(), {"--match", "Meadow", "--players", "4", "--bots", "4"});
    ASSERT_TRUE(match.waitForOutput("Load Time: = ", 60s)) << match.output();
    unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(8s); // past the countdown, the computers at it
    EXPECT_TRUE(keepScreenshot(window, "match.png")) << "the match shows its pictures";
    ASSERT_TRUE(requestWindowClose(window));
    EXPECT_EQ(match.waitForExit(60s), 0) << match.output();
    expectNoTrouble(match.output());
}
