#pragma once

#include "engine/game_state.hpp"
#include "physics/physics_step.hpp"

#include <SFML/Window/Window.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The window's title; a screen may add to it (the map editor names its map).
constexpr const char* kWindowTitle = "Grumbo!";

// The letterboxed 16:10 picture inside a window of any size.
struct Viewport {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 1;
    int32_t height = 1;
};
Viewport computeViewport(uint32_t windowWidth, uint32_t windowHeight);

// Adds scaled frame time to the accumulator, clamps it, and runs one step per whole fixed
// step held (strictly more than one step's worth). Returns the number of steps run.
int consumeFixedSteps(float& accumulator, float scaledDt, float fixedStep, float maxAccumulated,
                      const std::function<void(float)>& step);

// Runs the simulation in fixed frames of its own, apart from rendering: an online match, where
// every machine must simulate the same frames, each with the same game time, whatever it draws.
// Once per rendered frame the engine reads the input, lets the pacer begin, runs the state's
// LocalUpdate, then simulates whole frames (state update, behaviour, transforms, particles,
// fixed physics steps) with exactly frameSeconds of game time each for as long as the pacer has
// one ready, and renders the latest. The real frame time never reaches such a simulation.
class FramePacer {
  public:
    virtual ~FramePacer() = default;
    // After the input of a rendered frame, before the state's LocalUpdate.
    virtual void beginFrame() = 0;
    // Before each fixed frame: whether one is due and may be simulated now.
    virtual bool frameReady() = 0;
    // After each fixed frame.
    virtual void frameDone() = 0;
    // After the last fixed frame of the rendered frame, before it is drawn.
    virtual void endFrame() = 0;
    virtual float frameSeconds() const = 0;
};

// Owns the window, the game-state record and the fixed-step accumulator, and runs the frame
// loop. One frame is callable on its own so tests can drive the real engine.
class Engine {
  public:
    static Engine& instance();

    // Initialise, loop until Quit is requested, shut down.
    void run();
    void initialise();
    // One whole frame; false once the frame that ended the program has shut it down.
    bool frame();
    void shutdown();

    // (Re)creates the window: fullscreen on the best mode, or 1280 x 800 with a title bar.
    void createWindow(bool fullscreenWindow);
    // Recomputes the letterboxed viewport for the current window size and applies it.
    void updateViewport();

    uint32_t width = 0;
    uint32_t height = 0;
    int32_t viewportX = 0;
    int32_t viewportY = 0;
    float viewportAspect = 0.0f;
    float viewportAspectInv = 0.0f;
    bool fullscreen = false;
    GameStateRecord record;
    GameStateRecord* states = &record;
    // Made at the first createWindow: an SFML window needs an X display from its construction on.
    std::unique_ptr<sf::Window> window;
    // The state the game starts in: the splash, or the match of a quick start.
    uint32_t firstState = GameStateId::Splash;
    // Start in a 1280 x 800 window rather than fullscreen (an option of the command line).
    bool startWindowed = false;
    // A recorded match played back gives each frame's length instead of the clock; and a state
    // switch then starts the fixed steps afresh, as the recording did.
    std::function<std::optional<uint32_t>()> frameMilliseconds;
    bool freshStepsOnSwitch = false;
    // Set while the simulation runs in fixed frames apart from rendering (not owned).
    FramePacer* pacer = nullptr;
    float accumulator = 0.0f;
    float fixedStep = kFixedStep;
    float maxAccumulated = 0.2f;

    // Headless runs everything but the window, OpenGL, the overlay and rendering: for tests and
    // benchmarks, and for an online machine of computers started with --no-window.
    bool headless = false;
    // Whether the window's context offers the OpenGL 3.3 every draw needs.
    bool openGlReady = false;
    bool canDraw() const { return !headless && openGlReady; }
    // Builds the state object for an id. The program hands it the game's own states; the engine
    // knows none itself, so it sits below every screen of the game.
    std::function<GameState*(uint32_t)> stateFactory;
    // Physics steps run in the last frame.
    int lastFrameSteps = 0;
    bool shutDown = false;

  private:
    Engine() = default;
    void switchIn();
    void switchOut();
    GameState* makeState(uint32_t id);
    void updateRootTransforms();
    // One frame of the simulation: the state's update, behaviour, transforms, particles and the
    // fixed physics steps its game time allows.
    void simulate();
    void pacedFrames(FramePacer& frames);
    void render();
    void setWindowIcon();
};
