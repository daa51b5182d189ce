#include "audio/audio_system.hpp"

#include "audio/bank_reader.hpp"
#include "audio/sound_events.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The bus every event plays through; its volume, mute and pause reach the output.
constexpr uint64_t kMasterBusId = audioPathId(kMasterBusPath);

} // namespace

// ---------------------------------------------------------------------------------------------
// Handles: each call finds its object in the system or answers kAudioErrInvalidHandle.

bool Bank::isValid() const {
    return system != nullptr && system->findBank(id) != nullptr;
}

AudioResult Bank::loadSampleData() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    for (uint64_t event : system->findBank(id)->events) {
        if (AudioResult r = system->ensureSound(*system->findEvent(event)); r != kAudioOk) {
            return r;
        }
    }
    return kAudioOk;
}

AudioResult Bank::unload() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    system->unloadBank(id);
    return kAudioOk;
}

AudioResult Bank::getEventCount(int* count) const {
    if (!isValid() || count == nullptr) {
        return count == nullptr ? kAudioErrInvalidParam : kAudioErrInvalidHandle;
    }
    *count = static_cast<int>(system->findBank(id)->events.size());
    return kAudioOk;
}

bool EventInstance::isValid() const {
    return system != nullptr && system->findInstance(id) != nullptr;
}

AudioResult EventInstance::start() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    return system->startInstance(id);
}

AudioResult EventInstance::stop() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    system->stopInstance(*system->findInstance(id));
    return kAudioOk;
}

AudioResult EventInstance::release() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    system->findInstance(id)->released = true;
    return kAudioOk;
}

