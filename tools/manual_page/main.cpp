// Writes the manual page grumbo.6 from the game's own option list, so the page and --help can
// never name different options.
//   manual_page OUT_FILE
#include "frontend/command_line.hpp"

#include <fstream>
#include <iostream>
#include <string>

namespace {

// Text for roff: a backslash and every minus written out, so "--match" stays two minus signs
// (a plain "-" is a hyphen there) and nothing turns into a request.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

std::string page() {
    std::string p;
    p += ".TH GRUMBO 6 \"\" \"Grumbo " + roff(GameVersion()) + "\" \"Games\"\n";
    p += ".SH NAME\n";
    p += "grumbo \\- couch\\-multiplayer tank brawler for two to four players\n";
    p += ".SH SYNOPSIS\n";
    p += ".B grumbo\n";
    p += ".RI [ options ]\n";
    p += ".SH DESCRIPTION\n";
    p += "Two to four players share one screen, each drives a small tank over floating platforms,\n"
         "charges and fires shots, and knocks the others out of the arena.\n"
         "Every hit raises the victim's damage percentage, and with it every later knock\\-back.\n";
    p += ".PP\n";
    p += "Players join with gamepads or with the left or right half of the keyboard;\n"
         "computer players fill free seats.\n"
         "With no option the game starts fullscreen on its title screen.\n";
    p += ".SH OPTIONS\n";
    for (const OptionHelp& o : OptionList()) {
        p += ".TP\n";
        p += std::string(o.argument[0] != '\0' ? ".BI " : ".B ") + roff(o.option);
        if (o.argument[0] != '\0') {
            p += " \" " + roff(o.argument) + "\"";
        }
        p += "\n" + roff(o.text) + "\n";
    }
    p += ".SH FILES\n";
    p += ".TP\n";
    p += ".I /usr/lib/games/grumbo/run/\n";
    p += "the game and its shader programs; the launcher starts the game from this folder\n";
    p += ".TP\n";
    p += ".I /usr/lib/games/grumbo/Resources/\n";
    p += "pictures, sound banks, maps and the font the game reads\n";
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cout << "usage: manual_page OUT_FILE" << std::endl;
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << page();
    out.close();
    if (!out) {
        std::cout << "manual_page: cannot write " << argv[1] << std::endl;
        return 1;
    }
    return 0;
}
