// A busy match picture read back from the window: the quicker ways the draw passes take must give
// exactly the pixels of their plain ways, with particles of every kind, shock-wave rings among
// freed slots, the swirl open and closed, cracks and the HUD.
#include "graphics/graphics_manager.hpp"
#include "graphics/particle_pool.hpp"
#include "graphics/shader_logic.hpp"
#include "match/match_run.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

class MatchPicture : public GlFixture {
  protected:
    MatchPicture() {
        gameStates = true;
        WriteQuickMatchSettings({"Meadow", 4, 5, 600});
        pads.connect(0, true); // players 3 and 4 play on pads, which must answer
        pads.connect(1, true);
        MatchRun::instance().fixedSeed = 2026; // the same spawn points on every run
        Engine::instance().firstState = GameStateId::Play;
    }
    PlayGameState* match() { return dynamic_cast<PlayGameState*>(state()); }

    // Particles of the four kinds over the whole arena, overlapping each other and the sprites,
    // turned, stretched and fading, in front of and behind the tanks; a few whose picture is
    // missing.
    static void scatterParticles() {
        const char* kinds[] = {"StarParticle", "SmokeParticle", "BlackholeParticle", "ExpulsionParticle"};
        ParticlePool& pool = ParticlePool::instance();
        pool.clear();
        for (size_t i = 0; i < 600; ++i) {
            Particle& p = pool.particles[i * 3 % kParticleCount];
            p = Particle{};
            p.alive = true;
            p.lifeLeft = 10.0f;
            const auto n = static_cast<float>(i);
            p.position = {-24.0f + static_cast<float>(i % 40) * 1.25f,
                          -14.0f + static_cast<float>(i / 40) * 1.9f, static_cast<float>(i % 3) * 1.5f};
            p.scale = {0.6f + static_cast<float>(i % 5) * 0.5f, 0.8f + static_cast<float>(i % 4) * 0.4f};
            p.rotation = n * 23.0f;
            p.color = {1.0f - static_cast<float>(i % 3) * 0.3f, 0.5f + static_cast<float>(i % 2) * 0.5f, 0.8f,
                       0.2f + static_cast<float>(i % 5) * 0.2f};
            p.shader = ResourceManager::instance().getShader("Sprite");
            p.textureName = kinds[i % 4];
            p.texture = i % 50 == 49 ? nullptr : ResourceManager::instance().getTexture(p.textureName);
        }
    }

    // Two rings out of four slots (the first and third freed), so live rings sit among dead ones.
    void ringsOut(bool out) {
        WaveEffect* w = match()->waves->waves();
        *w = WaveEffect{};
        if (!out) {
            return;
        }
        match()->waves->AddWave(1.5f, 30.0f, {-6.0f, 2.0f}, 3.0f);
        match()->waves->AddWave(1.5f, 30.0f, {8.0f, -3.0f}, 3.0f);
        match()->waves->AddWave(1.0f, 1.0f, {2.0f, 5.0f}, 9.0f);
        match()->waves->AddWave(1.0f, 1.0f, {-12.0f, -6.0f}, 9.0f);
        w->slotActive[0] = w->slotActive[2] = false;
        w->radius[1] = 0.35f;
        w->radius[3] = 0.2f;
        w->refraction[3] = 0.7f;
    }

    void swirlOpen(bool open) {
        ShaderLogic* logic = match()->background->getComponent<ShaderLogic>();
        ASSERT_NE(logic, nullptr);
        SwirlEffect* s = logic->swirl();
        *s = SwirlEffect{};
        if (open) {
            logic->StartSwirl(15.0f, {-5.0f, 1.0f});
            s->timeLeft = 5.0f;
            s->radius = 11.0f;
            s->angle = 1.3f;
        }
    }

