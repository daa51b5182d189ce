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
