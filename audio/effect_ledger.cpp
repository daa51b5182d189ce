#include "audio/effect_ledger.hpp"

#include <algorithm>

EffectLedger::Frame* EffectLedger::find(uint32_t frame) {
    auto found =
        std::find_if(frames.begin(), frames.end(), [frame](const Frame& f) { return f.number == frame; });
    return found == frames.end() ? nullptr : &*found;
}

void EffectLedger::beginFrame(uint32_t frame) {
    lastCaused = nullptr;
    if (anyFrame && frame <= newest) {
        current = find(frame);
        if (current == nullptr) {
            // Older than any kept, or a frame that caused nothing: noted afresh in its place.
            auto at = std::find_if(frames.begin(), frames.end(),
                                   [frame](const Frame& f) { return f.number > frame; });
            current = &*frames.insert(at, Frame{frame, true, {}});
        }
        current->again = true;
        for (Entry& entry : current->entries) {
            entry.causedAgain = false;
        }
        return;
    }
    settle(); // a new frame: whatever was simulated again has caught up
    anyFrame = true;
    newest = frame;
    frames.push_back(Frame{frame, false, {}});
    current = &frames.back();
    while (!frames.empty() && frames.front().number + kFramesKept < frame) {
        frames.pop_front();
        current = &frames.back();
    }
}

bool EffectLedger::cause(std::string_view path) {
    lastCaused = nullptr;
    if (current == nullptr) {
        return true;
    }
    uint32_t ordinal = 0;
    for (Entry& entry : current->entries) {
        if (entry.path != path) {
            continue;
        }
        if (!current->again || entry.causedAgain) {
            ++ordinal;
            continue;
        }
        // The same sound of the same frame, caused again: it played the first time.
        entry.causedAgain = true;
        ++kept;
        return false;
    }
    current->entries.push_back(Entry{std::string(path), ordinal, true, {}});
    lastCaused = &current->entries.back();
    return true;
}

void EffectLedger::played(std::function<void()> cut) {
    if (lastCaused != nullptr) {
        lastCaused->cut = std::move(cut);
    }
}

void EffectLedger::settle() {
    for (Frame& frame : frames) {
        if (!frame.again) {
            continue;
        }
        frame.again = false;
        std::erase_if(frame.entries, [this](Entry& entry) {
            if (entry.causedAgain) {
                return false;
            }
            if (entry.cut) {
                entry.cut();
            }
            ++cuts;
            return true;
        });
    }
    lastCaused = nullptr;
    current = nullptr; // until the next frame: sounds between frames (menus) are no frame's
}

void EffectLedger::clear() {
    frames.clear();
    current = nullptr;
    lastCaused = nullptr;
    anyFrame = false;
    newest = 0;
}
