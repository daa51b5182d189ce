// Textures and shader programs by name: loading twice, removing, retrying, and broken shader
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

TEST_F(ResourceManagerGl, TexturesLoadOnceByNameAndGoAwayWhenRemoved) {
    ResourceManager& resources = ResourceManager::instance();
    const std::string redPath = tempPath("red.png");
    const std::string bluePath = tempPath("blue.png");
    ASSERT_TRUE(solidImage(sf::Color::Red).saveToFile(redPath));
    ASSERT_TRUE(solidImage(sf::Color::Blue).saveToFile(bluePath));

    sf::Texture* first = resources.loadTexture("Picture", redPath);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isSmooth());
    EXPECT_EQ(resources.loadTexture("Picture", bluePath), first); // the new path is ignored
    EXPECT_EQ(firstPixel(first), sf::Color::Red);
    EXPECT_EQ(resources.getTexture("Picture"), first);
    EXPECT_EQ(resources.getTexture("picture"), nullptr); // names are case-sensitive

    resources.removeTexture("Picture");
    EXPECT_EQ(resources.getTexture("Picture"), nullptr);
    sf::Texture* again = resources.loadTexture("Picture", bluePath);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(firstPixel(again), sf::Color::Blue);

    const size_t count = resources.textureCount();
    resources.removeTexture("NeverLoaded");
    EXPECT_EQ(resources.textureCount(), count);
}

TEST_F(ResourceManagerGl, MissingTextureFileRegistersNothingAndIsTriedAgain) {
    ResourceManager& resources = ResourceManager::instance();
    const std::string path = tempPath("later.png");
    const size_t count = resources.textureCount();
    EXPECT_EQ(resources.loadTexture("Later", path), nullptr);
    EXPECT_EQ(resources.getTexture("Later"), nullptr);
    EXPECT_EQ(resources.textureCount(), count);

    ASSERT_TRUE(solidImage(sf::Color::Green).saveToFile(path));
    sf::Texture* loaded = resources.loadTexture("Later", path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(firstPixel(loaded), sf::Color::Green);
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
    EXPECT_EQ(resources.getShader("Sprite_UI"), nullptr); // registry names use the hyphen
    EXPECT_EQ(ResourceManager::resourcePath("JsonData/Map1.json"), "../Resources/JsonData/Map1.json");
}

TEST_F(ResourceManagerGl, ProgramsLoadOnceByNameAndAreDeletedWhenRemoved) {
    ResourceManager& resources = ResourceManager::instance();
    resources.loadShader("Mine", "./shaders/Sprite.vs", "./shaders/Sprite.fs");
    ShaderProgram* mine = resources.getShader("Mine");
    ASSERT_NE(mine, nullptr);
    const unsigned id = mine->id;
    resources.loadShader("Mine", "./shaders/Basic.vs", "./shaders/Basic.fs");
    EXPECT_EQ(resources.getShader("Mine"), mine);
    EXPECT_EQ(mine->id, id);
    EXPECT_GE(mine->uniform("model"), 0);
    EXPECT_EQ(mine->uniform("noSuchUniform"), -1);

    resources.removeShader("Mine");
    EXPECT_EQ(resources.getShader("Mine"), nullptr);
    EXPECT_FALSE(glIsProgram(id));
    resources.removeShader("Mine"); // already gone: nothing happens
    EXPECT_EQ(resources.shaderCount(), 11u);
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
    sf::Vector2i left = pictureToWindow(-10.0f / 24.0f, 0.0f);
    sf::Vector2i right = pictureToWindow(10.0f / 24.0f, 0.0f);
    EXPECT_TRUE(colorNear(pixel(left.x, left.y), sf::Color::Black));
    EXPECT_TRUE(colorNear(pixel(right.x, right.y), sf::Color::Blue));
    EXPECT_TRUE(runFrames(5));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
