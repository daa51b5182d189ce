// The per-frame behaviour pass and world update walk only what is in play; these check that what
// they skip, and take back when switched on, is exactly what a walk of everything would.
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "objects/world_update.hpp"
#include "physics/collider.hpp"
#include "physics/collision_world.hpp"
#include "physics/rigid_body.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string>& ran() {
    static std::vector<std::string> log;
    return log;
}

class Probe : public Logic {
  public:
    explicit Probe(GameObject* owner) : Logic("Probe", owner) {}
    void Update() override {
        ran().push_back(owner->name);
        if (onUpdate) {
            onUpdate();
        }
    }
    std::function<void()> onUpdate;
};

Probe* probe(const std::string& name) {
    GameObject* o = GameObjectList::instance().create(name);
    return o->attach(new Probe(o));
}

std::vector<std::string> pass() {
    ran().clear();
    UpdateLogics();
    return ran();
}

using Names = std::vector<std::string>;

} // namespace

TEST(LogicPass, FlipsDuringThePassActAsAWalkByIndexWould) {
    Probe* a = probe("A");
    Probe* b = probe("B");
    Probe* c = probe("C");
    Probe* d = probe("D");
    setActive(a->owner, false);
    d->enabled = false; // the behaviour alone, its object still in play
    EXPECT_EQ(pass(), (Names{"B", "C"}));
    // B switches on one entry before it and one after it; C makes a new one.
    b->onUpdate = [&] {
        setActive(a->owner, true);
        d->setEnabled(true);
        b->onUpdate = nullptr;
    };
    c->onUpdate = [&] {
        probe("E");
        c->onUpdate = nullptr;
    };
    EXPECT_EQ(pass(), (Names{"B", "C", "D", "E"})) << "A comes before B: its turn has gone by";
    EXPECT_EQ(pass(), (Names{"A", "B", "C", "D", "E"}));

    // Switched off during the pass: skipped at once, later in the same pass.
    b->onUpdate = [&] { setActive(d->owner, false); };
    EXPECT_EQ(pass(), (Names{"A", "B", "C", "E"}));
}

TEST(WorldUpdate, SwitchedOffRootsKeepTheirPoseAndComeBackUpToDate) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* spent = list.create("Spent");
    GameObject* parent = list.create("Parent");
    GameObject* child = list.create("Child");
    parent->transform.setParent(child);
    child->transform.setPosition(1, 0, 0);
    UpdateWorldTransforms();

    setActive(spent, false);
    spent->transform.setPosition(5, 5, 0);
    setActive(parent, false);
    child->active = true; // on below a switched-off root: still kept up to date
    parent->transform.setPosition(10, 0, 0);
    UpdateWorldTransforms();
    EXPECT_EQ(spent->transform.worldPosition.x, 0.0f) << "nothing is computed for a spent root";
    EXPECT_FLOAT_EQ(child->transform.worldPosition.x, 11.0f);

    setActive(spent, true);
    UpdateWorldTransforms();
    EXPECT_FLOAT_EQ(spent->transform.worldPosition.x, 5.0f);
}

// A teardown drops everything the list held from every registry at once: a pointer listed twice
// goes with every occurrence, and what lives outside the list stays listed in its order and
// keeps running in the next pass.
TEST(Teardown, EmptiesTheRegistriesOfTheListsObjectsAndKeepsTheRest) {
    GameObject outsider;
    outsider.name = "Outsider";
    Probe* kept = outsider.attach(new Probe(&outsider));
    auto* keptSprite = outsider.addComponent<SpriteRenderer>();
    auto* keptBody = outsider.addComponent<RigidBody2D>();
    auto* keptCircle = outsider.addComponent<CircleCollider>();
    for (const char* name : {"A", "B", "C"}) {
        Probe* p = probe(name);
        p->owner->addComponent<SpriteRenderer>();
        p->owner->addComponent<RigidBody2D>();
        p->owner->addComponent<CircleCollider>();
    }
    GraphicsManager& graphics = GraphicsManager::instance();
    graphics.sprites.push_back(graphics.sprites[2]); // B's sprite listed a second time
    LogicRegistry().push_back(LogicRegistry()[1]);   // and A's logic
    EXPECT_EQ(pass(), (std::vector<std::string>{"Outsider", "A", "B", "C", "A"}));

    GameObjectList::instance().destroyAll();
    EXPECT_EQ(LogicRegistry(), std::vector<Logic*>{kept});
    EXPECT_EQ(graphics.sprites, std::vector<SpriteRenderer*>{keptSprite});
    EXPECT_EQ(PhysicsBodies(), std::vector<RigidBody2D*>{keptBody});
    EXPECT_EQ(CollisionWorld::instance().colliders, std::vector<Collider2D*>{keptCircle});
    EXPECT_EQ(pass(), std::vector<std::string>{"Outsider"});
    Probe* later = probe("Later");
    EXPECT_EQ(pass(), (std::vector<std::string>{"Outsider", "Later"}));
    (void)later;
}
