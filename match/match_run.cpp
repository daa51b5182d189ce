#include "match/match_run.hpp"

#include "engine/engine.hpp"
#include "engine/game_state.hpp"
#include "match/match_settings.hpp"
#include "match/quick_match.hpp"
#include "match/world_hash.hpp"
#include "objects/frame_timer.hpp"
#include "platform/clock.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <malloc.h>
#include <string>
#include <thread>
#include <time.h>
#include <utility>

#ifdef __SANITIZE_ADDRESS__
// The sanitizer's own count of the heap in use (GCC ships its library but not this header).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// A recorded frame lasts what the clock says, within what a recording holds: a frame in the same
// millisecond as the last waits for the next (a replay must always move on), and a stall counts
// as the longest frame.
uint32_t recordedFrameLength() {
    const uint32_t last = FrameTimer::instance().lastTick;
    auto elapsed = [last] { return static_cast<int32_t>(GetTickCount() - last); };
    if (elapsed() < static_cast<int32_t>(kMinFrameMilliseconds)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return static_cast<uint32_t>(std::clamp(elapsed(), static_cast<int32_t>(kMinFrameMilliseconds),
                                            static_cast<int32_t>(kMaxFrameMilliseconds)));
}

std::string ranksText(const std::vector<int32_t>& ranks) {
    std::string out;
    for (int32_t rank : ranks) {
        out += (out.empty() ? "" : " ") + std::to_string(rank);
    }
    return out.empty() ? "none" : out;
}

// Plays a recording of a match simulated in fixed frames (online) in the same frames: one each
// rendered frame, each exactly 1/pace s of game time, as the machines that played it had them.
class PacedReplay : public FramePacer {
  public:
    uint32_t pace = 60;
    void beginFrame() override { due = true; }
    bool frameReady() override { return std::exchange(due, false); }
    void frameDone() override {}
    void endFrame() override {}
    float frameSeconds() const override { return 1.0f / static_cast<float>(pace); }

  private:
    bool due = false;
};

PacedReplay& pacedReplay() {
    static auto* pacer = new PacedReplay();
    return *pacer;
}

// Ends the replay with its line.
void endReplay(const std::string& line, bool asRecorded) {
    MatchRun& run = MatchRun::instance();
    std::cout << line << std::endl;
    run.replayFailed = run.replayFailed || !asRecorded;
    run.replay.reset();
}

} // namespace

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

void RecordMatches(const std::string& path, bool online) {
    MatchRun::instance().recordPath = path;
    if (online) {
        return; // the session paces the match, and starts its steps afresh
    }
    // The recording starts at the match's first frame: no fixed steps left over from the
    // state before it, so the replay's first frame steps the same.
    Engine& engine = Engine::instance();
    engine.freshStepsOnSwitch = true;
    engine.frameMilliseconds = []() -> std::optional<uint32_t> { return recordedFrameLength(); };
}

bool ReplayMatch(const std::string& path, const std::vector<std::string>& maps) {
    std::optional<Recording> recording = ReadRecording(path);
    if (!recording) {
        return false;
    }
    if (std::string problem = MatchSettingsProblem(recording->settings, maps); !problem.empty()) {
        std::cout << "Recording " << path << " refused: " << problem << std::endl;
        return false;
    }
    MatchSettings& settings = MatchSettings::instance();
    WriteTeams(settings, Teams{}); // a recording from before teams holds none: a free-for-all
    for (const auto& [key, value] : recording->settings) {
        settings.set(key, value);
    }
    const uint32_t pace = recording->pace;
    MatchRun::instance().replay = std::make_unique<ReplaySource>(std::move(*recording));
    Engine& engine = Engine::instance();
    engine.firstState = GameStateId::Play;
    engine.freshStepsOnSwitch = true;
    if (pace > 0) {
        pacedReplay().pace = pace;
        engine.pacer = &pacedReplay();
    }
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

bool FollowReplay(uint32_t matchFrames, const std::vector<int32_t>* podiumRanks) {
    MatchRun& run = MatchRun::instance();
    if (!run.replay) {
        return false;
    }
    const Recording& recorded = run.replay->recording();
    const size_t total = recorded.frames.size();
    const std::string replay = "Replay of " + std::to_string(total) + " frames ";
    std::string parting;
    if (podiumRanks != nullptr) {
        if (matchFrames < total) {
            parting = "the match ends with " + std::to_string(total - matchFrames) + " recorded frames left";
        } else if (recorded.unfinished) {
            // Stopped (a full disk, a kill) between its last frame and its closing line.
            endReplay(replay + "ends where the recording does, on the podium; the recording has no result",
                      true);
            return true;
        } else if (*podiumRanks != recorded.result) {
            parting = "the podium ranks " + ranksText(*podiumRanks) + ", the recording " +
                      ranksText(recorded.result);
        }
    } else if (matchFrames < total) {
        return false;
    } else if (recorded.result.empty()) {
        endReplay(replay + "ends where the recording does: the recording ends before the match did", true);
        return true;
    } else {
        parting = "the recorded frames run out before the match ends";
    }
    if (parting.empty()) {
        // The frame and hash an online match's end line gives, for comparing with it.
        char where[64];
        std::snprintf(where, sizeof where, " (frame %u, hash %016llx)", matchFrames - 1,
                      static_cast<unsigned long long>(HashWorld()));
        endReplay(replay + "ends on the recorded result" + where, true);
    } else {
        endReplay(replay + "does not end on the recorded result: they part at frame " +
                      std::to_string(matchFrames) + " (" + parting + ")",
                  false);
    }
    return true;
}

void LeaveReplay(uint32_t matchFrames, bool quitting) {
    MatchRun& run = MatchRun::instance();
    if (!run.replay) {
        return;
    }
    const size_t total = run.replay->recording().frames.size();
    if (quitting) {
        endReplay("Replay left at frame " + std::to_string(matchFrames) + " of " + std::to_string(total),
                  true);
    } else {
        endReplay("Replay of " + std::to_string(total) +
                      " frames does not end on the recorded result: they part at frame " +
                      std::to_string(matchFrames) + " (the match is left with recorded frames unplayed)",
                  false);
    }
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

double ProcessCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
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

double HeapInUseMegabytes() {
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer's allocator replaces glibc's, whose counts then stay near zero; its count
    // leaves out the quarantine of freed blocks.
    return static_cast<double>(__sanitizer_get_current_allocated_bytes()) / (1024.0 * 1024.0);
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
#endif
}
