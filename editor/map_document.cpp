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

vec2 placeIn(const MapData& map, EditorSelection piece) {
    if (piece.kind == Kind::Platform && piece.index < map.platforms.size()) {
        const vec3& at = map.platforms[piece.index].position;
        return {at.x, at.y};
    }
    if (piece.kind == Kind::SpawnPoint && piece.index < map.spawnPoints.size()) {
        const vec3& at = map.spawnPoints[piece.index];
        return {at.x, at.y};
    }
    return {};
}

void setPlace(MapData& map, EditorSelection piece, vec2 at) {
    const vec2 place = onGrid(at);
    if (piece.kind == Kind::Platform && piece.index < map.platforms.size()) {
        map.platforms[piece.index].position.x = place.x;
        map.platforms[piece.index].position.y = place.y;
    } else if (piece.kind == Kind::SpawnPoint && piece.index < map.spawnPoints.size()) {
        map.spawnPoints[piece.index].x = place.x;
        map.spawnPoints[piece.index].y = place.y;
    }
}

std::vector<EditorSelection> everyPiece(const MapData& map) {
    std::vector<EditorSelection> all;
    for (size_t i = 0; i < map.platforms.size(); ++i) {
        all.push_back({Kind::Platform, i});
    }
    for (size_t i = 0; i < map.spawnPoints.size(); ++i) {
        all.push_back({Kind::SpawnPoint, i});
    }
    return all;
}

