#include "frontend/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace {

// A whole decimal number within [low, high], or nothing.
std::optional<int> number(const std::string& text, int low, int high) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : ", ") + n;
    }
    return out;
}

constexpr const char* kLevels[] = {"easy", "normal", "hard"};

} // namespace

std::string HelpText() {
    return "Usage: Grumbo [options]\n"
           "  --match MAP           start a match on MAP at once, without the menus\n"
           "  --players N           with --match: 2 to 4 players (default 2)\n"
           "  --lives N             with --match: lives per player, 1 to 99 (default 3)\n"
           "  --time SECONDS        with --match: match length, 1 to 5999 seconds (default 180)\n"
           "  --bots N              with --match: the last N players are computers (default 0)\n"
           "  --bot-level LEVEL     with --bots: easy, normal or hard (default normal)\n"
           "  --record FILE         write each match's inputs to FILE (the next match replaces it)\n"
           "  --replay FILE         play a recorded match back and check its result\n"
           "  --soak MINUTES        computer matches back to back on random maps, then quit\n"
           "  --windowed            start in a 1280 x 800 window instead of fullscreen\n"
           "  --rumble              let pads rumble when their tank is hit or knocked out\n"
           "  --edit MAP            open the map editor on MAP, or start a new map of that name\n"
           "  --theme THEME         with --edit: the map's background theme\n"
           "  --help                show this list and quit\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& knownMaps) {
    CommandLine line;
    QuickMatch match;
    bool wanted = false;
    auto refuse = [&](const std::string& why) {
        std::cout << why << "\n" << HelpText() << std::flush;
        line.exitStatus = 2;
    };
    struct NumberOption {
        const char* name;
        int* value;
        int low, high;
    };
    const NumberOption numbers[] = {{"--players", &match.players, 2, 4},
                                    {"--lives", &match.lives, 1, 99},
                                    {"--time", &match.seconds, 1, 5999},
                                    {"--bots", &match.bots, 0, 4},
                                    {"--soak", &line.soakMinutes, 1, 100000}};
    for (size_t i = 0; i < arguments.size() && !line.exitStatus; ++i) {
        const std::string& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == "--help") {
            std::cout << HelpText() << std::flush;
            line.exitStatus = 0;
        } else if (arg == "--windowed") {
            line.windowed = true;
        } else if (arg == "--rumble") {
            line.rumble = true;
        } else if ((arg == "--edit" || arg == "--theme") && hasValue) {
            (arg == "--edit" ? line.edit : line.theme) = arguments[++i];
        } else if ((arg == "--match" || arg == "--record" || arg == "--replay" || arg == "--bot-level") &&
                   hasValue) {
            const std::string& value = arguments[++i];
            if (arg == "--match") {
                match.map = value;
                wanted = true;
            } else if (arg == "--record") {
                line.record = value;
            } else if (arg == "--replay") {
                line.replay = value;
            } else if (std::find(std::begin(kLevels), std::end(kLevels), value) != std::end(kLevels)) {
                match.botLevel = value;
            } else {
                refuse("--bot-level " + value + ": expected easy, normal or hard");
            }
        } else if (auto option = std::find_if(std::begin(numbers), std::end(numbers),
                                              [&](const NumberOption& o) { return arg == o.name; });
                   option != std::end(numbers) && hasValue) {
            const std::string& text = arguments[++i];
            if (auto value = number(text, option->low, option->high)) {
                *option->value = *value;
            } else {
                refuse(arg + " " + text + ": expected a whole number from " + std::to_string(option->low) +
                       " to " + std::to_string(option->high));
            }
        } else {
            const char* valued[] = {"--match", "--record", "--replay", "--bot-level", "--players",
                                    "--lives", "--time",   "--bots",   "--soak"};
            bool needsValue = std::find(std::begin(valued), std::end(valued), arg) != std::end(valued);
            needsValue = needsValue || arg == "--edit" || arg == "--theme";
            refuse(needsValue ? "Option " + arg + " needs a value" : "Unknown option \"" + arg + "\"");
        }
    }
    if (line.exitStatus) {
        return line;
    }
    match.bots = std::min(match.bots, match.players);
    if (wanted) {
        if (std::find(knownMaps.begin(), knownMaps.end(), match.map) == knownMaps.end()) {
            std::cout << "No map is called \"" << match.map << "\"; the maps are: " << joined(knownMaps)
                      << std::endl;
        } else {
            line.match = match;
        }
    }
    return line;
}
