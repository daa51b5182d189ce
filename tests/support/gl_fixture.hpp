#pragma once

// Runs the real engine with its window under Xvfb (shaders, graphics manager, debug overlay),
// driven frame by frame with a manual clock, and reads the window's pixels back. Each test
// builds its scene in a blank game state, or asks for the game's own states.

#include "engine/engine.hpp"
#include "platform/clock.hpp"
#include "platform/gamepad.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sf {
class Texture;
}
class GameObject;
class ShaderLogic;

// A game state with nothing of its own, for tests that build their scene by hand.
class SceneState : public GameState {
  public:
    void Load() override {}
    void Update() override {}
    void Exit() override { DestroyStateObjects(); }
};

class GlFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The state built for a requested id; a SceneState unless a test sets this before SetUp.
    std::function<GameState*(uint32_t)> stateFactory;
    // Set before SetUp to run the game's own states, as the executable does.
    bool gameStates = false;
    // Runs after the window and the programs exist, before the first frame switches a state in.
    std::function<void()> beforeFirstFrame;

    // Whole engine frames, each after the clock moves on by the given milliseconds.
    bool runFrames(int count, uint32_t milliseconds = 16);
    // Resizes the window as a player would and runs frames until the engine has taken the new size.
    void resizeWindow(unsigned newWidth, unsigned newHeight);
    // Lays the object tree out, draws the running state the way a frame does and reads the
    // window back into pixels. Nothing is presented.
    void drawFrame();
    // A window pixel of the last drawFrame, counted from the top-left corner.
    sf::Color pixel(int x, int y) const;
    sf::Color pixel(sf::Vector2i at) const { return pixel(at.x, at.y); }
    // Window pixel of a point of the picture given in clip coordinates (-1..1, y up).
    sf::Vector2i pictureToWindow(float clipX, float clipY) const;
    // The pixel of a point of the picture, and of a world point seen by the default camera (48 x 30).
    sf::Color atPicture(float clipX, float clipY) const { return pixel(pictureToWindow(clipX, clipY)); }
    sf::Color atWorld(float x, float y) const { return atPicture(x / 24.0f, y / 15.0f); }
    // The bounding box (left, top, right, bottom; inclusive) of the pixels matching a test,
    // looking from a window row downwards; all -1 when none match.
    std::array<int, 4> boundsOf(const std::function<bool(sf::Color)>& match, int fromRow = 0) const;

    // Registers a picture with the resource manager through its normal file loader.
    sf::Texture* addTexture(const std::string& name, const sf::Image& image);
    static sf::Image solidImage(sf::Color color, unsigned width = 8, unsigned height = 8);
    // Registers a shader program of one of the game's vertex programs and a fragment source.
    void addProgram(const std::string& name, const std::string& vertexFile,
                    const std::string& fragmentSource);

    // A root object at a position with a scale.
    static GameObject* makeObject(const std::string& name, float x, float y, float z, float scaleX,
                                  float scaleY);
    // A world sprite of a registered texture with the "Sprite" program.
    static GameObject* makeSprite(const std::string& texture, float x, float y, float z, float scaleX,
                                  float scaleY);
    // An interface image of a registered texture with the "Sprite-UI" program, in interface units.
    static GameObject* makeImage(const std::string& texture, float x, float y, float z, float scaleX,
                                 float scaleY);
    // The shock-wave composite over the whole picture, as a match has it, and the logic of its rings.
    ShaderLogic* makeShockWave();
    // How many bytes two read-back pictures differ in (all of them when their sizes differ).
    static size_t differingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

    Engine& engine() { return Engine::instance(); }
    GameState* state() { return engine().states->state; }
    std::string tempPath(const std::string& file) const;

    ManualClock clock;
    TestGamepadBackend pads;
    unsigned width = 0;
    unsigned height = 0;
    std::vector<uint8_t> pixels; // RGB rows, bottom row first as OpenGL reads them
    std::string tempDir;
};

bool sameColor(sf::Color a, sf::Color b, int tolerance = 2);
::testing::AssertionResult colorNear(sf::Color actual, sf::Color expected, int tolerance = 2);
std::string describe(sf::Color color);
