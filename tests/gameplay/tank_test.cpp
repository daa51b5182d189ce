// A tank on a platform, driven through the left keyboard half.
#include "tests/gameplay/gameplay_scene.hpp"

#include "graphics/renderer.hpp"
#include "physics/collider.hpp"

using namespace gameplay_test;

namespace {
class TankScene : public Scene {};
} // namespace

TEST_F(TankScene, DrivesUpToAboutTwentyOneUnitsPerSecond) {
    Player* p = tankOnGround(1, -80.0f);
    hold(sf::Keyboard::D);
    runSeconds(5.0f);
    float vx = p->tank.rigidBody->velocity.x;
    EXPECT_NEAR(vx, 21.0f, 1.0f);
    EXPECT_NEAR(p->tank.rigidBody->position.y, 0.5f, 0.05f) << "stays on the platform";
}
