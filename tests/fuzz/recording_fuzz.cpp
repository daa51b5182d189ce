// Recorded matches: a file handed to --replay. Whatever the reader accepts must write back to the
// same recording and play every frame, each with a time step that moves the clock on.
#include "match/recording.hpp"
#include "match/replay_source.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<Recording> read = ParseRecording(text, "fuzz");
    if (!read) {
        return 0;
    }
    if (!RecordingProblem(*read).empty() || ParseRecording(RecordingText(*read), "again") != read) {
        __builtin_trap();
    }
    ReplaySource replay(*read);
    size_t played = 0;
    while (!replay.finished()) {
        const uint32_t step = replay.nextMilliseconds();
        if (step < kMinFrameMilliseconds || step > kMaxFrameMilliseconds || !replay.beginFrame()) {
            __builtin_trap();
        }
        ++played;
    }
    if (played != read->frames.size() || replay.beginFrame()) {
        __builtin_trap();
    }
    return 0;
}
