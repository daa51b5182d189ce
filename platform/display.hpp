#pragma once

// Whether an X display can be opened (the window needs one). Checked once at start, so that a
// run without a graphical session says so instead of aborting inside the window library.
//
// The check's connection stays open until ReleaseDisplayCheck. An X server with no other client
// (a bare Xvfb, a kiosk session) resets itself when its last connection closes and drops a
// connection that arrives just then; the window library aborts when it loses its connection
// that way. Kept open, the check bridges the gap until the window holds a connection of its own.
bool DisplayAvailable();
// Closes the check's connection; does nothing when none is open.
void ReleaseDisplayCheck();
