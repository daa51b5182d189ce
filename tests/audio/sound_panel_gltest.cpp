#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "graphics/debug_overlay.hpp"
#include "graphics/sound_debug_panel.hpp"
#include "tests/support/display.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <imgui.h>

TEST(SoundPanel, ListsEveryEventAndDrawsWithoutTrouble) {
    GRUMBO_REQUIRE_DISPLAY();
    sf::Window window(sf::VideoMode(640, 400), "sound panel", sf::Style::Titlebar,
                      sf::ContextSettings(24, 8, 0));
    window.setActive(true);
    glewExperimental = GL_TRUE;
    ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
    DebugOverlay& overlay = DebugOverlay::instance();
    overlay.init(window);
    SoundManager& sound = SoundManager::instance();
    testing::internal::CaptureStdout();
    sound.init();
    sound.loadBank(std::string(kSfxBankFile));
    sound.loadBank(std::string(kBgmBankFile));
    EXPECT_EQ(sound.studioSystem->eventPaths().size(), kSoundEvents.size()) << "the panel lists every event";
    for (int frame = 0; frame < 3; ++frame) {
        overlay.beginFrame(window, 0.016f);
        ImGui::Begin("Sound");
        DrawSoundPanel();
        ImGui::End();
        overlay.render();
        window.display();
    }
    sound.setMuted(true);
    overlay.beginFrame(window, 0.016f);
    ImGui::Begin("Sound");
    DrawSoundPanel();
    ImGui::End();
    overlay.render();
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("SOUND MANAGER ERROR"), std::string::npos);
    overlay.shutdown();
    sound.shutdown();
}
