// The end of a match: the state's objects destroyed at once. Each object here is shaped like
// the bullets and explosions a long match leaves behind (a sprite, a body, a circle collider
// and a logic), built the way the game builds them; only destroyAll is timed. Printed beside
// it, the time the same objects took to build, measured in the same run: teardown should cost
// about what building does, and grow in step with the count.
#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <chrono>
#include <cstdio>

namespace {

class Idle : public Logic {
  public:
    explicit Idle(GameObject* ownerObject) : Logic("Idle", ownerObject) {}
    void Update() override {}
};

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::time_point begin) {
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

struct Figures {
    double build = 0.0;
    double teardown = 0.0;
};

Figures measure(int count) {
    GameObjectList& list = GameObjectList::instance();
    auto begin = Clock::now();
    for (int i = 0; i < count; ++i) {
        GameObject* o = list.create("Bullet");
        o->transform.setPosition(static_cast<float>(i % 40), static_cast<float>(i / 40), 0.0f);
        o->addComponent<SpriteRenderer>();
        o->addComponent<RigidBody2D>();
        o->addComponent<CircleCollider>();
        o->attach(new Idle(o));
    }
    Figures f;
    f.build = milliseconds(begin);
    begin = Clock::now();
    list.destroyAll();
    f.teardown = milliseconds(begin);
    return f;
}

} // namespace

int main() {
    measure(2000); // warm the allocator
    double perObjectAt5000 = 0.0;
    for (int count : {5000, 10000, 20000}) {
        Figures best{1e9, 1e9};
        for (int run = 0; run < 5; ++run) {
            Figures f = measure(count);
            best.build = std::min(best.build, f.build);
            best.teardown = std::min(best.teardown, f.teardown);
        }
        double perObject = best.teardown / count;
        if (count == 5000) {
            perObjectAt5000 = perObject;
        }
        std::printf("teardown of %5d objects: %7.2f ms (building them: %7.2f ms, ratio %.2f); "
                    "per object %.2fx the cost at 5,000\n",
                    count, best.teardown, best.build, best.teardown / best.build, perObject / perObjectAt5000);
    }
    return 0;
}
