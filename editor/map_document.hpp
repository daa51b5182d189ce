#pragma once

// The map being edited, without any window: its platforms, spawn points, camera zoom, name and
// background theme, what is selected, and every change as a step that can be undone and redone.
// The editor state drives it from the mouse and the keys; tests drive it directly.
//
// Every value is kept on the map grid (0.01), as the map file keeps it, so what is saved loads
// back the same.

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
};

// Sizes and zooms the editor keeps to: a platform's inner plate is half a unit smaller than the
// platform, so it needs more than that; the zoom stays where the arena is neither a speck nor
// bigger than the background picture can cover.
constexpr float kMinPlatformWidth = 1.0f;
constexpr float kMinPlatformHeight = 0.6f;
constexpr float kMaxPlatformSide = 200.0f;
constexpr float kMinCameraZoom = 20.0f;
constexpr float kMaxCameraZoom = 60.0f;

class MapDocument {
  public:
    MapDocument() = default;
    MapDocument(const MapData& map, const std::string& theme);

    const MapData& map() const { return now.map; }
    const std::string& theme() const { return now.theme; }
    const EditorSelection& selection() const { return now.selection; }
    const PlatformEntry* selectedPlatform() const;
    // Grows with every change, undo and redo: the picture and the checks follow it.
    uint64_t revision() const { return changes; }

    // Selecting is not a change of the map and is not undone on its own.
    void select(EditorSelection selection);
    // What lies at a point of the world: a spawn point first (they are small and sit on
    // platforms), else the platform drawn on top; nothing when neither is there.
    EditorSelection pick(vec2 at) const;

    // Changes. Each one is a step of its own, or part of the open gesture.
    void addPlatform(vec2 at); // an 8 x 0.8 platform there, then selected
    void addSpawnPoint(vec2 at);
    void duplicateSelection(); // a copy one unit to the right and down, then selected
    void deleteSelection();
    void moveSelectionTo(vec2 at);
    void nudgeSelection(vec2 by);
    void rotateSelection(float degrees);             // a platform turns about its centre
    void setSelectionRotation(float degrees);        // a platform's turn, in (-180, 180]
    void resizeSelection(float width, float height); // a platform's size
    void setCameraZoom(float zoom);
    void setName(const std::string& name);
    void setTheme(const std::string& theme);

    // Changes between the two (a drag, a slider held) make one step together.
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
        EditorSelection selection;
    };
    // Applies an edit to a copy; when it changes anything, the state before becomes an undo step
    // (one per gesture) and the redo steps are dropped.
    template <class Edit> void change(Edit edit);

    Snapshot now;
    std::vector<Snapshot> undoSteps;
    std::vector<Snapshot> redoSteps;
    bool inGesture = false;
    bool gestureStepTaken = false;
    uint64_t changes = 0;
};
