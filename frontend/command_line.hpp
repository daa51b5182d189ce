#pragma once

// The game's command-line options. With none given the game starts on its splash, as always.

#include "match/quick_match.hpp"
#include "net/online_start.hpp"

#include <optional>
#include <span>
#include <string>
#include <vector>

struct CommandLine {
    std::optional<QuickMatch> match; // --match and the options that shape it
    std::string record;              // --record FILE: write the match's inputs to a file
    std::string replay;              // --replay FILE: play a recorded match back
    int soakMinutes = 0;             // --soak MINUTES: computer matches back to back
    int syncTest = 0;                // --sync-test FRAMES: with --match, roll back and check
    bool windowed = false;           // --windowed: a 1280 x 800 window instead of fullscreen
    bool noWindow = false;           // --no-window: online with computers only, nothing drawn
    bool rumble = false;             // --rumble: pads rumble on hits and knock-outs
    std::string edit;                // --edit MAP: open the map editor on MAP (a new map if none)
    bool editNew = false;            // --edit alone: the editor on a new map of a fresh name
    std::string theme;               // --theme THEME: with --edit, the map's background theme
    // --host, --join and the options that go with them (--match, --players, --lives, --time and
    // --bots then shape the online matches rather than start one here).
    OnlineOptions online;
    // --find [ADDRESS]: list the games on the local network (or at ADDRESS) and quit.
    std::optional<std::string> find;
    // --look-at ADDRESS (again for more): where the menus' join screen asks for games instead of
    // every local network.
    std::vector<std::string> lookAt;
    // --time without --match or --host: the level select offers that match length first.
    int menuSeconds = 0;
    // --port without --host: the port a match hosted from the menus listens on.
    uint16_t menuPort = kDefaultPort;
    // Set when the program should end at once with this status: 0 after --help or --version,
    // 2 after an option it does not know or a value it cannot use (the line and the help are
    // printed).
    std::optional<int> exitStatus;
};

// Reads the arguments (without the program name). knownMaps are the maps a match can be played
// on (the shipped ones and the player's): a quick match on another name prints one line listing
// them and the game starts normally. Online matches keep to shippedMaps, the maps every machine
// has (the machines compare their data files): a player's map there is named in one line and the
// first shipped map is played instead.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& knownMaps,
                             const std::vector<std::string>& shippedMaps);
// The same when every known map is shipped.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<std::string>& knownMaps);

// One row of the option list that --help prints and the manual page is made from.
struct OptionHelp {
    const char* option;   // "--match"
    const char* argument; // "MAP", or "" for a switch
    const char* text;     // what it does, in a few words
};

// Every option, in the order --help lists them.
std::span<const OptionHelp> OptionList();

// Every option, one line each.
std::string HelpText();

// The game's version, as set once in the build ("1.2.3").
std::string GameVersion();
