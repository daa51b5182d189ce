#pragma once

// Gameplay scenes on the real engine without a window: a manual clock, keys and pads fed through
// the input's test paths, and objects built with the prefab factory after the first frame.

#include "engine/input_manager.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "objects/game_object_list.hpp"
#include "objects/random.hpp"
#include "physics/rigid_body.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gameplay_test {

class Scene : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.step();   // the first state comes in; the scene is built in it
        seedRandom(2026); // the same artillery draws on every run
    }
    // Each case normally runs in a process of its own; this keeps a whole suite in one process
    // from seeing the last case's objects.
    void TearDown() override { GameObjectList::instance().destroyAll(); }

    // Frames of 17 ms: each runs exactly one physics step until the remainders add up.
    void run(int frames, uint32_t ms = 17) {
        for (int i = 0; i < frames; ++i) {
            harness.step(ms);
        }
    }
    void runSeconds(float seconds, uint32_t ms = 17) {
        run(static_cast<int>(seconds * 1000.0f / ms + 0.5f), ms);
    }

    // Held from the next frame on.
    static void hold(sf::Keyboard::Key key) { QueueKey(key, true); }
    static void release(sf::Keyboard::Key key) { QueueKey(key, false); }
    // Pressed and released in the next frame.
    void tap(sf::Keyboard::Key key) {
        hold(key);
        run(1);
        release(key);
    }

    // A tank for player n, standing where it is put (left keyboard half unless changed).
    Player* makeTank(uint32_t player, vec3 at) {
        Player* slot = nullptr;
        MakeTank(slot, player, at);
        return slot;
    }
    GameObject* makePlatform(vec2 at, vec2 size) {
        return MakePlatform({at.x, at.y, -0.9f}, {1, 1, 1, 1}, {size.x, size.y, 1}, {0, 0, 0});
    }
    // A tank on a wide platform, settled: the platform's top is at y 0.
    Player* tankOnGround(uint32_t player = 1, float x = 0.0f) {
        if (ground == nullptr) {
            ground = makePlatform({0, -0.5f}, {200, 1});
        }
        Player* p = makeTank(player, {x, 0.5f, 0});
        run(30);
        return p;
    }
    // The same in a group of its own, "Player n", so shots of "Player 1" tell their shooter apart.
    Player* groupedTank(uint32_t player, float x) {
        Player* p = tankOnGround(player, x);
        SetTankGroup(p->tank, "Player " + std::to_string(player));
        return p;
    }

    // Every active object of that name, in list order.
    static std::vector<GameObject*> active(const std::string& name) {
        std::vector<GameObject*> found;
        for (GameObject* o : GameObjectList::instance().objects()) {
            if (o->active && o->name == name) {
                found.push_back(o);
            }
        }
        return found;
    }
    static size_t count(const std::string& name) {
        size_t n = 0;
        for (GameObject* o : GameObjectList::instance().objects()) {
            n += o->name == name ? 1 : 0;
        }
        return n;
    }

    EngineHarness harness;
    GameObject* ground = nullptr;
};

inline RigidBody2D* bodyOf(GameObject* object) {
    return object->getComponent<RigidBody2D>();
}

} // namespace gameplay_test
