#include "engine/engine.hpp"

#include "audio/sound_manager.hpp"
#include "engine/input_manager.hpp"
#include "engine/physics_debug_view.hpp"
#include "engine/sound_debug_panel.hpp"
#include "graphics/debug_overlay.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/particle_pool.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"
#include "objects/world_update.hpp"
#include "physics/physics_step.hpp"
#include "platform/clock.hpp"
#include "platform/display.hpp"
#include "platform/memory_tuning.hpp"
#include "platform/quit_signals.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

namespace {

constexpr float kPictureAspect = 1.6f;
constexpr unsigned kWindowedWidth = 1280;
constexpr unsigned kWindowedHeight = 800;

bool knownStateId(uint32_t id) {
    return id == GameStateId::Splash || id == GameStateId::MainMenu || id == GameStateId::Play ||
           id == GameStateId::Editor || id == GameStateId::Restart || id == GameStateId::Quit ||
           id == GameStateId::OnlineWaiting;
}

} // namespace

Viewport computeViewport(uint32_t windowWidth, uint32_t windowHeight) {
    Viewport v;
    int64_t w = windowWidth;
    int64_t h = windowHeight;
    int64_t hSafe = h == 0 ? 1 : h;
    if (static_cast<float>(w) / static_cast<float>(h) > kPictureAspect) {
        v.width = static_cast<int32_t>(static_cast<float>(hSafe) * kPictureAspect);
        v.height = static_cast<int32_t>(hSafe);
        v.x = static_cast<int32_t>((w - v.width) / 2);
    } else {
        v.width = static_cast<int32_t>(w);
        v.height = static_cast<int32_t>(static_cast<float>(w) / kPictureAspect);
        v.y = static_cast<int32_t>((h - v.height) / 2);
    }
    return v;
}

int consumeFixedSteps(float& accumulator, float scaledDt, float fixedStep, float maxAccumulated,
                      const std::function<void(float)>& step) {
    accumulator += scaledDt;
    if (accumulator > maxAccumulated) {
        accumulator = maxAccumulated;
    }
    int steps = 0;
    while (accumulator > fixedStep) {
        step(fixedStep);
        accumulator -= fixedStep;
        ++steps;
    }
    return steps;
}

Engine& Engine::instance() {
    static auto* engine = new Engine();
    return *engine;
}

