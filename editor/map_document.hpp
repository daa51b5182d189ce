#pragma once

// The map being edited, without any window: its platforms, spawn points, camera zoom, name and
// background theme, what is selected (one piece or several), and every change as a step that can
// be undone and redone. The editor state drives it from the mouse and the keys; tests drive it
// directly.
//
// Every value is kept on the map grid (0.01), as the map file keeps it, so what is saved loads
// back the same. A change that would leave a value not finite, or put a piece further than
// kMaxMapCoordinate from the middle, is refused whole: nothing changes and no step is taken.
// Sizes and the camera zoom are clamped to their ranges instead, as the handles and sliders are
// (an infinite one to its end; a NaN is refused).

#include "objects/json_data.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct EditorSelection {
    enum class Kind { None, Platform, SpawnPoint };
    Kind kind = Kind::None;
    size_t index = 0;
    bool operator==(const EditorSelection&) const = default;
    auto operator<=>(const EditorSelection&) const = default;
};

// Sizes and zooms the editor keeps to: a platform's inner plate is half a unit smaller than the
// platform, so it needs more than that; the zoom stays where the arena is neither a speck nor
// bigger than the background picture can cover.
constexpr float kMinPlatformWidth = 1.0f;
constexpr float kMinPlatformHeight = 0.6f;
constexpr float kMaxPlatformSide = 200.0f;
constexpr float kMinCameraZoom = 20.0f;
constexpr float kMaxCameraZoom = 60.0f;
// Places the document keeps to, each way from the middle: far past the death border of the widest
// zoom, so nothing a player means is refused, and where the panel's fields reach.
constexpr float kMaxMapCoordinate = 200.0f;

class MapDocument {
  public:
    MapDocument() = default;
    MapDocument(const MapData& map, const std::string& theme);

    const MapData& map() const { return now.map; }
    const std::string& theme() const { return now.theme; }
    // The one piece selected; None when nothing or several are.
    EditorSelection selection() const;
    // Every piece selected: platforms, then spawn points, each in their order.
    const std::vector<EditorSelection>& selected() const { return now.selected; }
    bool isSelected(EditorSelection piece) const;
    const PlatformEntry* selectedPlatform() const;
    // Where a platform's centre or a spawn point is.
    vec2 placeOf(EditorSelection piece) const;
    // Grows with every change, undo and redo: the picture and the checks follow it.
    uint64_t revision() const { return changes; }

    // Whether the map or its theme differ from what was last saved (or opened): undoing back to
    // that clears it again.
    bool unsaved() const { return now.map != savedMap || now.theme != savedTheme; }
    void markSaved();

    // Selecting is not a change of the map and is not undone on its own.
    void select(EditorSelection selection); // only that piece (None: nothing)
    void toggleSelected(EditorSelection piece);
    // The pieces whose centres lie in the box between two corners, instead of or added to those
    // selected before.
    void selectWithin(vec2 corner, vec2 otherCorner, bool add);
    // What lies at a point of the world: a spawn point first (they are small and sit on
    // platforms), else the platform drawn on top; nothing when neither is there.
    EditorSelection pick(vec2 at) const;

    // Changes. Each one is a step of its own, or part of the open gesture; what acts on the
    // selection acts on every selected piece at once.
    void addPlatform(vec2 at); // an 8 x 0.8 platform there, then selected
    void addSpawnPoint(vec2 at);
    void duplicateSelection(); // copies one unit to the right and down, then selected
    void deleteSelection();
    void moveSelectionTo(vec2 at); // the first selected piece to there, the others alongside
    void moveSelectionBy(vec2 by);
    void nudgeSelection(vec2 by);
    // One platform turns about its centre; several pieces turn together about the middle of
    // the box around their centres, each platform turning as much.
    void rotateSelection(float degrees);
    void setSelectionRotation(float degrees);        // one platform's turn, in (-180, 180]
    void resizeSelection(float width, float height); // one platform's size
    // Mirrors the selected pieces, or the whole map when nothing is selected, about the middle
    // (x = 0): each x becomes -x and each turn its opposite.
    void mirrorSelection();
    // Adds mirrored copies of the selected pieces and selects them; a piece that is its own
    // mirror (on the middle, level or upside down) gets no copy.
    void mirrorCopySelection();
    void setCameraZoom(float zoom);
    void setName(const std::string& name);
    void setTheme(const std::string& theme);

    // Changes between the two (a drag, a slider held) make one step together. Undo or redo in
    // the middle of a gesture ends it there: what it did so far is one step, which undo takes
    // back, and the gesture changes nothing more until it is ended.
    void beginGesture();
    void endGesture();
    bool gestureOpen() const { return inGesture; }

    bool undo();
    bool redo();
    bool canUndo() const { return !undoSteps.empty(); }
    bool canRedo() const { return !redoSteps.empty(); }

  private:
    struct Snapshot {
        MapData map;
        std::string theme;
        std::vector<EditorSelection> selected; // sorted, each piece once
    };
    // Applies an edit to a copy; when it changes anything, the state before becomes an undo step
    // (one per gesture) and the redo steps are dropped.
    template <class Edit> void change(Edit edit);

    Snapshot now;
    std::vector<Snapshot> undoSteps;
    std::vector<Snapshot> redoSteps;
    MapData savedMap;
    std::string savedTheme;
    bool inGesture = false;
    bool gestureStepTaken = false;
    bool gestureStopped = false;
    uint64_t changes = 0;
};
