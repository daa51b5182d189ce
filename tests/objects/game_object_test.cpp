#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ProbeLogic : public Logic {
  public:
    explicit ProbeLogic(GameObject* owner) : Logic("ProbeLogic", owner) {}
    void Update() override {}
};

class ShapeBase : public Component {
  public:
    explicit ShapeBase(GameObject* owner) : Component("ShapeBase", owner) {}
};

class RoundShape : public ShapeBase {
  public:
    explicit RoundShape(GameObject* owner) : ShapeBase(owner) {}
};

constexpr float kTol = 1e-4f;

void expectNear(vec3 a, vec3 b, const char* what) {
    EXPECT_NEAR(a.x, b.x, kTol) << what;
    EXPECT_NEAR(a.y, b.y, kTol) << what;
    EXPECT_NEAR(a.z, b.z, kTol) << what;
}

void updateAll() {
    for (Transform* t : WorldRoot().transform.children) {
        t->updateWorld();
    }
}

} // namespace

TEST(GameObjects, CreationFindAndIds) {
    GameObjectList& list = GameObjectList::instance();
    EXPECT_EQ(WorldRoot().id, 0u);
    EXPECT_EQ(WorldRoot().name, "World Root");
    GameObject* first = list.create("Twin");
    GameObject* second = list.create("Twin", "Red");
    GameObject* plain = list.create();
    EXPECT_EQ(list.find("Twin"), first) << "the first of two namesakes";
    EXPECT_EQ(list.find("Nobody"), nullptr);
    EXPECT_EQ(list.find("World Root"), nullptr);
    EXPECT_EQ(second->group, "Red");
    EXPECT_EQ(plain->name, "NewGameObject");
    EXPECT_EQ(plain->group, "None");
    EXPECT_EQ(plain->tag, "Default");
    EXPECT_EQ(first->transform.parent, &WorldRoot().transform);
    EXPECT_EQ(list.rootObjects().size(), 3u);

    uint32_t lastId = plain->id;
    list.destroyAll();
    EXPECT_TRUE(list.objects().empty());
    EXPECT_TRUE(WorldRoot().transform.children.empty());
    EXPECT_GT(list.create()->id, lastId) << "ids are never reused within a run";
    list.destroyAll();
    list.destroyAll(); // on an empty list: nothing more happens
    EXPECT_TRUE(WorldRoot().transform.children.empty());
}

TEST(GameObjects, ComponentsByExactType) {
    GameObject* object = GameObjectList::instance().create("Probe");
    object->addComponent<RoundShape>();
    EXPECT_EQ(object->getComponent<ShapeBase>(), nullptr) << "kinship is not identity";
    EXPECT_NE(object->getComponent<RoundShape>(), nullptr);

    size_t registered = LogicRegistry().size();
    ProbeLogic* logic = object->addComponent<ProbeLogic>();
    EXPECT_EQ(object->addComponent<ProbeLogic>(), logic);
    EXPECT_EQ(LogicRegistry().size(), registered + 1) << "registered once";
    EXPECT_EQ(logic->owner, object);
    EXPECT_EQ(logic->name, "ProbeLogic");

    // A second Logic of a type the object holds is refused and does not linger in the registry.
    auto* extra = new ProbeLogic(object);
    EXPECT_EQ(object->attach(extra), logic);
    EXPECT_EQ(LogicRegistry().size(), registered + 1);
    EXPECT_EQ(object->components.size(), 2u);

    GameObjectList::instance().destroyAll();
    EXPECT_EQ(LogicRegistry().size(), registered) << "destroyed logic leaves the registry";
}

TEST(Transforms, WorldRootStaysPut) {
    WorldRoot().transform.setPosition(3, 4, 5);
    WorldRoot().transform.setScale(2, 2, 2);
    WorldRoot().transform.setRotation(0, 0, 90);
    EXPECT_EQ(WorldRoot().transform.position.x, 0.0f);
    EXPECT_EQ(WorldRoot().transform.scale.x, 1.0f);
    EXPECT_EQ(WorldRoot().transform.rotation.z, 0.0f);
    WorldRoot().transform.setParent(&WorldRoot());
    EXPECT_TRUE(WorldRoot().transform.children.empty());
}

