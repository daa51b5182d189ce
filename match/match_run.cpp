#include "match/match_run.hpp"

#include "engine/engine.hpp"
#include "engine/game_state.hpp"
#include "match/match_settings.hpp"
#include "match/quick_match.hpp"

#include <chrono>
#include <fstream>
#include <string>

MatchRun& MatchRun::instance() {
    static auto* run = new MatchRun();
    return *run;
}

uint32_t MatchRun::seedForMatch() const {
    if (replay) {
        return replay->recording().seed;
    }
    if (fixedSeed) {
        return *fixedSeed;
    }
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<uint32_t>(ticks ^ (ticks >> 32));
}

void RecordMatches(const std::string& path) {
    MatchRun::instance().recordPath = path;
    // The recording starts at the match's first frame: no fixed steps left over from the
    // state before it, so the replay's first frame steps the same.
    Engine::instance().freshStepsOnSwitch = true;
}

bool ReplayMatch(const std::string& path) {
    std::optional<Recording> recording = ReadRecording(path);
    if (!recording) {
        return false;
    }
    MatchSettings& settings = MatchSettings::instance();
    for (const auto& [key, value] : recording->settings) {
        settings.set(key, value);
    }
    MatchRun::instance().replay = std::make_unique<ReplaySource>(std::move(*recording));
    Engine& engine = Engine::instance();
    engine.firstState = GameStateId::Play;
    engine.freshStepsOnSwitch = true;
    // Every frame as long as it was when recorded, whatever this machine's speed.
    engine.frameMilliseconds = []() -> std::optional<uint32_t> {
        ReplaySource* replay = MatchRun::instance().replay.get();
        if (replay == nullptr || replay->finished()) {
            return std::nullopt;
        }
        return replay->nextMilliseconds();
    };
    return true;
}

void SoakMatches(double minutes, const std::vector<std::string>& maps) {
    MatchRun& run = MatchRun::instance();
    run.soak = true;
    run.soakSeconds = minutes * 60.0;
    run.soakStart = WallSeconds();
    WriteSoakMatchSettings(maps, run.seedForMatch());
    Engine::instance().firstState = GameStateId::Play;
}

void WriteSoakMatchSettings(const std::vector<std::string>& maps, uint32_t pick) {
    QuickMatch match;
    match.map = maps.empty() ? std::string() : maps[pick % maps.size()];
    match.players = 4;
    match.bots = 4;
    match.lives = 3;
    match.seconds = 60; // short, so even a few minutes of soak switch matches several times
    WriteQuickMatchSettings(match);
    // Mixed levels, turning with the pick, so every level meets every other over a soak.
    static const char* const kLevels[] = {"easy", "normal", "hard"};
    for (int n = 1; n <= 4; ++n) {
        MatchSettings::instance().set(MatchSettings::playerKey("PlayerBot", n), kLevels[(pick / 7 + n) % 3]);
    }
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

namespace {

double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stod(line.substr(key.size())) / 1024.0;
        }
    }
    return 0.0;
}

} // namespace

double ResidentMegabytes() {
    return statusMegabytes("VmRSS");
}

double PeakMegabytes() {
    return statusMegabytes("VmHWM");
}
