#pragma once

// What the map editor keeps for the whole run, beyond any one game state: the document with its
// undo history, where it is saved, the themes there are, and how it is being viewed. The editor
// state is left for a "Try it" match and entered again afterwards; it finds all of it here.

#include "editor/editor_grid.hpp"
#include "editor/editor_view.hpp"
#include "editor/map_checks.hpp"
#include "editor/map_document.hpp"
#include "editor/map_saver.hpp"

#include "engine/game_state.hpp"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct ThemeBackground {
    std::string theme;
    std::string path; // the picture file under ../Resources/Texture/BG/
};

constexpr uint64_t kNothingSaved = ~0ull;

class EditorSession {
  public:
    static EditorSession& instance();

    // Opens the map of that name (the player's own from their folder, else a shipped one from the
    // game's), or starts a new one: a floor and four spawn points on it. A theme, when given, is
    // the new map's or replaces the old one's; an unknown one is named in a line with the themes
    // there are, and a known one is used. A map file that does not read cleanly is not opened:
    // false, with its problems in one line (also the status), and the session as it was.
    bool open(const std::string& name, const std::string& theme);

    // What the checks panel says above the map's problems: "Saved as a draft" only after a save
    // that kept this very revision as one, never for a save that was refused.
    std::string checksHeading() const;

    // The background picture of a theme, "" when no map of the pictures table has that theme.
    std::string backgroundFor(const std::string& theme) const;

    MapDocument document;
    std::vector<ThemeBackground> themes; // in the pictures table's order, each once
    // Names the player already agreed to save over during this run.
    std::set<std::string> replaceAgreed;
    // The document revision last saved (or opened), and the last save's outcome at it;
    // kNothingSaved once its file has been deleted while it is open.
    uint64_t savedRevision = 0;
    SaveResult::Outcome savedAs = SaveResult::Outcome::Failed;

    // The problems as last checked, and the document revision they were checked at.
    std::vector<MapProblem> problems;
    uint64_t checkedRevision = 0;
    bool checked = false;

    bool wideView = false;  // the death border and the area around the match's view
    bool showPanels = true; // the panels and the marks over the arena
    EditorGrid grid;        // what the mouse snaps to
    EditorFraming framing;  // the player's pan and zoom of the view
    std::string status;     // the last thing the editor said
    // Where leaving the editor (Ctrl+Q) goes: the end of the run when --edit started it, the main
    // menu's level select when the menus opened it. The window's close button ends the run.
    uint32_t leaveTo = GameStateId::Quit;
};

// The command line's --edit: the run starts in the editor on that map; false (the map's file
// does not read cleanly, said in one line) when it cannot.
bool StartEditor(const std::string& name, const std::string& theme);
// The menus' level select: the editor on that map (a new map when the name is empty), and
// leaving it goes back to the menus; false (said in one line) when the map's file does not read
// cleanly.
bool OpenEditorFromMenus(const std::string& name);
// The name of the map the editor has (or last had) open; "" before the editor ever ran.
std::string EditedMapName();
// A new map's name when none is given ("--edit" alone): one that opens no map of the player's.
std::string NewMapName();
