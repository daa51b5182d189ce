#pragma once

// Where the sound layer's voices become audible. The real back end plays through SFML Audio
// (OpenAL); the recording back end keeps the same books without a device, for tests and
// benchmarks. Sounds are PCM made ready once; voices are playings of a sound.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

using AudioSoundId = uint32_t; // 0 = none
using AudioVoiceId = uint32_t; // 0 = none

// The samples of one sound, shared with the bank that holds them.
struct PcmSource {
    std::shared_ptr<const std::vector<int16_t>> samples;
    size_t firstSample = 0;
    uint32_t frameCount = 0;
    uint16_t channels = 1;
    uint32_t sampleRate = 22050;
    bool loops = false;
    uint32_t loopStart = 0; // frames; a looping sound plays to loopEnd, then on from loopStart
    uint32_t loopEnd = 0;
    bool streamed = false; // music: fed in chunks while it plays instead of one buffer

    float duration() const { return sampleRate == 0 ? 0.0f : static_cast<float>(frameCount) / sampleRate; }
};

// Copies up to `frames` frames of `pcm` from frame `cursor` into `out` and advances the cursor.
// A looping sound wraps from its loop end to its loop start inside the copy, sample-exactly, so
// it never runs dry; a sound that does not loop stops at its end. Returns the frames written.
size_t fillPcmChunk(const PcmSource& pcm, uint32_t& cursor, int16_t* out, size_t frames);

enum class VoiceState { Stopped, Playing, Paused };

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;

    // True when voices reach a real device (false on OpenAL's null device and in tests).
    virtual bool audible() const = 0;
    // Makes a sound ready to play; 0 when it cannot.
    virtual AudioSoundId createSound(const PcmSource& pcm) = 0;
    // Stops the sound's voices, then frees it.
    virtual void destroySound(AudioSoundId sound) = 0;
    // Plays a sound from its start at a volume (0..1); a voice started paused waits for
    // setVoicePaused(false). 0 when it cannot.
    virtual AudioVoiceId startVoice(AudioSoundId sound, float volume, bool paused) = 0;
    // Stops a voice at once and frees it.
    virtual void stopVoice(AudioVoiceId voice) = 0;
    virtual void setVoicePaused(AudioVoiceId voice, bool paused) = 0;
    // Stopped once a voice has played to its end (it stays allocated until stopVoice).
    virtual VoiceState voiceState(AudioVoiceId voice) = 0;
    // Seconds the voice has played; it does not move while the voice is paused.
    virtual float voicePosition(AudioVoiceId voice) = 0;
    // The level of everything, 0..1 (a muted bus sends 0).
    virtual void setMasterVolume(float volume) = 0;
};

// How the real back end found the machine's sound.
enum class AudioDeviceChoice {
    Default,       // OpenAL opens the machine's device
    NullRequested, // ALSOFT_DRIVERS was set by whoever started us; we leave it alone
    NullNoDevice,  // no device opened: OpenAL's silent null device, announced with one line
};

// Opens and closes OpenAL's default device in a child process whose output goes nowhere, so
// the probe itself prints nothing (ALSA complains loudly when there is no sound card).
bool probeDefaultAudioDevice();

// Decides the device before any SFML audio object exists: OpenAL reads its driver list once,
// at its first use. Without a device it selects the null driver (sounds still play and end
// on time, silently) and prints "Sound is off: no audio device found." once.
AudioDeviceChoice chooseAudioDevice(bool (*probe)() = probeDefaultAudioDevice);
// The choice made once for the whole run. The program settles it first thing in main, while it
// still has a single thread, because the probe forks.
AudioDeviceChoice settledAudioDevice();

// The back end the sound layer plays through: SFML unless a test installed another (null
// restores SFML). The SFML back end is made at its first use and lives until process exit.
AudioOutput& currentAudioOutput();
void setAudioOutput(AudioOutput* output);

// Keeps the books of a real output without sound: a test moves time on with advance().
class RecordingAudioOutput : public AudioOutput {
  public:
    struct Voice {
        AudioSoundId sound = 0;
        float volume = 1.0f;
        float position = 0.0f;
        bool paused = false;
        bool finished = false;
    };

    bool audible() const override { return false; }
    AudioSoundId createSound(const PcmSource& pcm) override;
    void destroySound(AudioSoundId sound) override;
    AudioVoiceId startVoice(AudioSoundId sound, float volume, bool paused) override;
    void stopVoice(AudioVoiceId voice) override;
    void setVoicePaused(AudioVoiceId voice, bool paused) override;
    VoiceState voiceState(AudioVoiceId voice) override;
    float voicePosition(AudioVoiceId voice) override;
    void setMasterVolume(float volume) override;

    // Plays every unpaused voice on by `seconds`; voices that do not loop end at their length.
    void advance(float seconds);
    // Voices still sounding or paused (not finished, not stopped).
    size_t liveVoices() const;
    size_t liveVoicesOf(AudioSoundId sound) const;

    // One line per call: "create 1", "destroy 1", "start 2 sound 1", "stop 2", "pause 2",
    // "resume 2", "master 0.5".
    std::vector<std::string> log;
    float masterVolume = 1.0f;
    std::map<AudioSoundId, PcmSource> sounds;
    std::map<AudioVoiceId, Voice> voices;

  private:
    uint32_t nextId = 1;
};