    // A fresh and a fading crack on every platform, off its centre.
    static void crackPlatforms() {
        for (GameObject* object : GameObjectList::instance().objects()) {
            ShaderLogic* logic = object->tag == "Platform" ? object->getComponent<ShaderLogic>() : nullptr;
            CrackEffect* cracks = logic != nullptr ? logic->cracks() : nullptr;
            if (cracks == nullptr) {
                continue;
            }
            const vec3 at = object->transform.position;
            for (auto [slot, dx, alpha] : {std::tuple{2, -1.0f, 1.0f}, {5, 1.5f, 0.4f}}) {
                cracks->slotActive[slot] = true;
                cracks->hitterId[slot] = 7;
                cracks->contactPoint[slot] = {at.x + dx, at.y};
                cracks->radius[slot] = 1.5f;
                cracks->alpha[slot] = alpha;
            }
        }
    }

    // The window drawn the plain way and the quick way; returns the plain picture.
    std::vector<uint8_t> compareWays(const std::string& what) {
        GraphicsManager& graphics = GraphicsManager::instance();
        graphics.referencePasses = true;
        drawFrame();
        std::vector<uint8_t> plain = pixels;
        graphics.referencePasses = false;
        drawFrame();
        EXPECT_EQ(differingBytes(plain, pixels), 0u) << what << ": the quick ways must not change a pixel";
        return plain;
    }
};

} // namespace

TEST_F(MatchPicture, QuickPassesDrawExactlyThePlainPicture) {
    if (IsSkipped()) {
        return;
    }
    ASSERT_NE(match(), nullptr);
    for (int i = 0; i < 400 && match()->phase != MatchPhase::Playing; ++i) {
        runFrames(1, 48);
    }
    ASSERT_EQ(match()->phase, MatchPhase::Playing);
    ASSERT_NE(match()->waves, nullptr);
    ASSERT_NE(match()->background, nullptr);
    runFrames(2);
    scatterParticles();
    crackPlatforms();

    swirlOpen(true);
    ringsOut(true);
    const std::vector<uint8_t> busy = compareWays("swirl open, two rings");
    swirlOpen(false);
    const std::vector<uint8_t> closed = compareWays("swirl closed, two rings");
    ringsOut(false);
    const std::vector<uint8_t> calm = compareWays("swirl closed, no ring");
    swirlOpen(true);
    compareWays("swirl open, no ring");

    // And the effects were on the picture.
    EXPECT_GT(differingBytes(busy, closed), 30000u) << "the swirl twists the background";
    EXPECT_GT(differingBytes(closed, calm), 10000u) << "the rings refract the picture";
}

// The next match of a run (a soak's) writes its map picture into the texture the last match drew
// rather than making a second while the renderer still holds the first; the menus let it go.
TEST_F(MatchPicture, TheNextMatchWritesItsMapPictureIntoTheLastOnesTexture) {
    if (IsSkipped()) {
        return;
    }
    ASSERT_NE(match(), nullptr);
    ResourceManager& resources = ResourceManager::instance();
    sf::Texture* meadow = resources.getTexture("Background");
    ASSERT_NE(meadow, nullptr);
    meadow->setRepeated(true); // a mark a texture made anew would not carry

    WriteQuickMatchSettings({"Canyon", 4, 5, 600});
    requestState(GameStateId::Restart);
    ASSERT_TRUE(runFrames(2));
    ASSERT_NE(match(), nullptr);
    ASSERT_EQ(match()->mapName, "Canyon");
    sf::Texture* canyon = resources.getTexture("Background");
    ASSERT_NE(canyon, nullptr);
    EXPECT_TRUE(canyon->isRepeated()) << "the next map's picture got a texture of its own";
    sf::Image file;
    ASSERT_TRUE(file.loadFromFile("../Resources/Texture/BG/Canyon.png"));
    const sf::Image shown = canyon->copyToImage();
    ASSERT_EQ(shown.getSize(), file.getSize());
    for (unsigned y = 0; y < file.getSize().y; y += 97) {
        for (unsigned x = 0; x < file.getSize().x; x += 89) {
            ASSERT_EQ(shown.getPixel(x, y), file.getPixel(x, y)) << x << ", " << y;
        }
    }

    requestState(GameStateId::MainMenu);
    ASSERT_TRUE(runFrames(2));
    EXPECT_EQ(resources.getTexture("Background"), nullptr) << "the menus keep no map picture";
}
