// Match settings values and quick-match arguments: strings from the menus and the command line.
#include "match/match_settings.hpp"
#include "frontend/command_line.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    MatchSettings& settings = MatchSettings::instance();
    settings.set("Value", text);
    settings.getInt("Value");
    settings.getFloat("Value");
    settings.getInt("Missing");
    // The same bytes as command-line arguments, split at blanks.
    std::vector<std::string> arguments;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\0') {
            arguments.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    arguments.push_back(word);
    CommandLine line = ParseCommandLine(arguments, {"Meadow", "Canyon"});
    if (line.match) {
        const QuickMatch& match = *line.match;
        if (match.players < 2 || match.players > 4 || match.lives < 1 || match.seconds < 1 || match.bots < 0 ||
            match.bots > match.players) {
            __builtin_trap();
        }
        WriteQuickMatchSettings(match);
    }
    return 0;
}
