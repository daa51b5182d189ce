#include "audio/sound_manager.hpp"

SoundManager& SoundManager::instance() {
    static auto* manager = new SoundManager();
    return *manager;
}

void SoundManager::init() {}

void SoundManager::loadBank(const std::string&) {}

void SoundManager::update() {}

void SoundManager::shutdown() {}
