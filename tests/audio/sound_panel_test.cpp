// The sound section of the debug overlay, drawn by ImGui alone (no renderer needed): it lists
// every event of the loaded banks and its controls reach the sound manager.
#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "engine/sound_debug_panel.hpp"

#include <gtest/gtest.h>
#include <imgui.h>

namespace {

std::string logged;

// Draws one frame of the panel and returns the texts it showed (ImGui's log goes to the
// "clipboard", which we catch).
std::string drawPanelFrame() {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(1280, 800);
    io.DeltaTime = 1.0f / 60.0f;
    io.SetClipboardTextFn = [](void*, const char* text) { logged = text; };
    ImGui::NewFrame();
    ImGui::SetNextWindowSize(ImVec2(600, 700));
    ImGui::Begin("Sound");
    ImGui::LogToClipboard();
    DrawSoundPanel();
    ImGui::LogFinish();
    ImGui::End();
    ImGui::Render();
    return logged;
}

} // namespace

TEST(SoundPanel, ListsEveryEventOfTheLoadedBanks) {
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;
    ImGui::GetIO().Fonts->Build();

    EXPECT_NE(drawPanelFrame().find("not initialised"), std::string::npos);

    SoundManager& sound = SoundManager::instance();
    testing::internal::CaptureStdout();
    sound.init();
    sound.loadBank(std::string(kSfxBankFile));
    sound.loadBank(std::string(kBgmBankFile));
    std::string shown = drawPanelFrame();
    for (const SoundEventInfo& event : kSoundEvents) {
        EXPECT_NE(shown.find(std::string(event.path)), std::string::npos) << event.path << "\n" << shown;
    }
    EXPECT_NE(shown.find("banks 4"), std::string::npos) << shown;

    sound.playEvent(std::string(kEventMenuMusic), false);
    sound.setMuted(true);
    sound.setPaused(true);
    shown = drawPanelFrame();
    EXPECT_NE(shown.find("voices 1"), std::string::npos) << shown;
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("SOUND MANAGER ERROR"), std::string::npos);

    sound.shutdown();
    ImGui::DestroyContext();
}
