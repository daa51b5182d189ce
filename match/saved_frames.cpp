#include "match/saved_frames.hpp"

#include "engine/engine.hpp"
#include "gameplay/player.hpp"
#include "graphics/particle_emitter.hpp"
#include "graphics/shader_logic.hpp"
#include "match/play_game_state.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "objects/world_update.hpp"
#include "physics/collider.hpp"
#include "physics/physics_state.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>

struct SavedFrames::Slot {
    bool held = false;
    // False once an earlier frame was loaded: the frame is kept to compare the frame simulated
    // again with, but loading it would miss objects retired on the way there the first time.
    bool loadable = false;
    uint32_t frame = 0;
    uint64_t save = 0; // which save made it, counted over the run
    const GameState* state = nullptr;
    size_t objectCount = 0; // the object list's length
    const GameObject* lastObject = nullptr;
    std::vector<GameObject*> objects; // copied, in list order
    std::vector<uint32_t> indices;    // their places in the list
    size_t finishedCount = 0;
    StateBytes bytes;
    std::array<std::optional<Bot>, 4> computers;
    // With keepLinkIds: every saved object and component with its object's id, sorted.
    std::vector<std::pair<const void*, uint32_t>> linkIds;
};

class SavedFrames::SlotLinkIds : public StateArchive::LinkIds {
  public:
    explicit SlotLinkIds(const Slot& saved) : slot(saved) {}
    uint32_t idOf(const void* pointer) const override {
        auto it = std::lower_bound(slot.linkIds.begin(), slot.linkIds.end(), std::make_pair(pointer, 0u));
        return it != slot.linkIds.end() && it->first == pointer ? it->second : kUnknown;
    }
    static constexpr uint32_t kUnknown = 0xffffffffu;

  private:
    const Slot& slot;
};

