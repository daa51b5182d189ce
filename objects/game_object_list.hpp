#pragma once

#include "objects/game_object.hpp"

#include <string>
#include <vector>

// Owns every object of the running game state, in creation order.
class GameObjectList {
  public:
    static GameObjectList& instance();

    // Each new object hangs directly under the World Root.
    GameObject* create();
    GameObject* create(const std::string& name);
    GameObject* create(const std::string& name, const std::string& group);

    // The first object, in list order, with exactly this name; null if none.
    GameObject* find(const std::string& name) const;
    // Objects whose parent is the World Root, in list order.
    std::vector<GameObject*> rootObjects() const;
    // Destroys every object in list order, empties the list and the World Root's children.
    void destroyAll();
    // Destroys the objects made after the first keep, newest first, each taken out of its
    // parent's children (a saved state of the match is put back). A child is made after its
    // parent, so what is kept never hangs below what goes.
    void destroyNewest(size_t keep);

    const std::vector<GameObject*>& objects() const { return list; }

  private:
    GameObject* adopt(GameObject* object);
    std::vector<GameObject*> list;
};
