#include "objects/game_object_list.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>& heard() {
    static std::vector<std::string> log;
    return log;
}

void record(GameObject* object, Component* component) {
    heard().push_back(component != nullptr ? component->name
                                           : object->name + (object->active ? " on" : " off"));
}

class Marker : public Component {
  public:
    explicit Marker(GameObject* owner) : Component("Marker", owner) {}
};

} // namespace

TEST(ActivationObservers, HearOnlyFlagsThatFlip) {
    AddActivationObserver(&record);
    GameObjectList& list = GameObjectList::instance();
    GameObject* root = list.create("Root");
    GameObject* child = list.create("Child");
    root->transform.setParent(child);
    setActive(child, false);
    setActive(root, false); // the child is off already: only the root flips
    setActive(root, true);
    Marker* marker = child->addComponent<Marker>();
    marker->setEnabled(true);
    marker->setEnabled(false);
    marker->setEnabled(false);
    EXPECT_EQ(heard(), (std::vector<std::string>{"Child off", "Root off", "Root on", "Child on", "Marker"}));

    // Plain writes to the flags are heard the same way.
    heard().clear();
    marker->enabled = true;
    marker->enabled = true;
    child->active = false;
    EXPECT_EQ(heard(), (std::vector<std::string>{"Marker", "Child off"}));
}