bool finite(const vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool placeKept(const vec3& at) {
    return finite(at) && std::fabs(at.x) <= kMaxMapCoordinate && std::fabs(at.y) <= kMaxMapCoordinate;
}

// Whether the document keeps every value a change made. A piece the change left as it was is not
// judged again: a hand-written file may hold anything, and the rest of the map stays editable.
bool keeps(const MapData& next, const MapData& before) {
    if (!std::isfinite(next.cameraZoom)) {
        return false;
    }
    for (const PlatformEntry& p : next.platforms) {
        const bool asBefore =
            std::find(before.platforms.begin(), before.platforms.end(), p) != before.platforms.end();
        if (!asBefore && (!placeKept(p.position) || !finite(p.rotation) || !finite(p.scale))) {
            return false;
        }
    }
    for (const vec3& s : next.spawnPoints) {
        const bool asBefore =
            std::find(before.spawnPoints.begin(), before.spawnPoints.end(), s) != before.spawnPoints.end();
        if (!asBefore && !placeKept(s)) {
            return false;
        }
    }
    return true;
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
    markSaved();
}

EditorSelection MapDocument::selection() const {
    return now.selected.size() == 1 ? now.selected.front() : EditorSelection{};
}

bool MapDocument::isSelected(EditorSelection piece) const {
    return std::binary_search(now.selected.begin(), now.selected.end(), piece);
}

const PlatformEntry* MapDocument::selectedPlatform() const {
    const EditorSelection s = selection();
    return s.kind == Kind::Platform ? &now.map.platforms[s.index] : nullptr;
}

vec2 MapDocument::placeOf(EditorSelection piece) const {
    return placeIn(now.map, piece);
}

void MapDocument::markSaved() {
    savedMap = now.map;
    savedTheme = now.theme;
}

void MapDocument::select(EditorSelection selection) {
    now.selected.clear();
    const size_t count = selection.kind == Kind::Platform     ? now.map.platforms.size()
                         : selection.kind == Kind::SpawnPoint ? now.map.spawnPoints.size()
                                                              : 0;
    if (selection.index < count) {
        now.selected.push_back(selection);
    }
}

void MapDocument::toggleSelected(EditorSelection piece) {
    auto& list = now.selected;
    const auto at = std::lower_bound(list.begin(), list.end(), piece);
    if (at != list.end() && *at == piece) {
        list.erase(at);
        return;
    }
    const std::vector<EditorSelection> all = everyPiece(now.map);
    if (std::binary_search(all.begin(), all.end(), piece)) {
        list.insert(at, piece);
    }
}

void MapDocument::selectWithin(vec2 corner, vec2 otherCorner, bool add) {
    const vec2 low{std::min(corner.x, otherCorner.x), std::min(corner.y, otherCorner.y)};
    const vec2 high{std::max(corner.x, otherCorner.x), std::max(corner.y, otherCorner.y)};
    std::vector<EditorSelection> chosen = add ? now.selected : std::vector<EditorSelection>{};
    for (EditorSelection piece : everyPiece(now.map)) {
        const vec2 at = placeIn(now.map, piece);
        if (at.x >= low.x && at.x <= high.x && at.y >= low.y && at.y <= high.y) {
            chosen.push_back(piece);
        }
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    now.selected = std::move(chosen);
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
    if (inGesture && gestureStopped) {
        return;
    }
    Snapshot next = now;
    edit(next);
    if (next.map == now.map && next.theme == now.theme) {
        now.selected = next.selected;
        return;
    }
    if (!keeps(next.map, now.map)) {
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
        const vec2 place = onGrid(at);
        p.position = {place.x, place.y, kPlatformZ};
        p.scale = {8.0f, 0.8f, 1.0f};
        s.map.platforms.push_back(p);
        s.selected = {{Kind::Platform, s.map.platforms.size() - 1}};
    });
}

void MapDocument::addSpawnPoint(vec2 at) {
    change([&](Snapshot& s) {
        const vec2 place = onGrid(at);
        s.map.spawnPoints.push_back({place.x, place.y, 0.0f});
        s.selected = {{Kind::SpawnPoint, s.map.spawnPoints.size() - 1}};
    });
}

void MapDocument::duplicateSelection() {
    change([&](Snapshot& s) {
        std::vector<EditorSelection> copies;
        for (EditorSelection piece : s.selected) {
            if (piece.kind == Kind::Platform) {
                s.map.platforms.push_back(s.map.platforms[piece.index]);
                copies.push_back({Kind::Platform, s.map.platforms.size() - 1});
            } else {
                s.map.spawnPoints.push_back(s.map.spawnPoints[piece.index]);
                copies.push_back({Kind::SpawnPoint, s.map.spawnPoints.size() - 1});
            }
            setPlace(s.map, copies.back(), placeIn(s.map, piece) + kDuplicateOffset);
        }
        std::sort(copies.begin(), copies.end());
        s.selected = std::move(copies);
    });
}

void MapDocument::deleteSelection() {
    change([&](Snapshot& s) {
        // From the last, so the indices still to go stay where they were.
        for (auto piece = s.selected.rbegin(); piece != s.selected.rend(); ++piece) {
            const auto i = static_cast<std::ptrdiff_t>(piece->index);
            if (piece->kind == Kind::Platform) {
                s.map.platforms.erase(s.map.platforms.begin() + i);
            } else {
                s.map.spawnPoints.erase(s.map.spawnPoints.begin() + i);
            }
        }
        s.selected.clear();
    });
}

void MapDocument::moveSelectionTo(vec2 at) {
    if (!now.selected.empty()) {
        moveSelectionBy(onGrid(at) - placeOf(now.selected.front()));
    }
}

void MapDocument::moveSelectionBy(vec2 by) {
    change([&](Snapshot& s) {
        for (EditorSelection piece : s.selected) {
            setPlace(s.map, piece, placeIn(s.map, piece) + by);
        }
    });
}

void MapDocument::nudgeSelection(vec2 by) {
    moveSelectionBy(by);
}

void MapDocument::rotateSelection(float degrees) {
    if (now.selected.empty()) {
        return;
    }
    vec2 low = placeOf(now.selected.front()), high = low;
    for (EditorSelection piece : now.selected) {
        const vec2 at = placeOf(piece);
        low = {std::min(low.x, at.x), std::min(low.y, at.y)};
        high = {std::max(high.x, at.x), std::max(high.y, at.y)};
    }
    const vec2 middle = (low + high) * 0.5f;
    const float c = std::cos(degrees * kDegToRad), sn = std::sin(degrees * kDegToRad);
    change([&](Snapshot& s) {
        for (EditorSelection piece : s.selected) {
            const vec2 d = placeIn(s.map, piece) - middle;
            setPlace(s.map, piece, middle + vec2{d.x * c - d.y * sn, d.x * sn + d.y * c});
            if (piece.kind == Kind::Platform) {
                float& z = s.map.platforms[piece.index].rotation.z;
                z = turn(z + degrees);
            }
        }
    });
}

void MapDocument::setSelectionRotation(float degrees) {
    if (selectedPlatform() == nullptr) {
        return;
    }
    change([&](Snapshot& s) { s.map.platforms[s.selected.front().index].rotation.z = turn(degrees); });
}

void MapDocument::resizeSelection(float width, float height) {
    if (selectedPlatform() == nullptr) {
        return;
    }
    change([&](Snapshot& s) {
        // std::clamp would let a NaN through; the change then refuses it.
        vec3& scale = s.map.platforms[s.selected.front().index].scale;
        scale.x = OnMapGrid(std::clamp(width, kMinPlatformWidth, kMaxPlatformSide));
        scale.y = OnMapGrid(std::clamp(height, kMinPlatformHeight, kMaxPlatformSide));
    });
}

void MapDocument::mirrorSelection() {
    change([&](Snapshot& s) {
        const std::vector<EditorSelection> pieces = s.selected.empty() ? everyPiece(s.map) : s.selected;
        for (EditorSelection piece : pieces) {
            const vec2 at = placeIn(s.map, piece);
            setPlace(s.map, piece, {-at.x, at.y});
            if (piece.kind == Kind::Platform) {
                float& z = s.map.platforms[piece.index].rotation.z;
                z = turn(-z);
            }
        }
    });
}

void MapDocument::mirrorCopySelection() {
    change([&](Snapshot& s) {
        std::vector<EditorSelection> copies;
        for (EditorSelection piece : s.selected) {
            if (piece.kind == Kind::Platform) {
                PlatformEntry copy = s.map.platforms[piece.index];
                copy.position.x = OnMapGrid(-copy.position.x);
                copy.rotation.z = turn(-copy.rotation.z);
                if (copy != s.map.platforms[piece.index]) {
                    s.map.platforms.push_back(copy);
                    copies.push_back({Kind::Platform, s.map.platforms.size() - 1});
                }
            } else {
                vec3 copy = s.map.spawnPoints[piece.index];
                copy.x = OnMapGrid(-copy.x);
                if (copy != s.map.spawnPoints[piece.index]) {
                    s.map.spawnPoints.push_back(copy);
                    copies.push_back({Kind::SpawnPoint, s.map.spawnPoints.size() - 1});
                }
            }
        }
        std::sort(copies.begin(), copies.end());
        if (!copies.empty()) {
            s.selected = std::move(copies);
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
    gestureStopped = false;
}

void MapDocument::endGesture() {
    inGesture = false;
    gestureStepTaken = false;
    gestureStopped = false;
}

bool MapDocument::undo() {
    if (undoSteps.empty()) {
        return false;
    }
    // The gesture's changes so far are the last step; it goes, and the gesture stops here.
    gestureStopped = inGesture;
    gestureStepTaken = false;
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
    gestureStopped = inGesture;
    gestureStepTaken = false;
    undoSteps.push_back(std::move(now));
    now = std::move(redoSteps.back());
    redoSteps.pop_back();
    ++changes;
    return true;
}
