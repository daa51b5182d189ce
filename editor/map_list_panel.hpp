#pragma once

// The editor's map list, a panel of its own: the shipped maps (opened, then saved as a map of the
// player's own), the player's maps (opened, renamed, deleted: renaming and deleting ask first;
// drafts and damaged files are marked, and a damaged file can only be deleted), a new map, and
// the name asked for when a map is saved under a name that is not the player's to take. The
// files themselves are handled by editor/player_maps.hpp; opening and saving by the editor.

#include <array>
#include <string>

class MapListPanel {
  public:
    struct Request {
        enum class Kind { None, Open, SaveAs };
        Kind kind = Kind::None;
        std::string name; // the map to open (a new one when no map has it), or to save as
    };

    // Draws the list (when shown) and whichever question is open. openMap is the map being
    // edited, unsaved whether it has changes a switch would lose.
    Request draw(bool shown, const std::string& openMap, bool unsaved);
    // Asks for the name to save under, saying why the current one will not do.
    void askSaveName(const std::string& why, const std::string& current);
    // A question is open: the editor's keys are its.
    bool asking() const { return question != Question::None; }

  private:
    enum class Question { None, SaveAs, New, Rename, Delete, OpenUnsaved };

    void drawList(const std::string& openMap, bool unsaved, Request& request);
    void drawQuestion(const std::string& openMap, bool unsaved, Request& request);
    // A name typed into the question's field; false, with the reason shown, when it will not do.
    bool acceptName(const std::string& name, bool newMap);
    void ask(Question next, const std::string& about, const std::string& why = "");

    Question question = Question::None;
    bool opened = false;     // the question's popup has been opened
    bool focusField = false; // the name field takes the keys at the next frame
    std::string subject;     // the map a question is about
    std::string reason;      // why a name is asked for, or why the one typed will not do
    std::array<char, 64> field{};
};
