#include "audio/sound_manager.hpp"

#include "audio/sound_events.hpp"
#include "platform/audio_output.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace {

constexpr int kMaxVoices = 32;

} // namespace

SoundManager& SoundManager::instance() {
    static auto* manager = new SoundManager();
    return *manager;
}

bool SoundManager::check(AudioResult result) {
    if (result != kAudioOk) {
        std::cout << "SOUND MANAGER ERROR: " << static_cast<int>(result) << std::endl;
        return false;
    }
    return true;
}

AudioSystem* SoundManager::system() {
    if (studioSystem == nullptr || !studioSystem->initialized()) {
        check(kAudioErrNotInitialized);
        return nullptr;
    }
    return studioSystem;
}

Bus SoundManager::masterBus() {
    Bus bus;
    if (folderMissing) {
        return bus;
    }
    if (AudioSystem* s = system()) {
        AudioResult found = s->getBus(std::string(kMasterBusPath), &bus);
        // Like a missing event: told once, with its path, not at every pause and volume step.
        if (found != kAudioOk && missingEvents.insert(std::string(kMasterBusPath)).second) {
            check(found);
            std::cout << kMasterBusPath << std::endl;
        }
    }
    return bus;
}

void SoundManager::init() {
    if (studioSystem != nullptr && studioSystem->initialized()) {
        return; // initialised once
    }
    if (studioSystem == nullptr) {
        studioSystem = new AudioSystem();
    }
    if (!check(studioSystem->initialize(kMaxVoices, &currentAudioOutput()))) {
        return;
    }
    audioRoot = "../Resources/Audio/";
    std::error_code ignored;
    folderMissing = !std::filesystem::is_directory(audioRoot, ignored);
    if (folderMissing) {
        std::cout << "Sound is off: no sound folder at " << audioRoot << std::endl;
        return;
    }
    if (!masterBank.isValid()) {
        std::string path = audioRoot + std::string(kMasterBankFile);
        if (!check(studioSystem->loadBankFile(path, &masterBank))) {
            std::cout << path << std::endl;
        }
    }
    loadBank(std::string(kMasterStringsBankFile));
    Bus bus = masterBus();
    if (bus.isValid()) {
        check(bus.setVolume(volume));
    }
}

void SoundManager::loadBank(const std::string& fileName) {
    if (banks.count(fileName) != 0 || folderMissing) {
        return;
    }
    AudioSystem* s = system();
    if (s == nullptr) {
        return;
    }
    Bank bank;
    // The result code alone does not say which of the banks failed: the file follows it.
    if (!check(s->loadBankFile(audioRoot + fileName, &bank))) {
        std::cout << audioRoot + fileName << std::endl;
    }
    if (bank.isValid()) {
        banks[fileName] = bank;
    }
}

void SoundManager::loadEvent(std::string_view pathView) {
    const std::string path(pathView);
    if (folderMissing) {
        return;
    }
    AudioSystem* s = system();
    if (s == nullptr) {
        return;
    }
    if (descriptions.count(path) == 0) {
        EventDescription description;
        AudioResult found = s->getEvent(path, &description);
        // A missing bank would otherwise report every shot and chime of a match: each path
        // that cannot be found is told once, with its path.
        if (found != kAudioOk && missingEvents.insert(path).second) {
            check(found);
            std::cout << path << std::endl;
        }
        if (description.isValid()) {
            descriptions[path] = description;
        }
    }
    auto description = descriptions.find(path);
    if (description == descriptions.end()) {
        return;
    }
    // Only one instance is held per path: replacing it would lose the only handle to an
    // instance that may still be playing (a loop nobody could stop any more).
    auto held = instances.find(path);
    if (held != instances.end() && held->second.isValid()) {
        return;
    }
    EventInstance instance;
    check(description->second.createInstance(&instance));
    if (instance.isValid()) {
        instances[path] = instance;
    }
}

void SoundManager::loadSampleData(std::string_view path) {
    auto description = descriptions.find(std::string(path));
    if (description != descriptions.end()) {
        check(description->second.loadSampleData());
    }
}

void SoundManager::loadBankSampleData(const std::string& fileName) {
    auto bank = banks.find(fileName);
    if (bank != banks.end()) {
        check(bank->second.loadSampleData());
    }
}

void SoundManager::playEvent(std::string_view pathView, bool oneShot) {
    const std::string path(pathView);
    if (effects != nullptr && !effects->cause(path)) {
        return; // its frame simulated again: it played the first time
    }
    if (!oneShot) {
        auto held = instances.find(path);
        if (held == instances.end()) {
            loadEvent(path);
            held = instances.find(path);
        }
        if (held != instances.end()) {
            check(held->second.start());
            if (effects != nullptr) {
                effects->played([this, path] { stopEvent(path); });
            }
        }
        return;
    }

    if (descriptions.count(path) == 0) {
        loadEvent(path);
        // One-shot paths keep no description: each play looks its event up afresh.
        descriptions.erase(path);
    }
    EventInstance instance;
    if (auto held = instances.find(path); held != instances.end()) {
        instance = held->second;
        instances.erase(held);
    } else if (auto description = descriptions.find(path); description != descriptions.end()) {
        check(description->second.createInstance(&instance));
    }
    if (!instance.isValid()) {
        return;
    }
    check(instance.start());
    check(instance.release()); // freed once it has finished playing
    if (effects != nullptr) {
        // Cut only while it plays: a finished one-shot's handle no longer names an instance.
        effects->played([instance] {
            if (instance.isValid()) {
                static_cast<void>(instance.stop());
            }
        });
    }
}

void SoundManager::stopEvent(std::string_view path) {
    auto held = instances.find(std::string(path));
    if (held != instances.end()) {
        check(held->second.stop());
    }
}

void SoundManager::stopAll() {
    Bus bus = masterBus();
    if (bus.isValid()) {
        check(bus.stopAllEvents());
    }
}

void SoundManager::setPaused(bool value) {
    paused = value;
    Bus bus = masterBus();
    if (bus.isValid()) {
        check(bus.setPaused(value));
    }
}

void SoundManager::setMuted(bool value) {
    muted = value;
    Bus bus = masterBus();
    if (bus.isValid()) {
        check(bus.setMute(value));
    }
}

void SoundManager::setVolume(float value) {
    volume = value;
    Bus bus = masterBus();
    if (bus.isValid()) {
        check(bus.setVolume(value));
    }
}

void SoundManager::update() {
    if (AudioSystem* s = system()) {
        check(s->update());
    }
}

void SoundManager::shutdown() {
    if (studioSystem == nullptr || !studioSystem->initialized()) {
        return;
    }
    for (auto& [path, instance] : instances) {
        if (instance.isValid()) {
            check(instance.release());
        }
    }
    instances.clear();
    for (auto& [name, bank] : banks) {
        if (bank.isValid()) {
            check(bank.unload());
        }
    }
    banks.clear();
    check(studioSystem->unloadAll());
    masterBank = Bank{};
    descriptions.clear();
    check(studioSystem->release());
}

int VolumeTenths(float volume) {
    return std::clamp(static_cast<int>(std::lround(volume * 10.0f)), 0, 10);
}
