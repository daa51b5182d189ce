#include "editor/editor_pointer.hpp"

#include <cmath>

namespace {

using Kind = EditorSelection::Kind;

// One wheel notch turns the selection this much (Alt: the fine amount), or stretches a platform
// (with Shift).
constexpr float kWheelTurn = 5.0f;
constexpr float kFineWheelTurn = 1.0f;
constexpr float kWheelStretch = 0.5f;
// The turning handle snaps to these steps with Shift held.
constexpr float kTurnSnap = 15.0f;
// Handles are grabbed within this many pixels; the turning handle sits this far past the end.
constexpr float kHandlePixels = 9.0f;
constexpr float kTurnHandlePixels = 30.0f;
// A press changes nothing until the mouse has moved this far: a click only selects, even with the
// grid on and a piece off it.
constexpr float kDragPixels = 4.0f;

vec2 axisOf(float degrees) {
    return {std::cos(degrees * kDegToRad), std::sin(degrees * kDegToRad)};
}

bool near(vec2 a, vec2 b, float pixels) {
    return std::hypot(a.x - b.x, a.y - b.y) <= pixels;
}

} // namespace

PlatformHandles HandlesOf(const PlatformEntry& p, const EditorView& view) {
    const vec2 c{p.position.x, p.position.y};
    const vec2 along = axisOf(p.rotation.z);
    const vec2 up{-along.y, along.x};
    const vec2 end = view.toScreen(c + along * (p.scale.x * 0.5f));
    const vec2 screenAlong{along.x, -along.y};
    return {end, view.toScreen(c + up * (p.scale.y * 0.5f)), end + screenAlong * kTurnHandlePixels};
}

bool EditorPointer::changing() const {
    return current == Drag::Move || current == Drag::Width || current == Drag::Height ||
           current == Drag::Turn;
}

void EditorPointer::update(const PointerFrame& in, MapDocument& doc, const EditorView& view,
                           EditorFraming& framing, const EditorGrid& grid) {
    if (current != Drag::None) {
        follow(in, doc, view, framing, grid);
        if (byMiddle ? !in.middleHeld : in.released || !in.held) {
            finish(doc, view);
        }
    }
    // A press and its release in one frame (a quick click under slow frames) start and end here.
    if (current == Drag::None && in.pressed && !in.overPanels) {
        start(in, doc, view);
        if (current != Drag::None) {
            follow(in, doc, view, framing, grid);
            if (!in.held) {
                finish(doc, view);
            }
        }
    }
    if (current == Drag::None && in.middlePressed && in.middleHeld && in.mouse && !in.overPanels) {
        current = Drag::Pan;
        byMiddle = true;
        pressPixel = lastPixel = *in.mouse;
    }
    if (!in.overPanels) {
        wheel(in, doc, view, framing);
    }
}

void EditorPointer::stop(MapDocument& doc) {
    if (changing()) {
        doc.endGesture();
        current = Drag::None;
    }
}

void EditorPointer::start(const PointerFrame& in, MapDocument& doc, const EditorView& view) {
    pressPixel = lastPixel = in.pressedAt;
    moved = false;
    byMiddle = false;
    if (in.space) {
        current = Drag::Pan;
        return;
    }
    const vec2 at = view.toWorld(in.pressedAt);
    // A handle is grabbed with Shift held too: Shift makes the turn snap.
    if (const PlatformEntry* p = doc.selectedPlatform()) {
        const PlatformHandles h = HandlesOf(*p, view);
        current = near(h.turn, in.pressedAt, kHandlePixels)     ? Drag::Turn
                  : near(h.width, in.pressedAt, kHandlePixels)  ? Drag::Width
                  : near(h.height, in.pressedAt, kHandlePixels) ? Drag::Height
                                                                : Drag::None;
        if (current != Drag::None) {
            doc.beginGesture();
            return;
        }
    }
    const EditorSelection piece = doc.pick(at);
    if (piece.kind == Kind::None) {
        current = Drag::Box;
        boxAdds = in.shift;
        return;
    }
    if (in.shift) {
        doc.toggleSelected(piece);
        return;
    }
    // Grabbing a piece of a group moves the group; any other piece is selected alone.
    if (!doc.isSelected(piece)) {
        doc.select(piece);
    }
    anchor = piece;
    grabOffset = doc.placeOf(piece) - at;
    current = Drag::Move;
    doc.beginGesture();
}

void EditorPointer::follow(const PointerFrame& in, MapDocument& doc, const EditorView& view,
                           EditorFraming& framing, const EditorGrid& grid) {
    if (!in.mouse) {
        return; // out of the window: everything stays where the mouse left it
    }
    const vec2 mouse = *in.mouse;
    moved = moved || !near(mouse, pressPixel, kDragPixels);
    if (current == Drag::Pan) {
        framing = PanFraming(framing, view, mouse - lastPixel);
        lastPixel = mouse;
        return;
    }
    lastPixel = mouse;
    if (!moved || current == Drag::Box) {
        return;
    }
    const vec2 at = view.toWorld(mouse);
    const PlatformEntry* p = doc.selectedPlatform();
    const vec2 centre = p != nullptr ? vec2{p->position.x, p->position.y} : vec2{};
    const vec2 along = p != nullptr ? axisOf(p->rotation.z) : vec2{1.0f, 0.0f};
    const vec2 up{-along.y, along.x};
    switch (current) {
    case Drag::Move:
        doc.moveSelectionBy(grid.snap(at + grabOffset) - doc.placeOf(anchor));
        break;
    case Drag::Width:
        if (p != nullptr) {
            doc.resizeSelection(grid.snapLength(2.0f * std::fabs(dot(at - centre, along))), p->scale.y);
        }
        break;
    case Drag::Height:
        if (p != nullptr) {
            doc.resizeSelection(p->scale.x, grid.snapLength(2.0f * std::fabs(dot(at - centre, up))));
        }
        break;
    case Drag::Turn: {
        float degrees = std::atan2(at.y - centre.y, at.x - centre.x) * kRadToDeg;
        if (in.shift) {
            degrees = std::round(degrees / kTurnSnap) * kTurnSnap;
        }
        doc.setSelectionRotation(degrees);
        break;
    }
    default:
        break;
    }
}

void EditorPointer::finish(MapDocument& doc, const EditorView& view) {
    if (changing()) {
        doc.endGesture();
    } else if (current == Drag::Box && !moved) {
        // A click on empty ground.
        if (!boxAdds) {
            doc.select({});
        }
    } else if (current == Drag::Box) {
        doc.selectWithin(view.toWorld(pressPixel), view.toWorld(lastPixel), boxAdds);
    }
    current = Drag::None;
    byMiddle = false;
}

void EditorPointer::wheel(const PointerFrame& in, MapDocument& doc, const EditorView& view,
                          EditorFraming& framing) {
    if (in.wheel == 0.0f || !in.mouse) {
        return;
    }
    if (in.ctrl) {
        framing = ZoomFraming(framing, view, *in.mouse, in.wheel);
    } else if (in.shift) {
        if (const PlatformEntry* p = doc.selectedPlatform()) {
            doc.resizeSelection(p->scale.x + in.wheel * kWheelStretch, p->scale.y);
        }
    } else {
        doc.rotateSelection(in.wheel * (in.alt ? kFineWheelTurn : kWheelTurn));
    }
}
