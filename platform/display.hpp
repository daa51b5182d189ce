#pragma once

// Whether an X display can be opened (the window needs one). Checked once at start, so that a
// run without a graphical session says so instead of aborting inside the window library.
bool DisplayAvailable();