namespace {

PlayGameState* runningMatch() {
    GameStateRecord* states = Engine::instance().states;
    return states != nullptr ? dynamic_cast<PlayGameState*>(states->state) : nullptr;
}

const GameState* runningState() {
    GameStateRecord* states = Engine::instance().states;
    return states != nullptr ? states->state : nullptr;
}

bool among(const std::vector<const GameObject*>& sorted, const GameObject* object) {
    return std::binary_search(sorted.begin(), sorted.end(), object);
}

std::vector<const GameObject*> sortedCopy(const std::vector<GameObject*>& objects) {
    std::vector<const GameObject*> sorted(objects.begin(), objects.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

bool bodiesSettled(const GameObject* object) {
    for (Component* c : object->components) {
        if (auto* body = dynamic_cast<RigidBody2D*>(c); body != nullptr && !BodySettled(*body)) {
            return false;
        }
    }
    return true;
}

// Switched off, no body with anything left to do, and the same for everything below it.
bool quiet(const GameObject* object) {
    if (object->active || !bodiesSettled(object)) {
        return false;
    }
    for (const Transform* child : object->transform.children) {
        if (!quiet(child->owner)) {
            return false;
        }
    }
    return true;
}

void gatherTree(GameObject* object, std::vector<GameObject*>& out) {
    out.push_back(object);
    for (Transform* child : object->transform.children) {
        gatherTree(child->owner, out);
    }
}

std::string objectName(const GameObject* object) {
    return object->name + " (object " + std::to_string(object->id) + ")";
}

} // namespace

std::string StateDifference::describe() const {
    return "frame " + std::to_string(frame) + ": " + object + ", " + part + ": " + mismatch.field + " " +
           mismatch.saved + " saved, " + mismatch.now + " now";
}

SavedFrames::SavedFrames(size_t depth) : slots(std::max<size_t>(depth, 1)) {}

SavedFrames::~SavedFrames() = default;

void SavedFrames::clear() {
    forgetAll();
    boundState = nullptr;
}

void SavedFrames::forgetAll() {
    for (Slot& slot : slots) {
        slot.held = false;
    }
    tracked.clear();
    retired.clear();
    scanned = 0;
    lastScanned = nullptr;
}

// Follows the running state: another state, or the object list rebuilt (a new match in the same
// state), starts afresh.
bool SavedFrames::bind() {
    const GameState* state = runningState();
    const auto& list = GameObjectList::instance().objects();
    const bool rebuilt = scanned > list.size() || (scanned > 0 && list[scanned - 1] != lastScanned);
    if (state != boundState || rebuilt) {
        forgetAll();
        boundState = state;
        localRoots.clear();
        interfaceRoots.clear();
        if (PlayGameState* match = runningMatch()) {
            localRoots = sortedCopy(match->localObjects);
            interfaceRoots = sortedCopy(match->followers);
        }
    }
    return state != nullptr;
}

std::optional<SavedFrames::Tracked> SavedFrames::track(GameObject* object, uint32_t index) const {
    Tracked t;
    t.object = object;
    t.index = index;
    for (const GameObject* up = object; up != nullptr && up != &WorldRoot();
         up = up->transform.parent != nullptr ? up->transform.parent->owner : nullptr) {
        if (among(localRoots, up)) {
            return std::nullopt;
        }
        if (among(interfaceRoots, up)) {
            t.role = Role::Interface;
        }
    }
    for (Component* c : object->components) {
        PieceKind kind = PieceKind::Switch;
        if (dynamic_cast<RigidBody2D*>(c) != nullptr) {
            kind = PieceKind::Body;
        } else if (dynamic_cast<Collider2D*>(c) != nullptr) {
            kind = PieceKind::Collider;
        } else if (dynamic_cast<ParticleEmitter*>(c) != nullptr || dynamic_cast<ShaderLogic*>(c) != nullptr) {
            kind = PieceKind::ShowsOnly;
        } else if (dynamic_cast<Logic*>(c) != nullptr) {
            kind = PieceKind::Behaviour;
        }
        t.parts.push_back({c, kind});
        t.rootBehaviour = t.rootBehaviour || kind == PieceKind::Behaviour;
    }
    t.rootBehaviour = t.rootBehaviour && object->transform.parent == &WorldRoot().transform;
    return t;
}

void SavedFrames::scanNewObjects() {
    const auto& list = GameObjectList::instance().objects();
    for (; scanned < list.size(); ++scanned) {
        if (auto t = track(list[scanned], static_cast<uint32_t>(scanned))) {
            tracked.push_back(std::move(*t));
        }
    }
    lastScanned = scanned > 0 ? list[scanned - 1] : nullptr;
}

// Stops copying every object tree whose root's behaviours are all finished, once nothing in it
// is switched on and no body in it has anything left for a step to do.
void SavedFrames::retireFinished() {
    std::vector<GameObject*> leaving;
    for (const Tracked& t : tracked) {
        if (!t.rootBehaviour || t.object->active) {
            continue;
        }
        const bool finished = std::all_of(t.parts.begin(), t.parts.end(), [](const Piece& p) {
            return p.kind != PieceKind::Behaviour || static_cast<Logic*>(p.component)->finished();
        });
        if (finished && quiet(t.object)) {
            gatherTree(t.object, leaving);
        }
    }
    if (leaving.empty()) {
        return;
    }
    for (GameObject* object : leaving) {
        retired.emplace_back(saves, object);
    }
    std::sort(leaving.begin(), leaving.end());
    std::erase_if(tracked, [&](const Tracked& t) {
        return std::binary_search(leaving.begin(), leaving.end(), t.object);
    });
}

SavedFrames::Slot* SavedFrames::find(uint32_t frame) {
    for (Slot& slot : slots) {
        if (slot.held && slot.frame == frame) {
            return &slot;
        }
    }
    return nullptr;
}

SavedFrames::Slot* SavedFrames::findLoadable(uint32_t frame) {
    Slot* slot = find(frame);
    return slot != nullptr && slot->loadable ? slot : nullptr;
}

bool SavedFrames::holds(uint32_t frame) const {
    return const_cast<SavedFrames*>(this)->findLoadable(frame) != nullptr;
}

// Switches, then the pose, then each component in the object's order. The interface keeps its
// switches only; what only shows keeps nothing. where, when given, names the part in which a
// comparison first differs.
void SavedFrames::carryObject(StateArchive& archive, Tracked& t, std::string* where) {
    auto note = [&](const std::string& part) {
        if (where != nullptr && where->empty() && (archive.mismatch() || archive.overrun())) {
            *where = part;
        }
    };
    GameObject& object = *t.object;
    archive.carryFlag("active", object.active);
    note("switches");
    if (t.role == Role::Simulation) {
        Transform& pose = object.transform;
        CARRY_STATE(archive, pose.position, pose.rotation, pose.scale, pose.worldPosition, pose.worldRotation,
                    pose.worldScale, pose.world);
        note("pose");
    }
    for (Piece& part : t.parts) {
        if (part.kind == PieceKind::ShowsOnly) {
            continue;
        }
        archive.carryFlag("enabled", part.component->enabled);
        if (t.role == Role::Simulation) {
            switch (part.kind) {
            case PieceKind::Body:
                CarryBodyState(archive, *static_cast<RigidBody2D*>(part.component));
                break;
            case PieceKind::Collider:
                CarryColliderState(archive, *static_cast<Collider2D*>(part.component));
                break;
            case PieceKind::Behaviour:
                static_cast<Logic*>(part.component)->carryState(archive);
                break;
            default:
                break;
            }
        }
        note(part.component->name);
    }
}

// The match's own fields, then what the engine, the timer, the generator and the physics world
// carry beyond the objects.
void SavedFrames::carryMatch(StateArchive& archive) {
    if (PlayGameState* match = runningMatch()) {
        match->carryState(archive);
    }
    Engine& engine = Engine::instance();
    FrameTimer& timer = FrameTimer::instance();
    RandomState random = GameRandom().state();
    uint32_t nextId = NextObjectId();
    uint64_t stepsRun = PhysicsStepsRun();
    CARRY_STATE(archive, random, nextId, stepsRun, engine.accumulator, timer.timeScale);
    if (archive.loading() && !archive.overrun()) {
        GameRandom().setState(random);
        SetNextObjectId(nextId);
        PhysicsStateRestored(stepsRun);
    }
}

void SavedFrames::saveFrame(uint32_t frame) {
    if (!bind()) {
        return;
    }
    ++saves;
    scanNewObjects();
    retireFinished();

    Slot* slot = find(frame);
    if (slot == nullptr) {
        slot = &*std::min_element(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) {
            return std::make_pair(a.held, a.save) < std::make_pair(b.held, b.save);
        });
    }
    const auto& list = GameObjectList::instance().objects();
    slot->held = true;
    slot->loadable = true;
    slot->frame = frame;
    slot->save = saves;
    slot->state = boundState;
    slot->objectCount = list.size();
    slot->lastObject = list.empty() ? nullptr : list.back();
    slot->finishedCount = retired.size();

    slot->objects.clear();
    slot->indices.clear();
    slot->bytes.clear();
    slot->linkIds.clear();
    StateArchive archive(StateArchive::Mode::Save, slot->bytes);
    for (Tracked& t : tracked) {
        slot->objects.push_back(t.object);
        slot->indices.push_back(t.index);
        carryObject(archive, t);
        if (linkIdsKept) {
            slot->linkIds.emplace_back(t.object, t.object->id);
            for (const Piece& part : t.parts) {
                slot->linkIds.emplace_back(part.component, t.object->id);
            }
        }
    }
    carryMatch(archive);
    std::sort(slot->linkIds.begin(), slot->linkIds.end());

    // A computer that its player asks during the simulation is part of it; one asked from
    // outside (an online machine's, whose decisions travel as actions) is not put back.
    PlayGameState* match = runningMatch();
    for (size_t i = 0; i < slot->computers.size(); ++i) {
        auto* bot = match != nullptr ? dynamic_cast<Bot*>(match->computers[i].get()) : nullptr;
        if (bot != nullptr) {
            slot->computers[i] = *bot;
        } else {
            slot->computers[i].reset();
        }
    }
    lastSaved = saves;
}

bool SavedFrames::loadFrame(uint32_t frame) {
    Slot* slot = findLoadable(frame);
    const auto& list = GameObjectList::instance().objects();
    if (slot == nullptr || slot->state != runningState() || slot->state != boundState ||
        slot->objectCount > list.size() ||
        (slot->objectCount > 0 && list[slot->objectCount - 1] != slot->lastObject)) {
        return false;
    }
    while (!retired.empty() && retired.back().first > slot->save) {
        retired.pop_back();
    }
    GameObjectList::instance().destroyNewest(slot->objectCount);

    tracked.clear();
    StateArchive archive(StateArchive::Mode::Load, slot->bytes);
    for (size_t i = 0; i < slot->objects.size(); ++i) {
        auto t = track(slot->objects[i], slot->indices[i]);
        tracked.push_back(std::move(*t));
        carryObject(archive, tracked.back());
    }
    carryMatch(archive);
    scanned = slot->objectCount;
    lastScanned = slot->lastObject;

    InvalidateWorldUpdate();
    if (PlayGameState* match = runningMatch()) {
        for (size_t i = 0; i < slot->computers.size(); ++i) {
            auto* bot = dynamic_cast<Bot*>(match->computers[i].get());
            const Player* player = match->players[i];
            const bool insideTheSimulation =
                computersAlwaysInside || (player != nullptr && player->actionSource == bot);
            if (bot != nullptr && slot->computers[i] && insideTheSimulation) {
                *bot = *slot->computers[i];
            }
        }
    }

    // The frames after it are simulated again.
    const uint64_t loaded = slot->save;
    for (Slot& later : slots) {
        if (later.held && later.save > loaded) {
            later.loadable = false;
        }
    }
    lastSaved = loaded;
    return true;
}

std::optional<StateDifference> SavedFrames::compareFrame(uint32_t frame) {
    Slot* slot = find(frame);
    if (slot == nullptr || slot->state != runningState()) {
        return std::nullopt;
    }
    StateDifference difference;
    difference.frame = frame;
    const auto& list = GameObjectList::instance().objects();
    if (list.size() != slot->objectCount) {
        difference.object = "the match";
        difference.part = "objects";
        difference.mismatch = {"count", std::to_string(slot->objectCount), std::to_string(list.size())};
        return difference;
    }
    SlotLinkIds ids(*slot);
    StateArchive archive(StateArchive::Mode::Compare, slot->bytes);
    if (linkIdsKept) {
        archive.compareLinksBy(&ids);
    }
    for (size_t i = 0; i < slot->objects.size(); ++i) {
        GameObject* object = list[slot->indices[i]];
        auto t = track(object, slot->indices[i]);
        std::string where;
        if (t) {
            carryObject(archive, *t, &where);
        }
        if (!t || !where.empty()) {
            difference.object = objectName(object);
            difference.part = t ? where : "copies";
            difference.mismatch = !t                   ? StateMismatch{"copied", "yes", "no"}
                                  : archive.mismatch() ? *archive.mismatch()
                                                       : StateMismatch{"length", "saved", "other"};
            return difference;
        }
    }
    carryMatch(archive);
    if (archive.mismatch() || archive.overrun()) {
        difference.object = "the match";
        difference.part = "phase, timers and end";
        difference.mismatch =
            archive.mismatch() ? *archive.mismatch() : StateMismatch{"length", "saved", "other"};
        return difference;
    }
    return std::nullopt;
}

SavedFrames::Figures SavedFrames::figures() const {
    Figures f;
    for (const Slot& slot : slots) {
        if (slot.held && slot.save == lastSaved) {
            f.bytes = slot.bytes.size();
            f.objects = slot.objects.size();
            f.finished = slot.finishedCount;
        }
    }
    return f;
}
