#pragma once

// Sounds of a match that goes back to simulate frames again (online rollback) play once. Each
// sound a frame causes is keyed by (frame, event path, how many of that path the frame caused
// before it): the same frame simulated again in the same way causes the same keys, in the same
// order. The rule:
//   - a key caused again when its frame is simulated again is not played again (the first one
//     is still sounding, or has sounded);
//   - a key its frame no longer causes (the corrected frames have no such explosion) is cut if
//     it is still playing, once the frames simulated again have reached the present;
//   - a key caused only by the corrected frames (an explosion that moved to another frame)
//     plays then, as any new sound.
// Nothing here knows frames beyond the numbers it is given: the online game tells it which
// frame is about to be simulated and when the simulation has caught up.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class EffectLedger {
  public:
    // Frames kept: more than any rollback window goes back.
    static constexpr uint32_t kFramesKept = 64;

    // The frame about to be simulated (again, when it is not past every frame simulated so far).
    void beginFrame(uint32_t frame);
    // A sound the frame causes: whether to play it now. With no frame begun, always.
    bool cause(std::string_view path);
    // How to cut the sound just caused and played, should its frame no longer cause it.
    void played(std::function<void()> cut);
    // The frames simulated again have reached the present: what they no longer cause is cut.
    // Sounds from here to the next frame begun belong to no frame.
    void settle();
    // Forgets every frame (a match ends).
    void clear();

    // Whether the frame begun last is one simulated before (the bursts of particles it causes
    // showed the first time; see ParticlePool::holdNew).
    bool simulatingAgain() const { return current != nullptr && current->again; }

    // Sounds cut so far, and sounds kept from playing again.
    uint32_t cutCount() const { return cuts; }
    uint32_t keptCount() const { return kept; }

  private:
    struct Entry {
        std::string path;
        uint32_t ordinal = 0;
        bool causedAgain = true;
        std::function<void()> cut;
    };
    struct Frame {
        uint32_t number = 0;
        bool again = false; // being (or was) simulated again since the last settle
        std::vector<Entry> entries;
    };
    Frame* find(uint32_t frame);

    std::deque<Frame> frames; // in frame order
    Frame* current = nullptr;
    Entry* lastCaused = nullptr;
    bool anyFrame = false;
    uint32_t newest = 0;
    uint32_t cuts = 0;
    uint32_t kept = 0;
};
