#include "frontend/command_line.hpp"

#include "match/sync_test.hpp"
#include "net/join_address.hpp"

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

constexpr OptionHelp kOptions[] = {
    {"--match", "MAP", "start a match on MAP at once, without the menus"},
    {"--players", "N", "with --match or --host: 2 to 4 players (default 2)"},
    {"--lives", "N", "with --match or --host: lives per player, 1 to 99 (default 3)"},
    {"--time", "SECONDS",
     "with --match or --host: match length, 1 to 5999 seconds (default 180); else the level select's first"},
    {"--bots", "N",
     "with --match: the last N players are computers; online: N of this machine's (default 0)"},
    {"--bot-level", "LEVEL", "with --bots: easy, normal or hard (default normal)"},
    {"--teams", "[LETTERS]",
     "with --match or --host: red against blue, seats alternating, or one letter a seat (RRBB, RBB)"},
    {"--team-hits", "", "with --teams: teammates' hits do damage too"},
    {"--record", "FILE", "write each match's inputs to FILE (the next match replaces it)"},
    {"--replay", "FILE", "play a recorded match back and check its result"},
    {"--soak", "MINUTES", "computer matches back to back on random maps, then quit"},
    {"--sync-test", "FRAMES",
     "with --match: go back FRAMES frames every FRAMES frames, simulate them again, name the first "
     "difference; quit at the podium (1 on a difference)"},
    {"--host", "", "host an online match; friends join over UDP (see --port)"},
    {"--join", "ADDRESS[:PORT]", "join the online match hosted at ADDRESS"},
    {"--find", "[ADDRESS]",
     "list the games hosted on the local network (or at ADDRESS) within 2 s and quit (1 if none)"},
    {"--look-at", "ADDRESS", "the menus' Join screen asks ADDRESS for games instead of the local network"},
    {"--port", "PORT", "with --host or the menus' Host: the UDP port to listen on (default 27115)"},
    {"--seats", "N", "with --host or --join: this machine's players, 1 to 4 (default 1)"},
    {"--delay", "FRAMES", "with --host: frames of input delay online, 0 to 10 (default 2)"},
    {"--rollback", "FRAMES",
     "online: frames this machine may play ahead on predicted actions, 0 (lockstep) to 20 (default 8)"},
    {"--windowed", "", "start in a 1280 x 800 window instead of fullscreen"},
    {"--no-window", "",
     "with --host or --join and every seat of this machine a computer (--bots as many as --seats): "
     "play without a window, as a machine that only keeps seats filled"},
    {"--rumble", "", "let pads rumble when their tank is hit or knocked out"},
    {"--edit", "[MAP]", "open the map editor on MAP, or start a new map of that name (none: a new map)"},
    {"--theme", "THEME", "with --edit: the map's background theme"},
    {"--version", "", "print the game's version and quit"},
    {"--help", "", "show this list and quit"},
};

std::span<const OptionHelp> OptionList() {
    return kOptions;
}

std::string HelpText() {
    std::string text = "Usage: Grumbo [options]\n";
    for (const OptionHelp& o : kOptions) {
        std::string left = std::string(o.option) + (o.argument[0] != '\0' ? " " : "") + o.argument;
        text += "  " + left + std::string(left.size() < 22 ? 22 - left.size() : 1, ' ') + o.text + "\n";
    }
    return text;
}

