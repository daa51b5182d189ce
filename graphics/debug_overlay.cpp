#include "graphics/debug_overlay.hpp"

#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"

#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <algorithm>
#include <cfloat>

DebugOverlay& DebugOverlay::instance() {
    static auto* overlay = new DebugOverlay();
    return *overlay;
}

void DebugOverlay::init(sf::Window& window) {
    if (ready) {
        return;
    }
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // the game writes no files
    io.LogFilename = nullptr;
    io.KeyMap[ImGuiKey_Tab] = sf::Keyboard::Tab;
    io.KeyMap[ImGuiKey_LeftArrow] = sf::Keyboard::Left;
    io.KeyMap[ImGuiKey_RightArrow] = sf::Keyboard::Right;
    io.KeyMap[ImGuiKey_UpArrow] = sf::Keyboard::Up;
    io.KeyMap[ImGuiKey_DownArrow] = sf::Keyboard::Down;
    io.KeyMap[ImGuiKey_PageUp] = sf::Keyboard::PageUp;
    io.KeyMap[ImGuiKey_PageDown] = sf::Keyboard::PageDown;
    io.KeyMap[ImGuiKey_Home] = sf::Keyboard::Home;
    io.KeyMap[ImGuiKey_End] = sf::Keyboard::End;
    io.KeyMap[ImGuiKey_Insert] = sf::Keyboard::Insert;
    io.KeyMap[ImGuiKey_Delete] = sf::Keyboard::Delete;
    io.KeyMap[ImGuiKey_Backspace] = sf::Keyboard::BackSpace;
    io.KeyMap[ImGuiKey_Space] = sf::Keyboard::Space;
    io.KeyMap[ImGuiKey_Enter] = sf::Keyboard::Enter;
    io.KeyMap[ImGuiKey_Escape] = sf::Keyboard::Escape;
    io.KeyMap[ImGuiKey_A] = sf::Keyboard::A;
    io.KeyMap[ImGuiKey_C] = sf::Keyboard::C;
    io.KeyMap[ImGuiKey_V] = sf::Keyboard::V;
    io.KeyMap[ImGuiKey_X] = sf::Keyboard::X;
    io.KeyMap[ImGuiKey_Y] = sf::Keyboard::Y;
    io.KeyMap[ImGuiKey_Z] = sf::Keyboard::Z;
    io.DisplaySize = ImVec2(static_cast<float>(window.getSize().x), static_cast<float>(window.getSize().y));
    ImGui_ImplOpenGL3_Init("#version 330");
    ready = true;
}

void DebugOverlay::recreateDeviceObjects() {
    if (!ready) {
        return;
    }
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplOpenGL3_Init("#version 330");
    // The back end would otherwise rebuild its program and buffers only at its next frame start,
    // and a window re-created in the middle of a frame still renders this frame's overlay.
    ImGui_ImplOpenGL3_CreateDeviceObjects();
}

