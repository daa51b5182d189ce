#pragma once

// SIGINT (Ctrl+C in a terminal), SIGTERM (a session ending, a process manager) and SIGHUP (the
// terminal that started the game closed) close the game the way its window's close button does:
// the running state exits, and the window, a fullscreen mode and the audio device are released.
// The handler only raises a flag the frame loop reads.
void InstallQuitSignals();
bool QuitSignalled();
