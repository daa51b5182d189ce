#include "editor/map_document.hpp"

#include "editor/map_file.hpp"

#include <algorithm>
#include <cmath>

namespace {

using Kind = EditorSelection::Kind;

// A spawn point is picked within this distance of its place.
constexpr float kSpawnPickRadius = 1.0f;
// How far a duplicate lands from the original, so both can be seen and grabbed.
constexpr vec2 kDuplicateOffset{1.0f, -1.0f};
// The oldest steps go beyond this many.
constexpr size_t kMaxUndoSteps = 500;

vec2 onGrid(vec2 v) {
    return {OnMapGrid(v.x), OnMapGrid(v.y)};
}

float turn(float degrees) {
    float d = std::fmod(degrees, 360.0f);
    if (d > 180.0f) {
        d -= 360.0f;
    } else if (d <= -180.0f) {
        d += 360.0f;
    }
    return OnMapGrid(d);
}

bool inside(const PlatformEntry& p, vec2 at) {
    const float a = -p.rotation.z * kDegToRad;
    const vec2 d{at.x - p.position.x, at.y - p.position.y};
    const vec2 local{d.x * std::cos(a) - d.y * std::sin(a), d.x * std::sin(a) + d.y * std::cos(a)};
    return std::fabs(local.x) <= p.scale.x * 0.5f && std::fabs(local.y) <= p.scale.y * 0.5f;
}

} // namespace

MapDocument::MapDocument(const MapData& map, const std::string& theme) {
    // A hand-written file may hold finer values; the editor keeps what the file will keep.
    now.map = map;
    now.theme = theme;
    now.map.cameraZoom = OnMapGrid(now.map.cameraZoom);
    for (PlatformEntry& p : now.map.platforms) {
        for (float* v : {&p.position.x, &p.position.y, &p.rotation.x, &p.rotation.y, &p.rotation.z,
                         &p.scale.x, &p.scale.y, &p.scale.z}) {
            *v = OnMapGrid(*v);
        }
    }
    for (vec3& s : now.map.spawnPoints) {
        s = {OnMapGrid(s.x), OnMapGrid(s.y), OnMapGrid(s.z)};
    }
}

const PlatformEntry* MapDocument::selectedPlatform() const {
    const EditorSelection& s = now.selection;
    return s.kind == Kind::Platform && s.index < now.map.platforms.size() ? &now.map.platforms[s.index]
                                                                          : nullptr;
}

void MapDocument::select(EditorSelection selection) {
    const size_t count = selection.kind == Kind::Platform     ? now.map.platforms.size()
                         : selection.kind == Kind::SpawnPoint ? now.map.spawnPoints.size()
                                                              : 0;
    now.selection = selection.index < count ? selection : EditorSelection{};
}

EditorSelection MapDocument::pick(vec2 at) const {
    const auto& spawns = now.map.spawnPoints;
    for (size_t i = spawns.size(); i-- > 0;) {
        if (std::hypot(spawns[i].x - at.x, spawns[i].y - at.y) <= kSpawnPickRadius) {
            return {Kind::SpawnPoint, i};
        }
    }
    // Platforms share one depth, so where they overlap the first drawn shows.
    for (size_t i = 0; i < now.map.platforms.size(); ++i) {
        if (inside(now.map.platforms[i], at)) {
            return {Kind::Platform, i};
        }
    }
    return {};
}

template <class Edit> void MapDocument::change(Edit edit) {
    Snapshot next = now;
    edit(next);
    if (next.map == now.map && next.theme == now.theme) {
        now.selection = next.selection;
        return;
    }
    if (!inGesture || !gestureStepTaken) {
        undoSteps.push_back(now);
        if (undoSteps.size() > kMaxUndoSteps) {
            undoSteps.erase(undoSteps.begin());
        }
        gestureStepTaken = inGesture;
    }
    redoSteps.clear();
    now = std::move(next);
    ++changes;
}

void MapDocument::addPlatform(vec2 at) {
    change([&](Snapshot& s) {
        PlatformEntry p;
        vec2 place = onGrid(at);
        p.position = {place.x, place.y, kPlatformZ};
        p.scale = {8.0f, 0.8f, 1.0f};
        s.map.platforms.push_back(p);
        s.selection = {Kind::Platform, s.map.platforms.size() - 1};
    });
}

void MapDocument::addSpawnPoint(vec2 at) {
    change([&](Snapshot& s) {
        vec2 place = onGrid(at);
        s.map.spawnPoints.push_back({place.x, place.y, 0.0f});
        s.selection = {Kind::SpawnPoint, s.map.spawnPoints.size() - 1};
    });
}

