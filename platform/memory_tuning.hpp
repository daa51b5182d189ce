#pragma once

// The software renderer allocates and frees many megabytes every frame. glibc hands large
// blocks straight back to the system and trims the heap eagerly, so each frame pays for fresh
// pages again (thousands of page faults a frame). Raising the thresholds keeps that memory in
// the process to be reused. Called once at start, before the window exists.
void KeepFreedMemoryForReuse();
