#pragma once

// What the mouse does in the editor, without any window: a click selects (Shift+click adds or
// takes out), a drag moves the selection, stretches or turns a platform by its handles, or, from
// empty ground, draws a box that selects what it holds; the middle button, or Space with the
// left, pans the view; the wheel turns (Alt: finely), Shift+wheel stretches and Ctrl+wheel
// zooms the view. Each drag of the map is one gesture of the document, so one undo step. The
// editor state feeds it one frame of input at a time; tests feed it directly.

#include "editor/editor_grid.hpp"
#include "editor/editor_view.hpp"
#include "editor/map_document.hpp"

#include <optional>

// One frame of the mouse and the keys that change what it does, as they are in this frame.
struct PointerFrame {
    std::optional<vec2> mouse; // window pixels; none while the mouse is not in the window
    // The left button's edges this frame, from the events: a click shorter than a frame has both.
    bool pressed = false;
    bool released = false;
    bool held = false;
    vec2 pressedAt; // where the left button went down
    bool middlePressed = false;
    bool middleHeld = false;
    float wheel = 0.0f; // notches, up is positive
    bool shift = false, ctrl = false, alt = false, space = false;
    bool overPanels = false; // the panels have the mouse: the map is not under it
};

class EditorPointer {
  public:
    enum class Drag { None, Move, Width, Height, Turn, Box, Pan };

    void update(const PointerFrame& in, MapDocument& doc, const EditorView& view, EditorFraming& framing,
                const EditorGrid& grid);
    // Undo or redo in the middle of a drag: the drag ends there, and the mouse changes nothing
    // more until its button is let go.
    void stop(MapDocument& doc);

    Drag drag() const { return current; }
    // A drag that changes the map is under way.
    bool changing() const;
    // The box being drawn, in window pixels, while drag() is Box.
    vec2 boxFrom() const { return pressPixel; }
    vec2 boxTo() const { return lastPixel; }

  private:
    void start(const PointerFrame& in, MapDocument& doc, const EditorView& view);
    void follow(const PointerFrame& in, MapDocument& doc, const EditorView& view, EditorFraming& framing,
                const EditorGrid& grid);
    void finish(MapDocument& doc, const EditorView& view);
    void wheel(const PointerFrame& in, MapDocument& doc, const EditorView& view, EditorFraming& framing);

    Drag current = Drag::None;
    bool byMiddle = false;  // the drag belongs to the middle button
    bool moved = false;     // the mouse has left the place it was pressed at
    bool boxAdds = false;   // the box adds to the selection (Shift)
    EditorSelection anchor; // the piece grabbed: it lands on the grid, the others follow
    vec2 grabOffset;        // from the mouse to the grabbed piece, in world units
    vec2 pressPixel, lastPixel;
};

// Where a platform's handles are, in window pixels: the width's at the right end, the height's
// at the top edge, and the turning one a little past the right end.
struct PlatformHandles {
    vec2 width, height, turn;
};
PlatformHandles HandlesOf(const PlatformEntry& platform, const EditorView& view);
