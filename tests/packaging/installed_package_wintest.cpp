// The Debian package as a player gets it: unpacked into a scratch folder, its launcher started
// from another folder reaches the title screen and closes cleanly, hands its options on, and
// the game reports the package's version; and a player who is not root, whose game folder is not
// theirs to write, makes a map, saves it into their own folder and plays it. scripts/package.sh builds the
// package and runs these; where no package was built (the sanitized suite) they skip. Each run keeps a
// picture of what it showed for the package's AppStream screenshots.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
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

TEST_F(InstalledPackage, APlayerWhoIsNotRootMakesSavesAndPlaysAMap) {
    if (std::system("command -v xdotool > /dev/null") != 0) {
        GTEST_SKIP() << "needs xdotool";
    }
    // The player: this account when it is not root, else "nobody", through setpriv.
    const fs::path home = scratch / "home";
    fs::create_directories(home);
    std::vector<std::string> asPlayer = {"-u", "XDG_DATA_HOME", "HOME=" + home.string()};
    uid_t player = geteuid();
    if (player == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || nobody->pw_uid == 0 || std::system("command -v setpriv > /dev/null") != 0) {
            GTEST_SKIP()
                << "running as root, and there is no account \"nobody\" or no setpriv to play as another";
        }
        player = nobody->pw_uid;
        ASSERT_EQ(chown(home.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(chmod(scratch.c_str(), 0755), 0); // the player reaches the game and their home
        // The X server lets in whoever holds its cookie.
        if (const char* authority = std::getenv("XAUTHORITY");
            authority != nullptr && fs::exists(authority)) {
            const fs::path cookie = scratch / "Xauthority";
            fs::copy_file(authority, cookie);
            ASSERT_EQ(chown(cookie.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
            asPlayer.push_back("XAUTHORITY=" + cookie.string());
        }
        asPlayer.insert(asPlayer.begin(), {"--reuid=" + std::to_string(nobody->pw_uid),
                                           "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups",
                                           "--", "/usr/bin/env"});
    }
    const std::string program = player == geteuid() ? "/usr/bin/env" : "/usr/bin/setpriv";
    auto start = [&](const std::vector<std::string>& options) {
        std::vector<std::string> arguments = asPlayer;
        arguments.push_back(launcher);
        arguments.insert(arguments.end(), options.begin(), options.end());
        return std::make_unique<GameProcess>(program, elsewhere.string(), arguments);
    };
    std::map<std::string, std::string> game;
    for (const auto& entry : fs::recursive_directory_iterator(scratch / "root")) {
        game[entry.path().string()] =
            entry.is_regular_file() ? std::to_string(fs::file_size(entry.path())) : "";
    }

    const fs::path maps = home / ".local/share/grumbo/maps";
    {
        auto editor = start({"--edit", "PlayerArena", "--windowed"});
        ASSERT_TRUE(editor->waitForOutput("Load Time: = ", 60s)) << editor->output();
        const unsigned long window = findWindowByTitle("Grumbo!", 30s);
        ASSERT_NE(window, 0ul);
        std::this_thread::sleep_for(1s);
        const std::string id = std::to_string(window);
        // A platform above the starter floor, added with N where the mouse points; then saved.
        ASSERT_EQ(std::system(("xdotool mousemove --window " + id + " 640 330 sleep 0.4 windowfocus --sync " +
                               id + " key n sleep 0.5 key ctrl+s")
                                  .c_str()),
                  0);
        ASSERT_TRUE(editor->waitForOutput(
            "Saved map \"PlayerArena\" to " + (maps / "PlayerArena.json").string(), 30s))
            << editor->output();
        ASSERT_TRUE(requestWindowClose(window));
        EXPECT_EQ(editor->waitForExit(60s), 0) << editor->output();
        expectNoTrouble(editor->output());
    }
    struct stat saved {};
    ASSERT_EQ(stat((maps / "PlayerArena.json").c_str(), &saved), 0);
    EXPECT_EQ(saved.st_uid, player) << "the player's own file";
    EXPECT_TRUE(fs::exists(maps / "PlayerArena.png"));

    auto match = start({"--match", "PlayerArena", "--players", "4", "--bots", "4"});
    ASSERT_TRUE(match->waitForOutput("Load Time: = ", 60s)) << match->output();
    const unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    std::this_thread::sleep_for(6s);
    EXPECT_TRUE(keepScreenshot(window, "own-map.png")) << "the match shows its pictures";
    ASSERT_TRUE(requestWindowClose(window));
    EXPECT_EQ(match->waitForExit(60s), 0) << match->output();
    EXPECT_EQ(match->output().find("No map is called"), std::string::npos) << match->output();
    expectNoTrouble(match->output());

    std::map<std::string, std::string> after;
    for (const auto& entry : fs::recursive_directory_iterator(scratch / "root")) {
        after[entry.path().string()] =
            entry.is_regular_file() ? std::to_string(fs::file_size(entry.path())) : "";
    }
    EXPECT_EQ(after, game) << "the game's folder is as it was installed";
}
