#pragma once

// Adds the "Sound" section to the F3 debug overlay: every loaded event path with a button to
// play it, a free path field, and the master volume, mute and pause, for checking sounds by ear.
// Registers once however often it is called.
void RegisterSoundDebugPanel();
// The section's contents: ImGui calls, inside a window of the current ImGui frame.
void DrawSoundPanel();