std::string GameVersion() {
    return GRUMBO_VERSION;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& knownMaps) {
    return ParseCommandLine(arguments, knownMaps, knownMaps);
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& knownMaps,
                             const std::vector<std::string>& shippedMaps) {
    CommandLine line;
    QuickMatch match;
    bool wanted = false;
    int port = kDefaultPort;
    std::string teamLetters; // --teams RRBB
    bool teamHits = false;
    auto refuse = [&](const std::string& why) {
        std::cout << why << "\n" << HelpText() << std::flush;
        line.exitStatus = 2;
    };
    struct NumberOption {
        const char* name;
        int* value;
        int low, high;
    };
    const NumberOption numbers[] = {{"--players", &match.players, kPlayersRange.low, kPlayersRange.high},
                                    {"--lives", &match.lives, kLivesRange.low, kLivesRange.high},
                                    {"--time", &match.seconds, kSecondsRange.low, kSecondsRange.high},
                                    {"--bots", &match.bots, 0, 4},
                                    {"--soak", &line.soakMinutes, 1, 100000},
                                    {"--sync-test", &line.syncTest, 1, SyncTest::kMaxCheckDistance},
                                    {"--port", &port, 1, 65535},
                                    {"--seats", &line.online.seats, 1, 4},
                                    {"--delay", &line.online.delay, kMinInputDelay, kMaxInputDelay},
                                    {"--rollback", &line.online.rollback, 0, kMaxRollbackWindow}};
    for (size_t i = 0; i < arguments.size() && !line.exitStatus; ++i) {
        const std::string& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == "--help") {
            std::cout << HelpText() << std::flush;
            line.exitStatus = 0;
        } else if (arg == "--version") {
            std::cout << "Grumbo " << GameVersion() << std::endl;
            line.exitStatus = 0;
        } else if (arg == "--windowed") {
            line.windowed = true;
        } else if (arg == "--no-window") {
            line.noWindow = true;
        } else if (arg == "--rumble") {
            line.rumble = true;
        } else if (arg == "--host") {
            line.online.host = true;
        } else if (arg == "--teams") {
            match.teams.on = true;
            // The letters are optional: a next argument that is an option is not them.
            if (hasValue && arguments[i + 1].rfind("--", 0) != 0) {
                teamLetters = arguments[++i];
                if (auto seats = ParseTeamLetters(teamLetters)) {
                    match.teams.seat = *seats;
                } else {
                    refuse("--teams " + teamLetters +
                           ": expected a letter a player, R (red) or B (blue), as in RRBB");
                }
            }
        } else if (arg == "--team-hits") {
            teamHits = true;
        } else if (arg == "--find") {
            // The address is optional: a next argument that is an option is not one.
            const bool address = hasValue && arguments[i + 1].rfind("--", 0) != 0;
            line.find = address ? arguments[++i] : std::string();
            if (address && line.find->empty()) {
                refuse("--find needs an address, or nothing to look on the local network");
            }
        } else if (arg == "--join" && hasValue) {
            line.online.join = arguments[++i];
            std::string host;
            std::string problem;
            uint16_t joinPort = 0;
            if (!ParseJoinAddress(line.online.join, host, joinPort, &problem)) {
                refuse("--join " + line.online.join + ": " + problem);
            }
        } else if (arg == "--edit" && (!hasValue || arguments[i + 1].rfind("--", 0) == 0)) {
            line.editNew = true; // no name: a new map (a launcher's "Map editor")
        } else if (arg == "--edit" && arguments[i + 1].empty()) {
            refuse("Option --edit needs a map name");
        } else if (arg == "--look-at" && hasValue) {
            const std::string& address = arguments[++i];
            std::string host;
            std::string problem;
            uint16_t lookPort = 0;
            if (address.empty() || !ParseJoinAddress(address, host, lookPort, &problem)) {
                refuse("--look-at " + address + ": " + (address.empty() ? "an address is needed" : problem));
            } else {
                line.lookAt.push_back(address);
            }
        } else if ((arg == "--edit" || arg == "--theme") && hasValue) {
            (arg == "--edit" ? line.edit : line.theme) = arguments[++i];
        } else if ((arg == "--match" || arg == "--record" || arg == "--replay" || arg == "--bot-level") &&
                   hasValue) {
            const std::string& value = arguments[++i];
            if (arg == "--match") {
                match.map = value;
                wanted = true;
            } else if ((arg == "--record" || arg == "--replay") && value.empty()) {
                refuse("Option " + arg + " needs a file name");
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
            bool needsValue = std::any_of(std::begin(kOptions), std::end(kOptions), [&](const OptionHelp& o) {
                return arg == o.option && o.argument[0] != '\0';
            });
            refuse(needsValue ? "Option " + arg + " needs a value" : "Unknown option \"" + arg + "\"");
        }
    }
    if (!line.exitStatus && (match.teams.on || teamHits)) {
        match.teams.hits = teamHits;
        if (!wanted && !line.online.host) {
            refuse("--teams and --team-hits go with --match or --host");
        } else if (!match.teams.on) {
            refuse("--team-hits goes with --teams");
        } else if (!teamLetters.empty() && static_cast<int>(teamLetters.size()) != match.players) {
            refuse("--teams " + teamLetters + ": one letter a player, " + std::to_string(match.players) +
                   " for " + std::to_string(match.players) + " players");
        } else if (!match.teams.BothSidesSeated(match.players)) {
            refuse("--teams " + teamLetters + ": a team match needs a player on each side");
        }
    }
    if (!line.exitStatus && line.online.host && !line.online.join.empty()) {
        refuse("--host and --join cannot be combined: a machine hosts or joins");
    }
    if (!line.exitStatus && line.online.wanted() &&
        (!line.replay.empty() || line.soakMinutes > 0 || !line.edit.empty() || line.editNew)) {
        refuse("--replay, --soak and --edit cannot be combined with --host or --join");
    }
    if (!line.exitStatus && line.syncTest > 0 &&
        (!wanted || line.online.wanted() || !line.record.empty() || !line.replay.empty() ||
         line.soakMinutes > 0 || !line.edit.empty())) {
        refuse("--sync-test goes with --match, and not with --record, --replay, --soak, --edit, --host or "
               "--join");
    }
    if (!line.exitStatus && line.noWindow && (!line.online.wanted() || match.bots < line.online.seats)) {
        // Nobody could play a seat of a machine that shows nothing and reads no keys.
        refuse("--no-window goes with --host or --join, and with --bots as many as --seats");
    }
    if (line.exitStatus) {
        return line;
    }
    if (line.online.wanted()) {
        // Online, the match options shape the host's matches and this machine's computers.
        line.online.port = static_cast<uint16_t>(port);
        match.bots = std::min(match.bots, 4);
        auto known = [&](const std::vector<std::string>& maps) {
            return std::find(maps.begin(), maps.end(), match.map) != maps.end();
        };
        if (match.map.empty() || !known(shippedMaps)) {
            if (known(knownMaps)) {
                std::cout << "\"" << match.map
                          << "\" is a map of your own; online matches play the maps that come with the game, "
                             "which every machine has: "
                          << (shippedMaps.empty() ? std::string("none") : shippedMaps.front())
                          << " is played instead" << std::endl;
            } else if (!match.map.empty()) {
                std::cout << "No map is called \"" << match.map << "\"; the maps are: " << joined(shippedMaps)
                          << std::endl;
            }
            match.map = shippedMaps.empty() ? std::string() : shippedMaps.front();
        }
        line.online.shape = match;
        return line;
    }
    match.bots = std::min(match.bots, match.players);
    const bool timeGiven = std::find(arguments.begin(), arguments.end(), "--time") != arguments.end();
    if (!wanted && timeGiven) {
        line.menuSeconds = match.seconds;
    }
    line.menuPort = static_cast<uint16_t>(port);
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
