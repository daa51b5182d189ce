#pragma once

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <array>
#include <functional>
#include <string>
#include <vector>

// Developer overlay drawn with Dear ImGui through a small SFML binding of our own. The game
// shows nothing in it by default; F3 toggles a panel with the frame rate, a frame-time graph,
// object counts and whatever panels the subsystems add.
class DebugOverlay {
  public:
    static DebugOverlay& instance();

    void init(sf::Window& window);
    // After the window (and its OpenGL context) was re-created.
    void recreateDeviceObjects();
    void processEvent(const sf::Event& event);
    void beginFrame(const sf::Window& window, float dt);
    void render();
    void shutdown();

    // A section of the F3 panel, drawn with ImGui calls while the panel is open.
    void addPanel(const std::string& title, std::function<void()> draw);
    // A section of lines of text, asked for each time it is drawn (for callers that know no ImGui).
    void addTextPanel(const std::string& title, std::function<std::vector<std::string>()> lines);
    // Runs every frame while the overlay is up, panel or not (developer views that draw into
    // ImGui's background draw list and decide themselves when to show).
    void addFrameHook(std::function<void()> hook);

    bool initialised() const { return ready; }
    bool visible = false;

  private:
    void drawPanels();

    bool ready = false;
    bool toggleHeld = false;
    std::array<float, 120> frameTimes{};
    size_t frameCursor = 0;
    struct Panel {
        std::string title;
        std::function<void()> draw;
    };
    std::vector<Panel> panels;
    std::vector<std::function<void()>> frameHooks;
};
