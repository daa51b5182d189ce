#include "engine/sound_debug_panel.hpp"

#include "audio/sound_manager.hpp"
#include "graphics/debug_overlay.hpp"

#include <imgui.h>

#include <array>

void DrawSoundPanel() {
    SoundManager& sound = SoundManager::instance();
    AudioSystem* system = sound.studioSystem;
    if (system == nullptr || !system->initialized()) {
        ImGui::TextUnformatted("sound system not initialised");
        return;
    }
    ImGui::Text("banks %d   instances %d   voices %d", system->bankCount(), system->instanceCount(),
                system->voiceCount());

    float volume = sound.volume;
    if (ImGui::SliderFloat("volume", &volume, 0.0f, 1.0f, "%.1f")) {
        sound.setVolume(volume);
    }
    bool muted = sound.muted;
    if (ImGui::Checkbox("mute", &muted)) {
        sound.setMuted(muted);
    }
    ImGui::SameLine();
    bool paused = sound.paused;
    if (ImGui::Checkbox("pause", &paused)) {
        sound.setPaused(paused);
    }
    ImGui::SameLine();
    if (ImGui::Button("stop all")) {
        sound.stopAll();
    }

    // Looping events play held (so "stop" reaches them); everything else as a one-shot.
    for (const std::string& path : system->eventPaths()) {
        EventDescription description;
        bool looping = false;
        if (system->getEvent(path, &description) == kAudioOk) {
            description.isLooping(&looping);
        }
        ImGui::PushID(path.c_str());
        if (ImGui::SmallButton("play")) {
            sound.playEvent(path, !looping);
        }
        ImGui::SameLine();
        if (ImGui::SmallButton("stop")) {
            sound.stopEvent(path);
        }
        ImGui::SameLine();
        ImGui::TextUnformatted(path.c_str());
        ImGui::PopID();
    }

    static std::array<char, 128> typed{"event:/"};
    ImGui::InputText("path", typed.data(), typed.size());
    ImGui::SameLine();
    if (ImGui::Button("play path")) {
        sound.playEvent(typed.data(), true);
    }
}

void RegisterSoundDebugPanel() {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    DebugOverlay::instance().addPanel("Sound", DrawSoundPanel);
}