AudioResult EventInstance::getPlaybackState(PlaybackState* state) const {
    if (state == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    AudioSystem::InstanceData* instance = system->findInstance(id);
    bool playing = instance->voice != 0 && system->output->voiceState(instance->voice) != VoiceState::Stopped;
    *state = playing ? PlaybackState::Playing : PlaybackState::Stopped;
    return kAudioOk;
}

AudioResult EventInstance::getTimelinePosition(int* milliseconds) const {
    if (milliseconds == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    AudioSystem::InstanceData* instance = system->findInstance(id);
    float seconds = instance->voice != 0 ? system->output->voicePosition(instance->voice) : 0.0f;
    *milliseconds = static_cast<int>(std::lround(seconds * 1000.0f));
    return kAudioOk;
}

bool EventDescription::isValid() const {
    return system != nullptr && system->findEvent(id) != nullptr;
}

AudioResult EventDescription::createInstance(EventInstance* instance) const {
    if (instance == nullptr) {
        return kAudioErrInvalidParam;
    }
    *instance = EventInstance{};
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    uint64_t handle = system->nextHandle++;
    system->instances[handle] = AudioSystem::InstanceData{id, 0, false, 0};
    instance->system = system;
    instance->id = handle;
    return kAudioOk;
}

AudioResult EventDescription::loadSampleData() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    return system->ensureSound(*system->findEvent(id));
}

AudioResult EventDescription::getSampleLoaded(bool* loaded) const {
    if (loaded == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *loaded = system->findEvent(id)->sound != 0;
    return kAudioOk;
}

AudioResult EventDescription::getPath(std::string* path) const {
    if (path == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    for (const auto& [text, entry] : system->paths) {
        if (entry.id == id) {
            *path = text;
            return kAudioOk;
        }
    }
    return kAudioErrEventNotFound;
}

AudioResult EventDescription::isLooping(bool* looping) const {
    if (looping == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *looping = (system->findEvent(id)->event.flags & kEventLoops) != 0;
    return kAudioOk;
}

AudioResult EventDescription::getLength(int* milliseconds) const {
    if (milliseconds == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *milliseconds = static_cast<int>(std::lround(system->findEvent(id)->pcm.duration() * 1000.0f));
    return kAudioOk;
}

AudioResult EventDescription::getInstanceCount(int* count) const {
    if (count == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *count = static_cast<int>(std::count_if(system->instances.begin(), system->instances.end(),
                                            [&](const auto& entry) { return entry.second.event == id; }));
    return kAudioOk;
}

bool Bus::isValid() const {
    return system != nullptr && system->findBus(id) != nullptr;
}

AudioResult Bus::setVolume(float volume) const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    if (!std::isfinite(volume) || volume < 0.0f) {
        return kAudioErrInvalidParam;
    }
    system->findBus(id)->volume = volume;
    system->applyMasterVolume();
    return kAudioOk;
}

AudioResult Bus::getVolume(float* volume) const {
    if (volume == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *volume = system->findBus(id)->volume;
    return kAudioOk;
}

AudioResult Bus::setMute(bool mute) const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    system->findBus(id)->muted = mute;
    system->applyMasterVolume();
    return kAudioOk;
}

AudioResult Bus::getMute(bool* mute) const {
    if (mute == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *mute = system->findBus(id)->muted;
    return kAudioOk;
}

AudioResult Bus::setPaused(bool paused) const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    AudioSystem::BusData* bus = system->findBus(id);
    if (bus->paused == paused) {
        return kAudioOk;
    }
    bus->paused = paused;
    if (id == kMasterBusId) {
        for (auto& [handle, instance] : system->instances) {
            if (instance.voice != 0) {
                system->output->setVoicePaused(instance.voice, paused);
            }
        }
    }
    return kAudioOk;
}

AudioResult Bus::getPaused(bool* paused) const {
    if (paused == nullptr) {
        return kAudioErrInvalidParam;
    }
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    *paused = system->findBus(id)->paused;
    return kAudioOk;
}

AudioResult Bus::stopAllEvents() const {
    if (!isValid()) {
        return kAudioErrInvalidHandle;
    }
    if (id == kMasterBusId) {
        for (auto& [handle, instance] : system->instances) {
            system->stopInstance(instance);
        }
    }
    return kAudioOk;
}

// ---------------------------------------------------------------------------------------------
// The system

AudioSystem::~AudioSystem() {
    release();
}

AudioResult AudioSystem::initialize(int voices, AudioOutput* out) {
    if (out == nullptr || voices <= 0) {
        return kAudioErrInvalidParam;
    }
    if (output != nullptr) {
        release();
    }
    output = out;
    maxVoices = voices;
    return kAudioOk;
}

AudioResult AudioSystem::release() {
    if (output == nullptr) {
        return kAudioErrNotInitialized;
    }
    unloadAll();
    output = nullptr;
    maxVoices = 0;
    return kAudioOk;
}

AudioResult AudioSystem::update() {
    if (output == nullptr) {
        return kAudioErrNotInitialized;
    }
    reapVoices();
    for (auto it = instances.begin(); it != instances.end();) {
        it = it->second.released && it->second.voice == 0 ? instances.erase(it) : std::next(it);
    }
    return kAudioOk;
}

AudioResult AudioSystem::loadBankFile(const std::string& fileName, Bank* bank) {
    if (bank == nullptr) {
        return kAudioErrInvalidParam;
    }
    *bank = Bank{};
    if (output == nullptr) {
        return kAudioErrNotInitialized;
    }
    BankContents contents;
    if (AudioResult r = readBankFile(fileName, contents); r != kAudioOk) {
        return r;
    }
    // A bank, or any event or bus in it, that is already there is refused whole.
    for (const auto& [handle, loaded] : banks) {
        if (loaded.bankId == contents.bankId) {
            return kAudioErrBankLoaded;
        }
    }
    for (const BankEvent& e : contents.events) {
        if (events.count(e.id) != 0) {
            return kAudioErrBankLoaded;
        }
    }
    for (const BankBus& b : contents.buses) {
        if (buses.count(b.id) != 0) {
            return kAudioErrBankLoaded;
        }
    }

    uint64_t handle = nextHandle++;
    BankData& data = banks[handle];
    data.fileName = fileName;
    data.bankId = contents.bankId;
    auto samples = std::make_shared<const std::vector<int16_t>>(std::move(contents.samples));
    for (const BankEvent& e : contents.events) {
        EventData event;
        event.bank = handle;
        event.event = e;
        event.pcm.samples = samples;
        event.pcm.firstSample = e.firstSample;
        event.pcm.frameCount = e.frameCount;
        event.pcm.channels = e.channels;
        event.pcm.sampleRate = e.sampleRate;
        event.pcm.loops = (e.flags & kEventLoops) != 0;
        event.pcm.loopStart = e.loopStart;
        event.pcm.loopEnd = e.loopEnd;
        event.pcm.streamed = (e.flags & kEventStreams) != 0;
        events.emplace(e.id, std::move(event));
        data.events.push_back(e.id);
    }
    for (const BankBus& b : contents.buses) {
        buses.emplace(b.id, BusData{handle, b.volume, false, false});
        data.buses.push_back(b.id);
    }
    for (const BankString& s : contents.strings) {
        // The first strings bank to name a path keeps it.
        if (paths.emplace(s.path, PathData{s.id, handle}).second) {
            data.paths.push_back(s.path);
        }
    }
    if (contents.buses.end() != std::find_if(contents.buses.begin(), contents.buses.end(),
                                             [](const BankBus& b) { return b.id == kMasterBusId; })) {
        applyMasterVolume();
    }
    bank->system = this;
    bank->id = handle;
    return kAudioOk;
}

AudioResult AudioSystem::unloadAll() {
    if (output == nullptr) {
        return kAudioErrNotInitialized;
    }
    while (!banks.empty()) {
        unloadBank(banks.begin()->first);
    }
    return kAudioOk;
}

AudioResult AudioSystem::getEvent(const std::string& path, EventDescription* description) {
    if (description == nullptr) {
        return kAudioErrInvalidParam;
    }
    *description = EventDescription{};
    if (output == nullptr) {
        return kAudioErrNotInitialized;
    }
    auto known = paths.find(path);
    if (known == paths.end() || events.count(known->second.id) == 0) {
        return kAudioErrEventNotFound;
    }
    description->system = this;
    description->id = known->second.id;
    return kAudioOk;
}

AudioResult AudioSystem::getBus(const std::string& path, Bus* bus) {
    if (bus == nullptr) {
        return kAudioErrInvalidParam;
    }
    *bus = Bus{};
    if (output == nullptr) {
        return kAudioErrNotInitialized;
    }
    auto known = paths.find(path);
    if (known == paths.end() || buses.count(known->second.id) == 0) {
        return kAudioErrBusNotFound;
    }
    bus->system = this;
    bus->id = known->second.id;
    return kAudioOk;
}

int AudioSystem::voiceCount() const {
    return static_cast<int>(std::count_if(instances.begin(), instances.end(),
                                          [](const auto& entry) { return entry.second.voice != 0; }));
}

std::vector<std::string> AudioSystem::eventPaths() const {
    std::vector<std::string> list;
    for (const auto& [path, entry] : paths) {
        if (events.count(entry.id) != 0) {
            list.push_back(path);
        }
    }
    std::sort(list.begin(), list.end());
    return list;
}

AudioSystem::BankData* AudioSystem::findBank(uint64_t id) {
    auto found = banks.find(id);
    return found == banks.end() ? nullptr : &found->second;
}

AudioSystem::EventData* AudioSystem::findEvent(uint64_t id) {
    auto found = events.find(id);
    return found == events.end() ? nullptr : &found->second;
}

AudioSystem::InstanceData* AudioSystem::findInstance(uint64_t id) {
    auto found = instances.find(id);
    return found == instances.end() ? nullptr : &found->second;
}

AudioSystem::BusData* AudioSystem::findBus(uint64_t id) {
    auto found = buses.find(id);
    return found == buses.end() ? nullptr : &found->second;
}

AudioResult AudioSystem::ensureSound(EventData& event) {
    if (event.sound == 0) {
        event.sound = output->createSound(event.pcm);
    }
    return event.sound != 0 ? kAudioOk : kAudioErrOutput;
}

AudioResult AudioSystem::startInstance(uint64_t id) {
    InstanceData& instance = instances.at(id);
    stopInstance(instance); // start always plays from the beginning
    EventData& event = events.at(instance.event);
    if (AudioResult r = ensureSound(event); r != kAudioOk) {
        return r;
    }
    if (voiceCount() >= maxVoices) {
        reapVoices();
    }
    if (voiceCount() >= maxVoices) {
        // Take the voice of the oldest fire-and-forget instance; held ones keep theirs.
        InstanceData* oldest = nullptr;
        for (auto& [handle, other] : instances) {
            if (other.released && other.voice != 0 &&
                (oldest == nullptr || other.startOrder < oldest->startOrder)) {
                oldest = &other;
            }
        }
        if (oldest == nullptr) {
            return kAudioErrNoVoice;
        }
        stopInstance(*oldest); // freed at the next update, like any released instance that ended
    }
    const BusData* master = findBus(kMasterBusId);
    bool paused = master != nullptr && master->paused;
    instance.voice = output->startVoice(event.sound, event.event.volume, paused);
    if (instance.voice == 0) {
        return kAudioErrOutput;
    }
    instance.startOrder = ++startCounter;
    return kAudioOk;
}

void AudioSystem::stopInstance(InstanceData& instance) {
    if (instance.voice != 0) {
        output->stopVoice(instance.voice);
        instance.voice = 0;
    }
}

void AudioSystem::reapVoices() {
    for (auto& [handle, instance] : instances) {
        if (instance.voice != 0 && output->voiceState(instance.voice) == VoiceState::Stopped) {
            stopInstance(instance);
        }
    }
}

void AudioSystem::unloadBank(uint64_t id) {
    BankData* bank = findBank(id);
    if (bank == nullptr) {
        return;
    }
    for (uint64_t eventId : bank->events) {
        for (auto it = instances.begin(); it != instances.end();) {
            if (it->second.event == eventId) {
                stopInstance(it->second);
                it = instances.erase(it);
            } else {
                ++it;
            }
        }
        EventData& event = events.at(eventId);
        if (event.sound != 0) {
            output->destroySound(event.sound);
        }
        events.erase(eventId);
    }
    for (uint64_t busId : bank->buses) {
        buses.erase(busId);
    }
    for (const std::string& path : bank->paths) {
        paths.erase(path);
    }
    banks.erase(id);
}

void AudioSystem::applyMasterVolume() {
    const BusData* master = findBus(kMasterBusId);
    if (master != nullptr) {
        output->setMasterVolume(master->muted ? 0.0f : master->volume);
    }
}
