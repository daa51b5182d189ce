#pragma once

// Our small studio-style sound system: banks loaded from files, event descriptions and
// instances found by "event:/..." path, a master bus "Bus:/" with volume, mute, pause and
// stop-all, and a per-frame update. Every call returns an AudioResult (0 = OK).
//
// Handles (Bank, EventDescription, EventInstance, Bus) are small values naming an object
// inside the system; once the object is gone (its bank unloaded, a released instance finished)
// calls on the handle return kAudioErrInvalidHandle instead of touching freed memory.
//
// Instances: start() plays from the beginning (restarting one that plays), stop() ends it at
// once, release() lets it finish and frees it at an update after it stopped. Voices are
// capped; when all are taken, the oldest released (fire-and-forget) instance gives up its
// voice to the new one.

#include "audio/audio_result.hpp"
#include "audio/bank_format.hpp"
#include "platform/audio_output.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class AudioSystem;

enum class PlaybackState { Playing, Stopped };

class Bank {
  public:
    bool isValid() const;
    // Makes every event of the bank ready to start without a stall.
    AudioResult loadSampleData() const;
    AudioResult unload() const;
    AudioResult getEventCount(int* count) const;

  private:
    friend class AudioSystem;
    AudioSystem* system = nullptr;
    uint64_t id = 0;
};

class EventInstance {
  public:
    bool isValid() const;
    AudioResult start() const;
    AudioResult stop() const; // immediately, no fade-out
    AudioResult release() const;
    AudioResult getPlaybackState(PlaybackState* state) const;
    // Milliseconds played since the last start; stands still while the bus is paused.
    AudioResult getTimelinePosition(int* milliseconds) const;

  private:
    friend class AudioSystem;
    friend class EventDescription;
    AudioSystem* system = nullptr;
    uint64_t id = 0;
};

class EventDescription {
  public:
    bool isValid() const;
    AudioResult createInstance(EventInstance* instance) const;
    AudioResult loadSampleData() const;
    AudioResult getSampleLoaded(bool* loaded) const;
    AudioResult getPath(std::string* path) const;
    AudioResult isLooping(bool* looping) const;
    AudioResult getLength(int* milliseconds) const;
    AudioResult getInstanceCount(int* count) const;

  private:
    friend class AudioSystem;
    AudioSystem* system = nullptr;
    uint64_t id = 0;
};

class Bus {
  public:
    bool isValid() const;
    AudioResult setVolume(float volume) const; // finite and not negative
    AudioResult getVolume(float* volume) const;
    AudioResult setMute(bool mute) const;
    AudioResult getMute(bool* mute) const;
    AudioResult setPaused(bool paused) const;
    AudioResult getPaused(bool* paused) const;
    AudioResult stopAllEvents() const; // immediately

  private:
    friend class AudioSystem;
    AudioSystem* system = nullptr;
    uint64_t id = 0;
};

class AudioSystem {
  public:
    AudioSystem() = default;
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;
    ~AudioSystem();

    // Plays through `output` with at most `maxVoices` voices at once.
    AudioResult initialize(int maxVoices, AudioOutput* output);
    // Unloads everything and lets go of the output; the system can be initialised again.
    AudioResult release();
    // Once per frame: frees released instances that have finished.
    AudioResult update();

    AudioResult loadBankFile(const std::string& fileName, Bank* bank);
    AudioResult unloadAll();
    AudioResult getEvent(const std::string& path, EventDescription* description);
    AudioResult getBus(const std::string& path, Bus* bus);

    // For developer views and tests.
    bool initialized() const { return output != nullptr; }
    int bankCount() const { return static_cast<int>(banks.size()); }
    int instanceCount() const { return static_cast<int>(instances.size()); }
    int voiceCount() const;
    // Paths of the loaded events whose path a loaded strings bank knows, sorted.
    std::vector<std::string> eventPaths() const;

  private:
    friend class Bank;
    friend class EventDescription;
    friend class EventInstance;
    friend class Bus;

    struct BankData {
        std::string fileName;
        uint64_t bankId = 0;
        std::vector<uint64_t> events;
        std::vector<uint64_t> buses;
        std::vector<std::string> paths;
    };
    struct EventData {
        uint64_t bank = 0;
        BankEvent event;
        PcmSource pcm;
        AudioSoundId sound = 0;
    };
    struct InstanceData {
        uint64_t event = 0;
        AudioVoiceId voice = 0;
        bool released = false;
        uint64_t startOrder = 0;
    };
    struct BusData {
        uint64_t bank = 0;
        float volume = 1.0f;
        bool muted = false;
        bool paused = false;
    };
    struct PathData {
        uint64_t id = 0;
        uint64_t bank = 0;
    };

    BankData* findBank(uint64_t id);
    EventData* findEvent(uint64_t id);
    InstanceData* findInstance(uint64_t id);
    BusData* findBus(uint64_t id);

    AudioResult ensureSound(EventData& event);
    AudioResult startInstance(uint64_t id);
    void stopInstance(InstanceData& instance);
    // Frees the voices that have played to their end.
    void reapVoices();
    void unloadBank(uint64_t id);
    void applyMasterVolume();

    AudioOutput* output = nullptr;
    int maxVoices = 0;
    uint64_t nextHandle = 1;
    uint64_t startCounter = 0;
    std::map<uint64_t, BankData> banks;
    std::unordered_map<uint64_t, EventData> events;
    std::map<uint64_t, InstanceData> instances;
    std::unordered_map<uint64_t, BusData> buses;
    std::unordered_map<std::string, PathData> paths;
};
