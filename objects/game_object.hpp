#pragma once

#include "objects/component.hpp"
#include "objects/transform.hpp"

#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

// A named node of the scene. It always carries a Transform and owns a list of components.
// Objects are created through the GameObjectList and destroyed all together when a game
// state is left; single objects are taken out of play with setActive(object, false).
class GameObject {
  public:
    explicit GameObject(std::string objectName = "NewGameObject", std::string objectGroup = "None");
    ~GameObject();
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    void setTag(const std::string& value) { tag = value; }

    // The first component whose dynamic type is exactly T (a CircleCollider is not a Collider2D here).
    template <class T> T* getComponent() const {
        for (Component* c : components) {
            if (typeid(*c) == typeid(T)) {
                return static_cast<T*>(c);
            }
        }
        return nullptr;
    }

    // Returns the existing component of exactly type T, or builds one. A component's
    // constructor takes its owner and registers itself wherever its kind is driven from.
    template <class T> T* addComponent() {
        if (T* existing = getComponent<T>()) {
            return existing;
        }
        T* component = new T(this);
        components.push_back(component);
        return component;
    }

    // For components the caller builds itself (Logic subclasses). When the object already
    // holds one of exactly that type, that one is returned and the offered one is deleted,
    // so it cannot linger in a registry without an owner that knows of it.
    template <class T> T* attach(T* component) {
        if (T* existing = getComponent<T>()) {
            if (component != existing) {
                delete component;
            }
            return existing;
        }
        if (component != nullptr) {
            component->owner = this;
            components.push_back(component);
        }
        return component;
    }

    // Every real flip is reported to the activation observers, however it is written.
    ActivationFlag active{true, this, &GameObject::reportFlip};
    std::string name;
    uint32_t id = 0;
    std::string group;
    std::string tag = "Default";
    Transform transform;
    std::vector<Component*> components;

  private:
    static void reportFlip(void* object);
    struct RootTag {};
    explicit GameObject(RootTag);
    friend GameObject& WorldRoot();
};

// The one object every tree hangs from. Its transform is the identity and never moves.
GameObject& WorldRoot();

// Sets the flag on the object and, in child order, on everything below it.
void setActive(GameObject* object, bool value);

// The id the next object takes. A saved state of the match keeps it, so the objects a rollback
// makes again take the ids they had.
uint32_t NextObjectId();
void SetNextObjectId(uint32_t id);