TEST(Transforms, CompositionAndDecomposition) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* parent = list.create("Parent");
    parent->transform.setPosition(10, 0, 0);
    parent->transform.setRotation(0, 0, 90);
    parent->transform.setScale(2, 2, 1);
    GameObject* child = list.create("Child");
    parent->transform.setParent(child);
    child->transform.setPosition(1, 0, 0.5f);
    child->transform.setRotation(0, 0, 30);
    child->transform.setScale(1, 1, 1);
    updateAll();

    // The parent's x axis points up after its quarter turn and is stretched twice.
    expectNear(child->transform.worldPosition, {10, 2, 0.5f}, "position");
    EXPECT_NEAR(child->transform.worldRotation.z, 120.0f, 1e-3f);
    EXPECT_NEAR(child->transform.worldRotation.x, 0.0f, 1e-3f);
    EXPECT_NEAR(child->transform.worldRotation.y, 0.0f, 1e-3f);
    EXPECT_NEAR(child->transform.world[3], 10.0f, kTol) << "translation sits in the last column";
    EXPECT_NEAR(child->transform.world[7], 2.0f, kTol);
    expectNear(child->transform.worldScale, {2, 2, 1}, "scale");
    EXPECT_FALSE(std::isnan(child->transform.worldScale.x));

    // A root object's world values are its local ones.
    expectNear(parent->transform.worldPosition, {10, 0, 0}, "root position");
    expectNear(parent->transform.worldScale, {2, 2, 1}, "root scale");
}

TEST(Transforms, ReparentingKeepsTheWorldPose) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* a = list.create("A");
    a->transform.setPosition(5, 1, 0);
    a->transform.setRotation(0, 0, 45);
    GameObject* b = list.create("B");
    b->transform.setPosition(-3, 2, 0);
    b->transform.setRotation(0, 0, -90);
    GameObject* item = list.create("Item");
    a->transform.setParent(item);
    item->transform.setPosition(2, 0, 0);
    item->transform.setRotation(0, 0, 10);
    updateAll();
    vec3 before = item->transform.worldPosition;
    float angleBefore = item->transform.worldRotation.z;

    b->transform.setParent(item);
    updateAll();
    expectNear(item->transform.worldPosition, before, "moved between parents");
    EXPECT_NEAR(item->transform.worldRotation.z, angleBefore, 1e-3f);
    EXPECT_EQ(item->transform.parent, &b->transform);
    EXPECT_TRUE(a->transform.children.empty());
    EXPECT_EQ(b->transform.children.size(), 1u);
    auto& rootChildren = WorldRoot().transform.children;
    EXPECT_EQ(std::count(rootChildren.begin(), rootChildren.end(), &item->transform), 0);

    // And back to the root: listed there exactly once, still in place.
    WorldRoot().transform.setParent(item);
    updateAll();
    EXPECT_EQ(std::count(rootChildren.begin(), rootChildren.end(), &item->transform), 1);
    EXPECT_TRUE(b->transform.children.empty());
    expectNear(item->transform.worldPosition, before, "moved to the root");
}

TEST(Transforms, SetActiveReachesTheWholeSubtree) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* tank = list.create("TankRoot");
    GameObject* barrelRoot = list.create("BarrelRoot");
    GameObject* barrel = list.create("Barrel");
    GameObject* face = list.create("Face");
    GameObject* bystander = list.create("Other");
    tank->transform.setParent(barrelRoot);
    barrelRoot->transform.setParent(barrel);
    tank->transform.setParent(face);

    setActive(tank, false);
    EXPECT_FALSE(tank->active || barrelRoot->active || barrel->active || face->active);
    EXPECT_TRUE(bystander->active);
    setActive(tank, true);
    EXPECT_TRUE(tank->active && barrelRoot->active && barrel->active && face->active);
}

TEST(Transforms, AnObjectCannotHangBelowItself) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* top = list.create("Top");
    GameObject* middle = list.create("Middle");
    top->transform.setParent(middle);
    testing::internal::CaptureStdout();
    middle->transform.setParent(top);
    top->transform.setParent(top);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Cannot make \"Top\" a child of itself or of its own descendant"), std::string::npos);
    EXPECT_EQ(middle->transform.parent, &top->transform);
    EXPECT_EQ(top->transform.parent, &WorldRoot().transform);
    top->transform.updateWorld(); // still a tree: this returns
}
