#pragma once

// Saved states of the running match, one per simulated frame, so that a machine can go back to a
// frame and simulate forward again (rollback), and a sync test can check that doing so changes
// nothing. A saved frame holds everything the simulation carries from one frame to the next:
// every object of the match with its switches and pose, every body (its contacts of the last
// step included) and collider, every behaviour's own fields (Logic::carryState), the match's
// phase, timers, crate schedule and end sequence (PlayGameState::carryState), the random
// generator, the next object id, the engine's unspent step time, the time scale, the physics
// step count and the computers that play inside the simulation. It covers at least what the
// world hash covers (match/world_hash.hpp); a test keeps the two in step.
//
// Left out, as in the hash: what only shows or sounds (particles and their emitters, screen
// effects, camera shake, sounds, rumble), and this machine's own objects (the pause menu, the
// frame rate, the online notice). The interface (the HUD and everything that follows the camera's
// shake on screen) keeps only what of it is switched on or off: its places follow the shake.
//
// Objects made after a saved frame are destroyed when it is loaded, newest first, and the next
// object id goes back, so the frames simulated again make them anew with the same ids, in the
// same order, at the end of every registry, exactly as the first time. Destroying rather than
// switching off keeps a long rollback-heavy match from filling the registries with copies, and
// keeps every pointer valid: whatever a kept object or the match points at was made before the
// frame (a contact's collider, a bullet's explosion, the banner's hearts) and is either kept
// or, when made since, pointed at only by fields the frame puts back.
//
// The cost stays small in a long match: an object whose behaviour is finished (a spent bullet, a
// finished explosion, an opened crate; Logic::finished) is copied until its body has settled,
// then no more. Nothing changes it from then on, so any frame from then on finds it as it is;
// loading a frame from before that takes it back into the copies.

#include "gameplay/bot.hpp"
#include "objects/random.hpp"
#include "objects/state_archive.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Component;
class GameObject;
class GameState;

// The first place where the world as it stands differs from a saved frame.
struct StateDifference {
    uint32_t frame = 0;
    std::string object; // the object's name and id, or "the match"
    std::string part;   // "pose", "switches", a component's kind, or what of the match
    StateMismatch mismatch;
    // "frame 120: BasicBullet (object 812), Bullet: lifetime 2.5 saved, 2.4833 now"
    std::string describe() const;
};

class SavedFrames {
  public:
    // Frames held at once: a rollback window of 8 and the frame it goes back to, with one spare.
    static constexpr size_t kDefaultDepth = 10;

    explicit SavedFrames(size_t depth = kDefaultDepth);
    ~SavedFrames();
    SavedFrames(const SavedFrames&) = delete;
    SavedFrames& operator=(const SavedFrames&) = delete;

    // Saves the world as it stands, between two simulated frames, as the given frame; the oldest
    // frame held makes room. A frame saved again replaces itself.
    void saveFrame(uint32_t frame);
    // Puts the world back exactly as it was when the frame was saved. Frames saved after it can
    // no longer be loaded (they belong to the frames about to be simulated again), only compared
    // with until they are saved again. False, with nothing changed, when the frame cannot be
    // loaded or was saved from another match.
    bool loadFrame(uint32_t frame);
    // Whether loadFrame(frame) would succeed in this match.
    bool holds(uint32_t frame) const;
    // The first object and field of the world as it stands that differ from a saved frame (the
    // sync test's check of a frame simulated again); nothing when all agree or the frame is not
    // held. Comparing links by object id needs keepLinkIds.
    std::optional<StateDifference> compareFrame(uint32_t frame);
    // Also keep, with every frame saved, the ids of the objects its pointers name, so that a
    // frame simulated again compares equal though its new objects sit at other addresses.
    void keepLinkIds(bool keep) { linkIdsKept = keep; }
    // Put every computer back on a load, even one whose player's actions pass through something
    // else first (the sync test's seats). By default only a computer its player asks directly is
    // inside the simulation; one asked from outside (an online machine's) is not put back.
    void computersInside(bool inside) { computersAlwaysInside = inside; }
    // Lets every frame go (the match is over).
    void clear();

    // The last frame saved: its bytes, the objects copied and those skipped as finished.
    struct Figures {
        size_t bytes = 0;
        size_t objects = 0;
        size_t finished = 0;
    };
    Figures figures() const;

  private:
    enum class Role : uint8_t { Simulation, Interface };
    enum class PieceKind : uint8_t { Body, Collider, Behaviour, ShowsOnly, Switch };
    struct Piece {
        Component* component;
        PieceKind kind;
    };
    // An object whose state every frame copies.
    struct Tracked {
        GameObject* object = nullptr;
        uint32_t index = 0; // in the object list
        Role role = Role::Simulation;
        bool rootBehaviour = false; // hangs from the World Root and has a behaviour
        std::vector<Piece> parts;
    };
    struct Slot;
    class SlotLinkIds;

    bool bind();
    void forgetAll();
    void scanNewObjects();
    std::optional<Tracked> track(GameObject* object, uint32_t index) const;
    void retireFinished();
    Slot* find(uint32_t frame);
    Slot* findLoadable(uint32_t frame);
    // Carries one tracked object (and the match's part) in the archive's direction.
    static void carryObject(StateArchive& archive, Tracked& tracked, std::string* where = nullptr);
    void carryMatch(StateArchive& archive);

    std::vector<Slot> slots;
    std::vector<Tracked> tracked; // in list order
    // Objects no longer copied, with the save that stopped copying them, in that order.
    std::vector<std::pair<uint64_t, GameObject*>> retired;
    size_t scanned = 0; // objects of the list looked at
    const GameObject* lastScanned = nullptr;
    const GameState* boundState = nullptr;
    std::vector<const GameObject*> localRoots;     // sorted
    std::vector<const GameObject*> interfaceRoots; // sorted
    uint64_t saves = 0;
    uint64_t lastSaved = 0;
    bool linkIdsKept = false;
    bool computersAlwaysInside = false;
};
