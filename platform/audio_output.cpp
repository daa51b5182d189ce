#include "platform/audio_output.hpp"

#include <SFML/Audio/Listener.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Audio/SoundStream.hpp>

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <thread>
#include <unordered_map>

size_t fillPcmChunk(const PcmSource& pcm, uint32_t& cursor, int16_t* out, size_t frames) {
    if (!pcm.samples || pcm.channels == 0) {
        return 0;
    }
    const int16_t* base = pcm.samples->data() + pcm.firstSample;
    const bool loops = pcm.loops && pcm.loopStart < pcm.loopEnd && pcm.loopEnd <= pcm.frameCount;
    const uint32_t end = loops ? pcm.loopEnd : pcm.frameCount;
    size_t written = 0;
    while (written < frames) {
        if (cursor >= end) {
            if (!loops) {
                break;
            }
            cursor = pcm.loopStart;
        }
        size_t run = std::min<size_t>(frames - written, end - cursor);
        std::copy_n(base + static_cast<size_t>(cursor) * pcm.channels, run * pcm.channels,
                    out + written * pcm.channels);
        written += run;
        cursor += static_cast<uint32_t>(run);
    }
    return written;
}

// ---------------------------------------------------------------------------------------------
// Device choice

namespace {

constexpr const char* kNoDeviceLine = "Sound is off: no audio device found.";
constexpr auto kProbeTimeout = std::chrono::seconds(3);

} // namespace