void DebugOverlay::processEvent(const sf::Event& event) {
    // Toggle on the press only: the system's key repeat sends more presses while F3 is held.
    if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::F3 && !toggleHeld) {
        visible = !visible;
        toggleHeld = true;
    } else if (event.type == sf::Event::KeyReleased && event.key.code == sf::Keyboard::F3) {
        toggleHeld = false;
    }
    if (!ready) {
        return;
    }
    ImGuiIO& io = ImGui::GetIO();
    switch (event.type) {
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
        if (event.key.code >= 0 && event.key.code < sf::Keyboard::KeyCount) {
            io.KeysDown[event.key.code] = event.type == sf::Event::KeyPressed;
        }
        // The event's own modifier flags are the state from before the key went down; the keys
        // themselves say what is held now.
        io.KeyCtrl = io.KeysDown[sf::Keyboard::LControl] || io.KeysDown[sf::Keyboard::RControl];
        io.KeyShift = io.KeysDown[sf::Keyboard::LShift] || io.KeysDown[sf::Keyboard::RShift];
        io.KeyAlt = io.KeysDown[sf::Keyboard::LAlt] || io.KeysDown[sf::Keyboard::RAlt];
        io.KeySuper = io.KeysDown[sf::Keyboard::LSystem] || io.KeysDown[sf::Keyboard::RSystem];
        break;
    case sf::Event::TextEntered:
        if (event.text.unicode >= ' ' && event.text.unicode != 127) {
            io.AddInputCharacter(event.text.unicode);
        }
        break;
    case sf::Event::MouseMoved:
        io.MousePos = ImVec2(static_cast<float>(event.mouseMove.x), static_cast<float>(event.mouseMove.y));
        break;
    case sf::Event::MouseLeft:
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX); // ImGui's "no mouse"
        break;
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        if (event.mouseButton.button >= 0 && event.mouseButton.button < 5) {
            io.MouseDown[event.mouseButton.button] = event.type == sf::Event::MouseButtonPressed;
        }
        break;
    case sf::Event::MouseWheelScrolled:
        if (event.mouseWheelScroll.wheel == sf::Mouse::VerticalWheel) {
            io.MouseWheel += event.mouseWheelScroll.delta;
        } else {
            io.MouseWheelH += event.mouseWheelScroll.delta;
        }
        break;
    case sf::Event::LostFocus:
        std::fill(std::begin(io.KeysDown), std::end(io.KeysDown), false);
        io.KeyCtrl = io.KeyShift = io.KeyAlt = io.KeySuper = false;
        break;
    default:
        break;
    }
}

void DebugOverlay::beginFrame(const sf::Window& window, float dt) {
    frameTimes[frameCursor] = dt * 1000.0f;
    frameCursor = (frameCursor + 1) % frameTimes.size();
    if (!ready) {
        return;
    }
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(window.getSize().x), static_cast<float>(window.getSize().y));
    // ImGui refuses a zero step, and the millisecond clock gives one between quick frames.
    io.DeltaTime = std::max(dt, 0.0005f);
    io.MouseDrawCursor = visible; // the game hides the system cursor
    ImGui_ImplOpenGL3_NewFrame();
    ImGui::NewFrame();
    if (visible) {
        drawPanels();
    }
    for (auto& hook : frameHooks) {
        hook();
    }
}

void DebugOverlay::drawPanels() {
    ImGui::SetNextWindowPos(ImVec2(10, 10), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowBgAlpha(0.8f);
    ImGui::Begin("Debug (F3)", nullptr, ImGuiWindowFlags_AlwaysAutoResize);
    const FrameTimer& timer = FrameTimer::instance();
    ImGui::Text("fps %.1f   dt %.1f ms   time scale %.2f", timer.fps, timer.dt * 1000.0f, timer.timeScale);
    ImGui::PlotLines("frame ms", frameTimes.data(), static_cast<int>(frameTimes.size()),
                     static_cast<int>(frameCursor), nullptr, 0.0f, 50.0f, ImVec2(240, 60));
    ImGui::Text("objects %zu   logic %zu", GameObjectList::instance().objects().size(),
                LogicRegistry().size());
    for (Panel& panel : panels) {
        if (ImGui::CollapsingHeader(panel.title.c_str())) {
            panel.draw();
        }
    }
    ImGui::End();
}

void DebugOverlay::render() {
    if (!ready) {
        return;
    }
    ImGui::Render();
    ImDrawData* data = ImGui::GetDrawData();
    if (data != nullptr && data->CmdListsCount > 0) {
        ImGui_ImplOpenGL3_RenderDrawData(data);
    }
}

void DebugOverlay::shutdown() {
    if (!ready) {
        return;
    }
    ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext();
    ready = false;
}

void DebugOverlay::addPanel(const std::string& title, std::function<void()> draw) {
    panels.push_back({title, std::move(draw)});
}

void DebugOverlay::addTextPanel(const std::string& title, std::function<std::vector<std::string>()> lines) {
    addPanel(title, [lines = std::move(lines)] {
        for (const std::string& line : lines()) {
            ImGui::TextUnformatted(line.c_str());
        }
    });
}

void DebugOverlay::addFrameHook(std::function<void()> hook) {
    frameHooks.push_back(std::move(hook));
}
