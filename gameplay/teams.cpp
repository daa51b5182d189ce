#include "gameplay/teams.hpp"

Teams& Teams::current() {
    static Teams teams;
    return teams;
}

bool Teams::Teammates(uint32_t a, uint32_t b) const {
    if (!on || a == b || a < 1 || b < 1 || a > seat.size() || b > seat.size()) {
        return false;
    }
    return seat[a - 1] == seat[b - 1];
}

bool Teams::BothSidesSeated(int players) const {
    std::array<bool, kTeamCount> seated{};
    for (int i = 0; i < players && i < static_cast<int>(seat.size()); ++i) {
        seated[seat[static_cast<size_t>(i)] % kTeamCount] = true;
    }
    return seated[kTeamRed] && seated[kTeamBlue];
}

std::array<uint8_t, 4> AlternateTeams() {
    return {kTeamRed, kTeamBlue, kTeamRed, kTeamBlue};
}

std::optional<std::array<uint8_t, 4>> ParseTeamLetters(const std::string& letters) {
    if (letters.empty() || letters.size() > 4) {
        return std::nullopt;
    }
    std::array<uint8_t, 4> seats = AlternateTeams();
    for (size_t i = 0; i < letters.size(); ++i) {
        const char c = letters[i];
        if (c == 'R' || c == 'r') {
            seats[i] = kTeamRed;
        } else if (c == 'B' || c == 'b') {
            seats[i] = kTeamBlue;
        } else {
            return std::nullopt;
        }
    }
    return seats;
}

const char* TeamName(uint8_t team) {
    return team == kTeamBlue ? "Blue" : "Red";
}

vec4 TeamColour(uint8_t team) {
    return team == kTeamBlue ? vec4{0.2f, 0.45f, 1.0f, 1.0f} : vec4{1.0f, 0.15f, 0.15f, 1.0f};
}
