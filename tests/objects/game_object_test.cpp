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
    GameObject* first = list.create("Twin");
    list.create("Twin", "Red");
    GameObject* plain = list.create();
    EXPECT_EQ(list.find("Twin"), first) << "the first of two namesakes";

    uint32_t lastId = plain->id;
    list.destroyAll();
    EXPECT_TRUE(WorldRoot().transform.children.empty());
    EXPECT_GT(list.create()->id, lastId) << "ids are never reused within a run";
}

TEST(GameObjects, ALogicIsRegisteredOnceAndLeavesWithItsObject) {
    GameObject* object = GameObjectList::instance().create("Probe");
    size_t registered = LogicRegistry().size();
    ProbeLogic* logic = object->addComponent<ProbeLogic>();
    EXPECT_EQ(object->addComponent<ProbeLogic>(), logic);
    EXPECT_EQ(LogicRegistry().size(), registered + 1) << "registered once";

    // A second Logic of a type the object holds is refused and does not linger in the registry.
    auto* extra = new ProbeLogic(object);
    EXPECT_EQ(object->attach(extra), logic);
    EXPECT_EQ(LogicRegistry().size(), registered + 1);

    GameObjectList::instance().destroyAll();
    EXPECT_EQ(LogicRegistry().size(), registered) << "destroyed logic leaves the registry";
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
    auto& rootChildren = WorldRoot().transform.children;
    EXPECT_EQ(std::count(rootChildren.begin(), rootChildren.end(), &item->transform), 0);

    // And back to the root: listed there exactly once, still in place.
    WorldRoot().transform.setParent(item);
    updateAll();
    EXPECT_EQ(std::count(rootChildren.begin(), rootChildren.end(), &item->transform), 1);
    expectNear(item->transform.worldPosition, before, "moved to the root");
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
}
