#pragma once

// The map editor's screen (only with --edit): the arena drawn by the match's own builder and
// renderer with its background, platforms and camera, the editor's marks over it (spawn points,
// the selection and its handles, the match's view and the death border), and the panels in Dear
// ImGui. The mouse (EditorPointer) selects, drags, stretches, turns, pans and zooms; the keys add,
// duplicate, delete, nudge, mirror, undo and redo, save, quit, and start a "Try it" match of four
// computers, from which Escape comes back. Everything edited lives in the EditorSession, so
// nothing is lost while the match runs. Unsaved changes show in the window's title and the
// panel, and quitting with them (the close button, Ctrl+Q) asks first: save, discard or cancel.

#include "editor/editor_pointer.hpp"
#include "editor/editor_view.hpp"
#include "editor/map_list_panel.hpp"
#include "engine/game_state.hpp"

#include <array>
#include <cstdint>
#include <string>

class EditorGameState : public GameState {
  public:
    // Loads the pictures the arena needs.
    EditorGameState();
    ~EditorGameState() override;

    void Load() override;
    void Update() override;
    void Exit() override;
    // With unsaved changes, asks first; without, quits at once.
    bool CloseRequested() override;

    // A quick match of four computers on the map as it stands; Escape in it comes back here.
    void TryIt();
    // Saves the map, asking first before saving over a file (replace answers that question).
    void Save(bool replace);
    // The framing the picture is drawn with this frame.
    EditorView View() const;

  private:
    void rebuildPicture();
    void recheck();
    void loadBackground();
    void handleKeys();
    void handleMouse();
    void drawPanels();
    void drawMarks();
    void say(const std::string& line);
    // Keys of the tools around the map: the quit question's answers, Ctrl+Q, the grid, mirroring,
    // the view's framing; undo and redo end a drag first. True when the key was taken.
    bool handleToolKeys(bool ctrl, bool shift);
    bool answerQuitQuestion();
    // Quits, or asks first with unsaved changes; the close button ends the run, Ctrl+Q leaves for
    // wherever the session says.
    void askToQuit(bool closeButton);
    void leave();
    void followQuit();
    void showQuitQuestion();
    void showTitle();
    void frameCamera();
    vec2 placingPoint() const;
    void drawToolPanel();
    void drawGrid();
    // The map list and its questions, and what they ask of the editor.
    void drawMapList();
    // Another map (or a new one) is now in the session: everything built for the last one goes.
    void documentReplaced();
    // A word on the name in the checks panel when the map cannot be saved under it.
    void drawNameNotice();

    uint64_t builtRevision = ~0ull;
    std::string builtTheme;
    bool builtWide = false;
    bool zoomHeld = false; // the zoom slider is held: the wide view shows what it changes
    EditorPointer pointer;
    bool askQuit = false;       // the unsaved-changes question is open
    bool quitAfterSave = false; // its answer was Save: quit once the map is saved
    bool closing = false;       // the close button asked: quitting ends the run
    std::string shownTitle;
    bool askReplace = false;
    std::array<char, 64> nameField{};
    bool typingName = false;
    MapListPanel mapList;
};
