#pragma once

// What the menu screens read each frame: one-frame edges from the keyboard or from any of the
// four pads (a button counts in the frame it goes down).
struct MenuInputs {
    bool up = false;      // W, Up, D-pad up
    bool down = false;    // S, Down, D-pad down
    bool left = false;    // A, Left, D-pad left
    bool right = false;   // D, Right, D-pad right
    bool confirm = false; // T, Numpad 8, Enter, Space, A
    bool back = false;    // Escape, a pad's Back
    bool edit = false;    // E, a pad's Y: the level select's map editor
};

MenuInputs ReadMenuInputs();
