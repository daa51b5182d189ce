// Who made the game and what it is built with, said the same way everywhere a player or a
// package manager reads it: every library CMakeLists.txt finds is credited with its licence on
// the credits page and in the package's copyright file, and the makers have one name.
#include "frontend/splash_game_state.hpp"
#include "tools/asset_gen/makers.hpp"
#include "tools/asset_gen/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace {

struct Credit {
    const char* name;
    const char* licence;
};

// What each dependency of CMakeLists.txt brings into the game, by the name the credits give it.
// SFML's audio plays through OpenAL Soft; Debian's Dear ImGui links stb. A build tool brings none.
const std::map<std::string, std::vector<Credit>> kCreditsByDependency = {
    {"SFML", {{"SFML", "zlib"}, {"OpenAL Soft", "LGPL 2 or later"}}},
    {"OpenGL", {{"OpenGL (libglvnd)", "MIT"}}},
    {"GLEW", {{"GLEW", "BSD 3-clause and MIT"}}},
    {"Freetype", {{"FreeType", "FreeType Licence"}}},
    {"X11", {{"Xlib", "MIT/X11"}}},
    {"PkgConfig", {}},
    {"imgui", {{"Dear ImGui", "MIT"}}},
    {"jsoncpp", {{"jsoncpp", "MIT"}}},
    {"sdl2", {{"SDL2", "zlib"}}},
    {"libenet", {{"ENet", "MIT"}}},
    {"stb", {{"stb", "MIT or public domain"}}}, // the map previews' drawing library uses it directly
};

std::string read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// The dependencies the top-level CMakeLists.txt finds, by find_package and pkg-config module
// name (comments left out).
std::vector<std::string> dependencies() {
    std::string cmake;
    for (const std::string& line : lines(read(std::string(GRUMBO_SOURCE_DIR) + "/CMakeLists.txt"))) {
        cmake += line.substr(0, line.find('#')) + "\n";
    }
    std::vector<std::string> found;
    auto calls = [&](const std::string& command, auto&& take) {
        for (size_t at = cmake.find(command + "("); at != std::string::npos;
             at = cmake.find(command + "(", at + 1)) {
            const size_t open = at + command.size() + 1;
            std::istringstream arguments(cmake.substr(open, cmake.find(')', open) - open));
            std::vector<std::string> words;
            for (std::string word; arguments >> word;) {
                words.push_back(word);
            }
            take(words);
        }
    };
    calls("find_package", [&](const std::vector<std::string>& words) { found.push_back(words.at(0)); });
    // pkg_check_modules(PREFIX [REQUIRED] [IMPORTED_TARGET] module...): the modules are in lower case.
    calls("pkg_check_modules", [&](const std::vector<std::string>& words) {
        for (size_t k = 1; k < words.size(); ++k) {
            if (std::any_of(words[k].begin(), words[k].end(), [](char c) { return std::islower(c); })) {
                found.push_back(words[k]);
            }
        }
    });
    return found;
}

// The words a picture sets, line by line in the order they are drawn.
std::vector<std::string> words(void (*make)(assetgen::Canvas&), int width, int height) {
    std::vector<std::string> out;
    assetgen::watchSetLines([&](const assetgen::SetLine& line) { out.push_back(line.text); });
    assetgen::Canvas canvas(width, height);
    make(canvas);
    assetgen::watchSetLines({});
    return out;
}

} // namespace

TEST(Credits, EveryLibraryCMakeFindsIsCreditedWithItsLicenceOnThePageAndInTheCopyrightFile) {
    const std::vector<std::string> found = dependencies();
    ASSERT_GE(found.size(), 10u) << "CMakeLists.txt finds SFML, OpenGL, GLEW and the rest";
    const std::vector<std::string> page = words(assetgen::makeCreditsPanel, 1152, 720);
    const std::vector<std::string> copyright =
        lines(read(std::string(GRUMBO_PACKAGE_FILES_DIR) + "/copyright"));
    for (const std::string& dependency : found) {
        const auto credits = kCreditsByDependency.find(dependency);
        ASSERT_NE(credits, kCreditsByDependency.end()) << "CMakeLists.txt finds " << dependency
                                                       << ": credit it with its licence on the credits page "
                                                          "and in packaging/copyright.in, then list it here";
        for (const Credit& credit : credits->second) {
            // On the page, a library's chip gives its name and then its licence.
            const auto name = std::find(page.begin(), page.end(), credit.name);
            EXPECT_TRUE(name != page.end() && name + 1 != page.end() && name[1] == credit.licence)
                << credit.name << " with \"" << credit.licence << "\" on the credits page";
            // In the copyright file, a line starts with the name and says the licence.
            const bool listed = std::any_of(copyright.begin(), copyright.end(), [&](const std::string& line) {
                return line.rfind(std::string(credit.name) + ":", 0) == 0 &&
                       line.find(credit.licence) != std::string::npos;
            });
            EXPECT_TRUE(listed) << credit.name << " with \"" << credit.licence << "\" in the copyright file";
        }
    }
}

TEST(Credits, TheMakersHaveOneNameOnTheSplashTheCreditsAndInThePackage) {
    const std::string makers = GRUMBO_MAKERS;
    ASSERT_FALSE(makers.empty());
    auto says = [&](const std::string& text) { return text.find(makers) != std::string::npos; };
    auto saysIn = [&](const std::vector<std::string>& texts) {
        return std::any_of(texts.begin(), texts.end(), says);
    };

    EXPECT_TRUE(says(CopyrightNotice())) << CopyrightNotice();
    EXPECT_TRUE(saysIn(words(assetgen::makeCreditsPanel, 1152, 720))) << "the credits page";
    // The team's crest sets the name over two lines, as a logo does.
    const std::vector<std::string> crest = words(assetgen::makeTeamLogo, 1024, 512);
    std::string crestWords;
    for (const std::string& line : crest) {
        crestWords += (crestWords.empty() ? "" : " ") + line;
    }
    EXPECT_NE(crestWords.find(makers), std::string::npos) << crestWords;

    const std::string files = GRUMBO_PACKAGE_FILES_DIR;
    const std::string copyright = read(files + "/copyright");
    const std::string metainfo = read(files + "/org.example.grumbo.metainfo.xml");
    const std::string changelog = read(files + "/changelog");
    EXPECT_TRUE(says(copyright.substr(0, copyright.find("\n\n", copyright.find("\n\n") + 2))))
        << "the copyright line at the top of the copyright file";
    EXPECT_TRUE(says(metainfo.substr(metainfo.find("<developer_name>"), 80)));
    EXPECT_TRUE(says(changelog.substr(changelog.rfind(" -- "))));
    // And none of the names the game went by before.
    std::string page;
    for (const std::string& line : words(assetgen::makeCreditsPanel, 1152, 720)) {
        page += line + "\n";
    }
    for (const std::string& text : {copyright, metainfo, changelog, CopyrightNotice(), page, crestWords}) {
        for (const char* old :
             {"Quorvel Studio", "TREAD CREW", "project's contributors", "Grumbo developers"}) {
            EXPECT_EQ(text.find(old), std::string::npos) << old;
        }
    }
}
