#pragma once

// The game is a console program on some systems, where the console window is hidden at
// start. On Linux there is no console window of our own to hide.
void hideConsoleWindow();