void MapDocument::duplicateSelection() {
    change([&](Snapshot& s) {
        const size_t i = s.selection.index;
        if (s.selection.kind == Kind::Platform && i < s.map.platforms.size()) {
            PlatformEntry copy = s.map.platforms[i];
            copy.position.x = OnMapGrid(copy.position.x + kDuplicateOffset.x);
            copy.position.y = OnMapGrid(copy.position.y + kDuplicateOffset.y);
            s.map.platforms.push_back(copy);
            s.selection.index = s.map.platforms.size() - 1;
        } else if (s.selection.kind == Kind::SpawnPoint && i < s.map.spawnPoints.size()) {
            vec3 copy = s.map.spawnPoints[i];
            copy.x = OnMapGrid(copy.x + kDuplicateOffset.x);
            copy.y = OnMapGrid(copy.y + kDuplicateOffset.y);
            s.map.spawnPoints.push_back(copy);
            s.selection.index = s.map.spawnPoints.size() - 1;
        }
    });
}

void MapDocument::deleteSelection() {
    change([&](Snapshot& s) {
        const auto i = static_cast<std::ptrdiff_t>(s.selection.index);
        if (s.selection.kind == Kind::Platform && s.selection.index < s.map.platforms.size()) {
            s.map.platforms.erase(s.map.platforms.begin() + i);
        } else if (s.selection.kind == Kind::SpawnPoint && s.selection.index < s.map.spawnPoints.size()) {
            s.map.spawnPoints.erase(s.map.spawnPoints.begin() + i);
        }
        s.selection = {};
    });
}

void MapDocument::moveSelectionTo(vec2 at) {
    change([&](Snapshot& s) {
        vec2 place = onGrid(at);
        const size_t i = s.selection.index;
        if (s.selection.kind == Kind::Platform && i < s.map.platforms.size()) {
            s.map.platforms[i].position.x = place.x;
            s.map.platforms[i].position.y = place.y;
        } else if (s.selection.kind == Kind::SpawnPoint && i < s.map.spawnPoints.size()) {
            s.map.spawnPoints[i].x = place.x;
            s.map.spawnPoints[i].y = place.y;
        }
    });
}

void MapDocument::nudgeSelection(vec2 by) {
    const size_t i = now.selection.index;
    if (const PlatformEntry* p = selectedPlatform()) {
        moveSelectionTo(vec2{p->position.x, p->position.y} + by);
    } else if (now.selection.kind == Kind::SpawnPoint && i < now.map.spawnPoints.size()) {
        moveSelectionTo(vec2{now.map.spawnPoints[i].x, now.map.spawnPoints[i].y} + by);
    }
}

void MapDocument::rotateSelection(float degrees) {
    if (const PlatformEntry* p = selectedPlatform()) {
        setSelectionRotation(p->rotation.z + degrees);
    }
}

void MapDocument::setSelectionRotation(float degrees) {
    change([&](Snapshot& s) {
        if (s.selection.kind == Kind::Platform && s.selection.index < s.map.platforms.size()) {
            s.map.platforms[s.selection.index].rotation.z = turn(degrees);
        }
    });
}

void MapDocument::resizeSelection(float width, float height) {
    change([&](Snapshot& s) {
        if (s.selection.kind == Kind::Platform && s.selection.index < s.map.platforms.size()) {
            vec3& scale = s.map.platforms[s.selection.index].scale;
            scale.x = OnMapGrid(std::clamp(width, kMinPlatformWidth, kMaxPlatformSide));
            scale.y = OnMapGrid(std::clamp(height, kMinPlatformHeight, kMaxPlatformSide));
        }
    });
}

void MapDocument::setCameraZoom(float zoom) {
    change(
        [&](Snapshot& s) { s.map.cameraZoom = OnMapGrid(std::clamp(zoom, kMinCameraZoom, kMaxCameraZoom)); });
}

void MapDocument::setName(const std::string& name) {
    change([&](Snapshot& s) { s.map.name = name; });
}

void MapDocument::setTheme(const std::string& theme) {
    change([&](Snapshot& s) { s.theme = theme; });
}

void MapDocument::beginGesture() {
    inGesture = true;
    gestureStepTaken = false;
}

void MapDocument::endGesture() {
    inGesture = false;
    gestureStepTaken = false;
}

bool MapDocument::undo() {
    if (undoSteps.empty()) {
        return false;
    }
    endGesture();
    redoSteps.push_back(std::move(now));
    now = std::move(undoSteps.back());
    undoSteps.pop_back();
    ++changes;
    return true;
}

bool MapDocument::redo() {
    if (redoSteps.empty()) {
        return false;
    }
    endGesture();
    undoSteps.push_back(std::move(now));
    now = std::move(redoSteps.back());
    redoSteps.pop_back();
    ++changes;
    return true;
}