void Engine::run() {
    initialise();
    if (states->next == GameStateId::Quit) {
        shutdown();
        return;
    }
    while (frame()) {
        if (headless) {
            // Nothing is drawn, so nothing holds the loop back: without a rest it would take a
            // whole core to learn, a thousand times a frame, that the next frame is not due yet.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

void Engine::initialise() {
    KeepFreedMemoryForReuse();
    if (!headless) {
        ResourceManager::instance().loadTexture("icon", "../Resources/Texture/Icon/GameIcon.png");
    }
    fullscreen = !startWindowed;
    createWindow(fullscreen);
    record = GameStateRecord{};
    record.next = firstState;
    states = &record;
    GameObjectList::instance();
    WorldRoot().transform.updateWorld();
    CreatePhysicsWorld();
    if (canDraw()) {
        for (const ShaderFiles& shader : kGameShaders) {
            ResourceManager::instance().loadShader(shader.name, shader.vertex, shader.fragment);
        }
    }
    FrameTimer::instance().reset();
    accumulator = 0.0f;
    seedRandom();
    SoundManager::instance().init();
    SoundManager::instance().loadBank("SFX_Bank.bank");
    SoundManager::instance().loadBank("BGM_Bank.bank");
    if (canDraw()) {
        DebugOverlay::instance().init(*window);
        // F4: collider outlines and contact normals over the running state's picture.
        AddPhysicsDebugView([this] {
            Viewport v = computeViewport(width, height);
            const Camera* camera = states->state != nullptr ? &states->state->camera : nullptr;
            return PhysicsViewFrame{InputManager::instance().keyPressed(sf::Keyboard::F4),
                                    camera,
                                    {static_cast<float>(v.x), static_cast<float>(v.y),
                                     static_cast<float>(v.width), static_cast<float>(v.height),
                                     static_cast<float>(height)}};
        });
        RegisterSoundDebugPanel();
    }
}

void Engine::createWindow(bool fullscreenWindow) {
    fullscreen = fullscreenWindow;
    if (headless) {
        width = kWindowedWidth;
        height = kWindowedHeight;
        viewportX = viewportY = 0;
        viewportAspect = viewportAspectInv = 0.0f;
        return;
    }
    if (!window) {
        window = std::make_unique<sf::Window>();
    }
    sf::ContextSettings settings(24, 8, 0);
    if (fullscreenWindow) {
        const auto& modes = sf::VideoMode::getFullscreenModes();
        sf::VideoMode mode = modes.empty() ? sf::VideoMode::getDesktopMode() : modes.front();
        window->create(mode, kWindowTitle, sf::Style::Fullscreen, settings);
        width = mode.width;
        height = mode.height;
    } else {
        window->create(sf::VideoMode(kWindowedWidth, kWindowedHeight, 32), kWindowTitle,
                       sf::Style::Titlebar | sf::Style::Close, settings);
        width = kWindowedWidth;
        height = kWindowedHeight;
    }
    // The window holds its own connection to the X server now, so the start-up check's can go.
    ReleaseDisplayCheck();
    viewportX = viewportY = 0;
    viewportAspect = viewportAspectInv = 0.0f;
    window->setActive(true);
    window->setMouseCursorVisible(false);
    glewExperimental = GL_TRUE;
    GLenum loader = glewInit();
    openGlReady = loader == GLEW_OK && GLEW_VERSION_3_3;
    if (!openGlReady) {
        // Every draw needs OpenGL 3.3: say so once and keep the window, its input and the sound.
        std::cout << "OpenGL 3.3 is not available ("
                  << (loader == GLEW_OK ? "the driver offers an older version"
                                        : reinterpret_cast<const char*>(glewGetErrorString(loader)))
                  << "); nothing will be drawn" << std::endl;
        updateViewport();
        return;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    updateViewport();
    GraphicsManager::instance().Initialize();
    DebugOverlay::instance().recreateDeviceObjects();
    setWindowIcon();
}

void Engine::setWindowIcon() {
    sf::Texture* icon = ResourceManager::instance().getTexture("icon");
    if (icon == nullptr) {
        return;
    }
    sf::Image image = icon->copyToImage();
    window->setIcon(image.getSize().x, image.getSize().y, image.getPixelsPtr());
}

void Engine::updateViewport() {
    Viewport v = computeViewport(width, height);
    viewportX = v.x;
    viewportY = v.y;
    float w = static_cast<float>(std::max(v.width, 1));
    float h = static_cast<float>(std::max(v.height, 1));
    viewportAspect = w / h;
    viewportAspectInv = h / w;
    GraphicsManager::instance().screen = {width, height, v.x, v.y, v.width, v.height};
    if (canDraw()) {
        glViewport(v.x, v.y, v.width, v.height);
    }
}

GameState* Engine::makeState(uint32_t id) {
    return stateFactory ? stateFactory(id) : nullptr;
}

void Engine::switchIn() {
    if (states->current == states->next) {
        return;
    }
    if (states->state != nullptr && states->next != GameStateId::Restart) {
        // Asked for between frames, after the last frame's end let the old state be: it goes
        // now, so two states never live at once.
        switchOut();
        if (states->current == states->next) {
            return;
        }
    }
    InputManager::instance().resetEdges();
    FrameTimer& timer = FrameTimer::instance();
    timer.lastTick = GetTickCount();
    if (states->next == GameStateId::Restart) {
        states->next = states->current;
    } else {
        states->state = makeState(states->next);
        states->current = states->next;
    }
    if (states->state != nullptr) {
        states->state->Load();
    }
    ResourceManager::instance().tellMissingPictures();
    uint32_t elapsed = GetTickCount() - timer.lastTick;
    std::cout << "Load Time: = " << static_cast<float>(elapsed) / 1000.0f << std::endl;
    timer.reset();
    if (freshStepsOnSwitch) {
        accumulator = 0.0f;
    }
    updateRootTransforms();
}

void Engine::switchOut() {
    if (states->current == states->next) {
        return;
    }
    if (!knownStateId(states->next)) {
        // No screen has that id; stay where we are rather than run a frame with no state.
        std::cout << "Ignoring a request for unknown game state " << states->next << std::endl;
        states->next = states->current;
        return;
    }
    if (states->state != nullptr) {
        states->state->Exit();
    }
    if (states->next != GameStateId::Restart) {
        delete states->state;
        states->state = nullptr;
    }
}

void Engine::updateRootTransforms() {
    UpdateWorldTransforms();
}

void Engine::render() {
    if (!canDraw()) {
        if (window) {
            window->display();
        }
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    updateViewport();
    if (states->state != nullptr) {
        states->state->Render();
    }
    glUseProgram(0);
    DebugOverlay::instance().render();
    window->display();
}

bool Engine::frame() {
    if (shutDown) {
        return false;
    }
    switchIn();
    FrameTimer& timer = FrameTimer::instance();
    std::optional<uint32_t> given = frameMilliseconds ? frameMilliseconds() : std::nullopt;
    if (given) {
        timer.tickBy(*given);
    } else {
        timer.tick();
    }
    InputManager::instance().update(window.get());
    if (canDraw()) {
        DebugOverlay::instance().beginFrame(*window, timer.dt);
    }
    if (pacer != nullptr) {
        pacedFrames(*pacer);
    } else {
        simulate();
    }
    render();
    SoundManager::instance().update();
    InputManager::instance().endFrame();
    if (QuitSignalled()) {
        states->next = GameStateId::Quit; // as the close button would, whatever the state asked for
    }
    switchOut();
    if (states->next == GameStateId::Quit) {
        shutdown();
        return false;
    }
    return true;
}

void Engine::simulate() {
    FrameTimer& timer = FrameTimer::instance();
    if (states->state != nullptr) {
        states->state->Update();
    }
    UpdateLogics();
    updateRootTransforms();
    ParticlePool::instance().advance(timer.scaledDt());
    // Detection places shapes from world transforms; after the first step of a frame only the
    // bodies have moved, so their transforms are brought up to date before each further step.
    // Several steps in one frame then give what the same steps give one per frame.
    int stepIndex = 0;
    lastFrameSteps =
        consumeFixedSteps(accumulator, timer.scaledDt(), fixedStep, maxAccumulated, [&](float dt) {
            if (stepIndex++ > 0) {
                RefreshBodyTransforms();
            }
            PhysicsStep(dt);
        });
}

void Engine::pacedFrames(FramePacer& frames) {
    FrameTimer& timer = FrameTimer::instance();
    frames.beginFrame();
    if (states->state != nullptr) {
        states->state->LocalUpdate();
    }
    const float renderedDt = timer.dt;
    int steps = 0;
    // A state switch asked for ends the simulation of this rendered frame: the frames after it
    // belong to no state.
    while (states->next == states->current && frames.frameReady()) {
        timer.dt = frames.frameSeconds();
        simulate();
        steps += lastFrameSteps;
        frames.frameDone();
    }
    timer.dt = renderedDt;
    lastFrameSteps = steps;
    frames.endFrame();
}

void Engine::shutdown() {
    if (shutDown) {
        return;
    }
    shutDown = true;
    ResourceManager& resources = ResourceManager::instance();
    if (canDraw()) {
        for (const ShaderFiles& shader : kGameShaders) {
            resources.removeShader(shader.name);
        }
    }
    resources.clear();
    GraphicsManager::instance().Shutdown();
    DebugOverlay::instance().shutdown();
    DestroyRemainingColliders();
    if (window && window->isOpen()) {
        window->close();
    }
    SoundManager::instance().shutdown();
}
