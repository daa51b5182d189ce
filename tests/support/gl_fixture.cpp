#include "tests/support/gl_fixture.hpp"

#include "frontend/game_states.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/display.hpp"

#include <GL/glew.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

// An X server resets itself when its last client leaves, and refuses connections while it does.
// Test processes come and go one after another, so the next one can knock during a reset; SFML
// then aborts. Every display the test executable opens goes through here and waits it out.
extern "C" Display* XOpenDisplay(const char* name) {
    using OpenDisplay = Display* (*)(const char*);
    static auto real = reinterpret_cast<OpenDisplay>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (Display* display = real(name)) {
            return display;
        }
        usleep(25000);
    }
    return nullptr;
}

// The leak checker follows the thread-local blocks of dynamically loaded libraries (Mesa's driver)
// through records this C library version can leave stale, and then crashes at exit now and then.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}

void GlFixture::SetUp() {
    GRUMBO_REQUIRE_DISPLAY();
    // Mesa's software renderer draws on worker threads and stores compiled shaders from another;
    // either can still be busy when the leak checker stops the world at exit, which crashes the
    // checker now and then. One thread is plenty for test pictures, and tests need no cache.
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    setenv("MESA_GLSL_CACHE_DISABLE", "true", 0);
    tempDir = (std::filesystem::temp_directory_path() / ("grumbo-gl-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(tempDir);
    if (!std::ifstream(kFontPath).good()) { // the system's copy of the same family
        GraphicsManager::instance().fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    }
    setFrameClock(&clock);
    setGamepadBackend(&pads);
    Engine& e = engine();
    if (gameStates) {
        e.stateFactory = MakeGameState;
    } else {
        e.stateFactory = [this](uint32_t id) -> GameState* {
            return stateFactory ? stateFactory(id) : new SceneState();
        };
    }
    e.initialise();
    if (beforeFirstFrame) {
        beforeFirstFrame();
    }
    runFrames(1);
}

void GlFixture::TearDown() {
    if (!haveDisplay()) {
        return;
    }
    engine().shutdown();
    setFrameClock(nullptr);
    setGamepadBackend(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(tempDir, ignored);
}

bool GlFixture::runFrames(int count, uint32_t milliseconds) {
    for (int i = 0; i < count; ++i) {
        clock.advance(milliseconds);
        if (!engine().frame()) {
            return false;
        }
    }
    return true;
}

void GlFixture::resizeWindow(unsigned newWidth, unsigned newHeight) {
    engine().window->setSize({newWidth, newHeight});
    for (int frames = 0; frames < 50 && (engine().width != newWidth || engine().height != newHeight);
         ++frames) {
        runFrames(1);
    }
    ASSERT_EQ(engine().width, newWidth);
    ASSERT_EQ(engine().height, newHeight);
}

void GlFixture::drawFrame() {
    Engine& e = engine();
    WorldRoot().transform.updateWorld();
    glClear(GL_COLOR_BUFFER_BIT);
    e.updateViewport();
    if (state() != nullptr) {
        state()->Render();
    }
    glFinish();
    sf::Vector2u size = e.window->getSize();
    width = size.x;
    height = size.y;
    pixels.assign(static_cast<size_t>(width) * height * 3, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
}

sf::Color GlFixture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= static_cast<int>(width) || y >= static_cast<int>(height)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the window";
        return sf::Color::Transparent;
    }
    size_t row = height - 1 - static_cast<size_t>(y);
    size_t at = (row * width + static_cast<size_t>(x)) * 3;
    return sf::Color(pixels[at], pixels[at + 1], pixels[at + 2]);
}

sf::Vector2i GlFixture::pictureToWindow(float clipX, float clipY) const {
    const ScreenLayout& s = GraphicsManager::instance().screen;
    float fromLeft =
        static_cast<float>(s.viewportX) + (clipX + 1.0f) * 0.5f * static_cast<float>(s.viewportWidth);
    float fromBottom =
        static_cast<float>(s.viewportY) + (clipY + 1.0f) * 0.5f * static_cast<float>(s.viewportHeight);
    return {static_cast<int>(fromLeft), static_cast<int>(height) - 1 - static_cast<int>(fromBottom)};
}

std::array<int, 4> GlFixture::boundsOf(const std::function<bool(sf::Color)>& match, int fromRow) const {
    std::array<int, 4> box{-1, -1, -1, -1};
    for (int y = std::max(fromRow, 0); y < static_cast<int>(height); ++y) {
        for (int x = 0; x < static_cast<int>(width); ++x) {
            if (match(pixel(x, y))) { // rows go downwards: the first match's row is the top
                box = {box[0] < 0 ? x : std::min(box[0], x), box[1] < 0 ? y : box[1], std::max(box[2], x), y};
            }
        }
    }
    return box;
}

std::string GlFixture::tempPath(const std::string& file) const {
    return tempDir + "/" + file;
}

sf::Texture* GlFixture::addTexture(const std::string& name, const sf::Image& image) {
    std::string path = tempPath(name + ".png");
    EXPECT_TRUE(image.saveToFile(path));
    sf::Texture* texture = ResourceManager::instance().loadTexture(name, path);
    EXPECT_NE(texture, nullptr) << name;
    return texture;
}

sf::Image GlFixture::solidImage(sf::Color color, unsigned imageWidth, unsigned imageHeight) {
    sf::Image image;
    image.create(imageWidth, imageHeight, color);
    return image;
}

void GlFixture::addProgram(const std::string& name, const std::string& vertexFile,
                           const std::string& fragmentSource) {
    std::ofstream(tempPath(name + ".fs")) << fragmentSource;
    ResourceManager::instance().loadShader(name, vertexFile, tempPath(name + ".fs"));
}

GameObject* GlFixture::makeObject(const std::string& name, float x, float y, float z, float scaleX,
                                  float scaleY) {
    GameObject* object = GameObjectList::instance().create(name);
    object->transform.setPosition(x, y, z);
    object->transform.setScale(scaleX, scaleY, 1.0f);
    return object;
}

GameObject* GlFixture::makeSprite(const std::string& texture, float x, float y, float z, float scaleX,
                                  float scaleY) {
    GameObject* object = makeObject(texture + "Sprite", x, y, z, scaleX, scaleY);
    SpriteRenderer* sprite = object->addComponent<SpriteRenderer>();
    sprite->shader = ResourceManager::instance().getShader("Sprite");
    sprite->setTexture(texture);
    return object;
}

GameObject* GlFixture::makeImage(const std::string& texture, float x, float y, float z, float scaleX,
                                 float scaleY) {
    GameObject* object = makeObject(texture + "Image", x, y, z, scaleX, scaleY);
    object->addComponent<GameUIRenderer>()->set(ResourceManager::instance().getShader("Sprite-UI"),
                                                ResourceManager::instance().getTexture(texture), {1, 1, 1, 1},
                                                1, 0, 1);
    return object;
}

ShaderLogic* GlFixture::makeShockWave() {
    GameObject* object = makeObject("FrameBuffer", 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    object->addComponent<FrameBufferRenderer>()->set(ResourceManager::instance().getShader("Shockwave"),
                                                     nullptr, {1, 1, 1, 1});
    return object->attach(new ShaderLogic(&state()->camera, object, ShaderMode::Waves));
}

size_t GlFixture::differingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t n = a.size() == b.size() ? 0 : a.size() + b.size();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        n += a[i] != b[i] ? 1 : 0;
    }
    return n;
}

bool sameColor(sf::Color a, sf::Color b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

std::string describe(sf::Color color) {
    std::ostringstream text;
    text << "(" << int(color.r) << ", " << int(color.g) << ", " << int(color.b) << ")";
    return text.str();
}

::testing::AssertionResult colorNear(sf::Color actual, sf::Color expected, int tolerance) {
    if (sameColor(actual, expected, tolerance)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got " << describe(actual) << ", expected " << describe(expected);
}
