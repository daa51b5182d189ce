// Textures by name: loading twice, removing, retrying; the game's programs, and broken shader
// files that must be reported without stopping the game.
#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <fstream>

namespace {

using ResourceManagerGl = GlFixture;

sf::Color firstPixel(const sf::Texture* texture) {
    return texture->copyToImage().getPixel(0, 0);
}

} // namespace

TEST_F(ResourceManagerGl, TexturesLoadOnceByNameGoAwayWhenRemovedAndAMissingFileIsTriedAgain) {
    ResourceManager& resources = ResourceManager::instance();
    const std::string redPath = tempPath("red.png");
    const std::string bluePath = tempPath("blue.png");
    ASSERT_TRUE(solidImage(sf::Color::Red).saveToFile(redPath));
    EXPECT_EQ(resources.loadTexture("Picture", bluePath), nullptr) << "not there yet";
    sf::Texture* first = resources.loadTexture("Picture", redPath);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(solidImage(sf::Color::Blue).saveToFile(bluePath));
    EXPECT_EQ(resources.loadTexture("Picture", bluePath), first); // the new path is ignored
    EXPECT_EQ(firstPixel(first), sf::Color::Red);
    EXPECT_EQ(resources.getTexture("picture"), nullptr); // names are case-sensitive

    resources.removeTexture("Picture");
    EXPECT_EQ(resources.getTexture("Picture"), nullptr);
    sf::Texture* again = resources.loadTexture("Picture", bluePath);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(firstPixel(again), sf::Color::Blue);
}

// A replacing picture of the same size goes into the texture already there (the renderer keeps
// its storage); one of another size gets a texture of its own, and one that does not load
// leaves the name empty.
TEST_F(ResourceManagerGl, APictureOfTheSameSizeIsWrittenIntoTheTextureItReplaces) {
    ResourceManager& resources = ResourceManager::instance();
    const std::string redPath = tempPath("red.png");
    const std::string bluePath = tempPath("blue.png");
    const std::string widePath = tempPath("wide.png");
    ASSERT_TRUE(solidImage(sf::Color::Red).saveToFile(redPath));
    ASSERT_TRUE(solidImage(sf::Color::Blue).saveToFile(bluePath));
    ASSERT_TRUE(solidImage(sf::Color::Green, 16, 8).saveToFile(widePath));

    sf::Texture* red = resources.replaceTexture("Picture", redPath); // nothing to replace yet
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(firstPixel(red), sf::Color::Red);
    // A mark a texture made anew would not carry.
    red->setRepeated(true);
    const uint64_t generation = resources.textureGeneration();
    sf::Texture* blue = resources.replaceTexture("Picture", bluePath);
    ASSERT_EQ(blue, resources.getTexture("Picture"));
    EXPECT_TRUE(blue->isRepeated()) << "the same size loads into the same texture";
    EXPECT_EQ(firstPixel(blue), sf::Color::Blue);
    EXPECT_GT(resources.textureGeneration(), generation) << "copies made of the red picture are out of date";

    sf::Texture* wide = resources.replaceTexture("Picture", widePath);
    ASSERT_EQ(wide, resources.getTexture("Picture"));
    EXPECT_EQ(wide->getSize(), sf::Vector2u(16, 8));
    EXPECT_EQ(firstPixel(wide), sf::Color::Green);
    EXPECT_TRUE(wide->isSmooth()) << "made as loadTexture makes them";

    EXPECT_EQ(resources.replaceTexture("Picture", tempPath("gone.png")), nullptr);
    EXPECT_EQ(resources.getTexture("Picture"), nullptr);
}

TEST_F(ResourceManagerGl, TheGamesElevenProgramsAreRegisteredAndLinked) {
    ResourceManager& resources = ResourceManager::instance();
    EXPECT_EQ(resources.shaderCount(), 11u);
    for (const ShaderFiles& files : kGameShaders) {
        ShaderProgram* program = resources.getShader(files.name);
        ASSERT_NE(program, nullptr) << files.name;
        EXPECT_TRUE(program->linked) << files.name;
        EXPECT_TRUE(glIsProgram(program->id)) << files.name;
    }
}

TEST_F(ResourceManagerGl, MissingFragmentFileIsReportedAndTheGameGoesOn) {
    ResourceManager& resources = ResourceManager::instance();
    testing::internal::CaptureStdout();
    resources.loadShader("Broken", "./shaders/Sprite.vs", tempPath("missing.fs"));
    const std::string out = testing::internal::GetCapturedStdout();

    // The file message and the file it could not read, once: nothing is compiled from nothing.
    EXPECT_EQ(out, "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ\n" + tempPath("missing.fs") + "\n");

    // A program whose source is there but wrong names its file after the driver's log.
    std::ofstream(tempPath("wrong.fs")) << "#version 330 core\nvoid main() { nonsense; }\n";
    testing::internal::CaptureStdout();
    resources.loadShader("Wrong", "./shaders/Sprite.vs", tempPath("wrong.fs"));
    const std::string wrong = testing::internal::GetCapturedStdout();
    const size_t compile = wrong.find("ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT\n");
    ASSERT_NE(compile, std::string::npos) << wrong;
    EXPECT_NE(wrong.find(tempPath("wrong.fs") + "\n", compile), std::string::npos) << wrong;
    EXPECT_EQ(wrong.find("VERTEX"), std::string::npos) << wrong;

    // Still registered; a sprite using it draws nothing, the rest of the frame draws.
    ShaderProgram* broken = resources.getShader("Broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->linked);
    addTexture("Red", solidImage(sf::Color::Red));
    addTexture("Blue", solidImage(sf::Color::Blue));
    makeSprite("Red", -10.0f, 0.0f, 0.0f, 4.0f, 4.0f)->getComponent<SpriteRenderer>()->shader = broken;
    makeSprite("Blue", 10.0f, 0.0f, 0.0f, 4.0f, 4.0f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-10.0f, 0.0f), sf::Color::Black));
    EXPECT_TRUE(colorNear(atWorld(10.0f, 0.0f), sf::Color::Blue));
    EXPECT_TRUE(runFrames(5));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