bool probeDefaultAudioDevice() {
    pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        using OpenDevice = void* (*)(const char*);
        using CloseDevice = char (*)(void*);
        void* library = dlopen("libopenal.so.1", RTLD_NOW);
        if (library == nullptr) {
            _exit(1);
        }
        auto openDevice = reinterpret_cast<OpenDevice>(dlsym(library, "alcOpenDevice"));
        auto closeDevice = reinterpret_cast<CloseDevice>(dlsym(library, "alcCloseDevice"));
        if (openDevice == nullptr || closeDevice == nullptr) {
            _exit(1);
        }
        void* device = openDevice(nullptr);
        if (device == nullptr) {
            _exit(1);
        }
        closeDevice(device);
        _exit(0);
    }
    // A sound server that hangs must not hang the game: give up after a few seconds.
    auto deadline = std::chrono::steady_clock::now() + kProbeTimeout;
    int status = 0;
    while (true) {
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        if (done < 0 || std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

AudioDeviceChoice chooseAudioDevice(bool (*probe)()) {
    if (std::getenv("ALSOFT_DRIVERS") != nullptr) {
        return AudioDeviceChoice::NullRequested;
    }
    if (probe != nullptr && probe()) {
        return AudioDeviceChoice::Default;
    }
    setenv("ALSOFT_DRIVERS", "null", 1);
    std::cout << kNoDeviceLine << std::endl;
    return AudioDeviceChoice::NullNoDevice;
}

AudioDeviceChoice settledAudioDevice() {
    static const AudioDeviceChoice choice = chooseAudioDevice();
    return choice;
}

// ---------------------------------------------------------------------------------------------
// SFML back end

namespace {

// Feeds a sound to OpenAL in chunks from memory, wrapping at its loop points.
class PcmStream : public sf::SoundStream {
  public:
    explicit PcmStream(const PcmSource& source) : pcm(source) {
        initialize(pcm.channels, pcm.sampleRate);
        chunk.resize(static_cast<size_t>(kChunkFrames) * pcm.channels);
    }
    // The streaming thread calls back into this object: stop it before the members go.
    ~PcmStream() override { stop(); }

  private:
    static constexpr uint32_t kChunkFrames = 4096;

    bool onGetData(Chunk& data) override {
        size_t frames = fillPcmChunk(pcm, cursor, chunk.data(), kChunkFrames);
        data.samples = chunk.data();
        data.sampleCount = frames * pcm.channels;
        return frames == kChunkFrames;
    }
    void onSeek(sf::Time offset) override {
        int64_t frame = static_cast<int64_t>(offset.asSeconds() * static_cast<float>(pcm.sampleRate));
        cursor = static_cast<uint32_t>(std::clamp<int64_t>(frame, 0, pcm.frameCount));
    }

    PcmSource pcm;
    uint32_t cursor = 0;
    std::vector<int16_t> chunk;
};

class SfmlAudioOutput : public AudioOutput {
  public:
    SfmlAudioOutput() {
        choice = settledAudioDevice();
        // SFML closes its device when its last audio object goes, and afterwards fails (loudly)
        // to set the listener volume; an empty buffer keeps the device open while we exist.
        deviceHolder = std::make_unique<sf::SoundBuffer>();
        // Streams run threads that call back into us; end them before the libraries unload.
        std::atexit([] { stopEverything(); });
    }

    bool audible() const override { return choice == AudioDeviceChoice::Default; }

    AudioSoundId createSound(const PcmSource& pcm) override {
        if (!pcm.samples || pcm.frameCount == 0 ||
            pcm.firstSample + static_cast<size_t>(pcm.frameCount) * pcm.channels > pcm.samples->size()) {
            return 0;
        }
        Sound sound;
        sound.pcm = pcm;
        // A loop that is not the whole sound needs our own wrapping, which only a stream does.
        bool partialLoop = pcm.loops && (pcm.loopStart != 0 || pcm.loopEnd != pcm.frameCount);
        sound.streamed = pcm.streamed || partialLoop;
        if (!sound.streamed) {
            sound.buffer = std::make_unique<sf::SoundBuffer>();
            if (!sound.buffer->loadFromSamples(pcm.samples->data() + pcm.firstSample,
                                               static_cast<uint64_t>(pcm.frameCount) * pcm.channels,
                                               pcm.channels, pcm.sampleRate)) {
                return 0;
            }
        }
        AudioSoundId id = nextId++;
        sounds.emplace(id, std::move(sound));
        return id;
    }

    void destroySound(AudioSoundId id) override {
        for (auto it = voices.begin(); it != voices.end();) {
            it = it->second.sound == id ? voices.erase(it) : std::next(it);
        }
        sounds.erase(id);
    }

    AudioVoiceId startVoice(AudioSoundId id, float volume, bool paused) override {
        auto found = sounds.find(id);
        if (found == sounds.end()) {
            return 0;
        }
        const Sound& sound = found->second;
        Voice voice;
        voice.sound = id;
        if (sound.streamed) {
            voice.stream = std::make_unique<PcmStream>(sound.pcm);
            voice.stream->setVolume(volume * 100.0f);
        } else {
            voice.effect = std::make_unique<sf::Sound>(*sound.buffer);
            voice.effect->setLoop(sound.pcm.loops);
            voice.effect->setVolume(volume * 100.0f);
        }
        voice.paused = paused;
        if (!paused) {
            voice.source()->play();
            voice.started = true;
        }
        AudioVoiceId voiceId = nextId++;
        voices.emplace(voiceId, std::move(voice));
        return voiceId;
    }

    void stopVoice(AudioVoiceId id) override { voices.erase(id); }

    void setVoicePaused(AudioVoiceId id, bool paused) override {
        auto found = voices.find(id);
        if (found == voices.end() || found->second.finished || found->second.paused == paused) {
            return;
        }
        Voice& voice = found->second;
        sf::SoundSource* source = voice.source();
        if (paused) {
            if (voice.started && source->getStatus() == sf::SoundSource::Stopped) {
                voice.finished = true; // it ended just now; do not replay it on resume
                return;
            }
            source->pause();
            voice.paused = true;
            return;
        }
        // play() resumes a paused source but restarts a stopped one: only resume what was
        // really paused (or never started).
        if (voice.started && source->getStatus() == sf::SoundSource::Stopped) {
            voice.finished = true;
        } else {
            source->play();
            voice.started = true;
        }
        voice.paused = false;
    }

    VoiceState voiceState(AudioVoiceId id) override {
        auto found = voices.find(id);
        if (found == voices.end() || found->second.finished) {
            return VoiceState::Stopped;
        }
        Voice& voice = found->second;
        if (voice.paused) {
            return VoiceState::Paused;
        }
        if (voice.source()->getStatus() == sf::SoundSource::Stopped) {
            voice.finished = true;
            return VoiceState::Stopped;
        }
        return VoiceState::Playing;
    }

    float voicePosition(AudioVoiceId id) override {
        auto found = voices.find(id);
        if (found == voices.end()) {
            return 0.0f;
        }
        const Voice& voice = found->second;
        return voice.stream ? voice.stream->getPlayingOffset().asSeconds()
                            : voice.effect->getPlayingOffset().asSeconds();
    }

    void setMasterVolume(float volume) override {
        sf::Listener::setGlobalVolume(std::clamp(volume, 0.0f, 1.0f) * 100.0f);
    }

    static SfmlAudioOutput*& singleton() {
        static SfmlAudioOutput* output = nullptr;
        return output;
    }

  private:
    struct Sound {
        PcmSource pcm;
        bool streamed = false;
        std::unique_ptr<sf::SoundBuffer> buffer;
    };
    struct Voice {
        AudioSoundId sound = 0;
        std::unique_ptr<sf::Sound> effect;
        std::unique_ptr<PcmStream> stream;
        bool paused = false;
        bool started = false;
        bool finished = false;
        sf::SoundSource* source() const {
            return stream ? static_cast<sf::SoundSource*>(stream.get()) : effect.get();
        }
    };

    static void stopEverything() {
        if (SfmlAudioOutput* output = singleton()) {
            output->voices.clear();
            output->sounds.clear();
            output->deviceHolder.reset();
        }
    }

    AudioDeviceChoice choice = AudioDeviceChoice::Default;
    std::unique_ptr<sf::SoundBuffer> deviceHolder;
    std::unordered_map<AudioSoundId, Sound> sounds;
    std::unordered_map<AudioVoiceId, Voice> voices;
    uint32_t nextId = 1;
};

AudioOutput* installedOutput = nullptr;

} // namespace

AudioOutput& currentAudioOutput() {
    if (installedOutput != nullptr) {
        return *installedOutput;
    }
    SfmlAudioOutput*& output = SfmlAudioOutput::singleton();
    if (output == nullptr) {
        output = new SfmlAudioOutput();
    }
    return *output;
}

void setAudioOutput(AudioOutput* output) {
    installedOutput = output;
}

// ---------------------------------------------------------------------------------------------
// Recording back end

AudioSoundId RecordingAudioOutput::createSound(const PcmSource& pcm) {
    AudioSoundId id = nextId++;
    sounds[id] = pcm;
    log.push_back("create " + std::to_string(id));
    return id;
}

void RecordingAudioOutput::destroySound(AudioSoundId sound) {
    for (auto it = voices.begin(); it != voices.end();) {
        if (it->second.sound == sound) {
            log.push_back("stop " + std::to_string(it->first));
            it = voices.erase(it);
        } else {
            ++it;
        }
    }
    sounds.erase(sound);
    log.push_back("destroy " + std::to_string(sound));
}

AudioVoiceId RecordingAudioOutput::startVoice(AudioSoundId sound, float volume, bool paused) {
    if (sounds.count(sound) == 0) {
        return 0;
    }
    AudioVoiceId id = nextId++;
    voices[id] = Voice{sound, volume, 0.0f, paused, false};
    log.push_back("start " + std::to_string(id) + " sound " + std::to_string(sound));
    return id;
}

void RecordingAudioOutput::stopVoice(AudioVoiceId voice) {
    if (voices.erase(voice) != 0) {
        log.push_back("stop " + std::to_string(voice));
    }
}

void RecordingAudioOutput::setVoicePaused(AudioVoiceId voice, bool paused) {
    auto found = voices.find(voice);
    if (found == voices.end() || found->second.paused == paused) {
        return;
    }
    found->second.paused = paused;
    log.push_back((paused ? "pause " : "resume ") + std::to_string(voice));
}

VoiceState RecordingAudioOutput::voiceState(AudioVoiceId voice) {
    auto found = voices.find(voice);
    if (found == voices.end() || found->second.finished) {
        return VoiceState::Stopped;
    }
    return found->second.paused ? VoiceState::Paused : VoiceState::Playing;
}

float RecordingAudioOutput::voicePosition(AudioVoiceId voice) {
    auto found = voices.find(voice);
    return found == voices.end() ? 0.0f : found->second.position;
}

void RecordingAudioOutput::setMasterVolume(float volume) {
    masterVolume = volume;
    std::ostringstream line;
    line << "master " << volume;
    log.push_back(line.str());
}

void RecordingAudioOutput::advance(float seconds) {
    for (auto& [id, voice] : voices) {
        if (voice.paused || voice.finished) {
            continue;
        }
        voice.position += seconds;
        const PcmSource& pcm = sounds[voice.sound];
        if (!pcm.loops && voice.position >= pcm.duration()) {
            voice.position = pcm.duration();
            voice.finished = true;
        }
    }
}

size_t RecordingAudioOutput::liveVoices() const {
    return static_cast<size_t>(
        std::count_if(voices.begin(), voices.end(), [](const auto& v) { return !v.second.finished; }));
}

size_t RecordingAudioOutput::liveVoicesOf(AudioSoundId sound) const {
    return static_cast<size_t>(std::count_if(voices.begin(), voices.end(), [&](const auto& v) {
        return !v.second.finished && v.second.sound == sound;
    }));
}
