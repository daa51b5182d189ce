#pragma once

// Back from the podium to the level select with the same players: the panels of player
// selection seated again from the match settings the last match was played with (people on
// their controls, computers at their level, everyone in the looks they had), as if they had
// just all pressed ready.

struct MenuController;

// Seats panels 1..TotalPlayer from the match settings; false, with one line, when the settings
// hold no players to seat (the menu then stays on the title).
bool SeatPlayersFromSettings(MenuController& menu);
