#include "editor/map_list_panel.hpp"

#include "editor/editor_session.hpp"
#include "editor/map_saver.hpp"
#include "editor/player_maps.hpp"
#include "engine/input_manager.hpp"
#include "objects/map_catalogue.hpp"
#include "objects/map_file_reader.hpp"

#include <imgui.h>

#include <cstdio>
#include <iostream>

namespace {

constexpr const char* kQuestionTitle = "Maps##question";
constexpr float kWrap = 420.0f;

const ImVec4 kMarked(1.0f, 0.6f, 0.4f, 1.0f);

// From the game's own input, which keeps a press that goes down and up between two frames
// (a quick Enter that the overlay's key state would miss).
bool keyPressed(sf::Keyboard::Key key) {
    return InputManager::instance().keyPressed(key);
}

// Said on standard output and in the editor's panel.
void tell(const std::string& line) {
    EditorSession::instance().status = line;
    std::cout << line << std::endl;
}

} // namespace

void MapListPanel::ask(Question next, const std::string& about, const std::string& why) {
    question = next;
    opened = false;
    subject = about;
    reason = why;
    std::snprintf(field.data(), field.size(), "%s", next == Question::New ? "" : about.c_str());
    focusField = true;
}

void MapListPanel::askSaveName(const std::string& why, const std::string& current) {
    ask(Question::SaveAs, current, why);
}

bool MapListPanel::acceptName(const std::string& name, bool newMap) {
    const MapCatalogue& maps = GameMaps();
    reason = SaveNameRefusal(name, maps);
    if (const PlayerMapFile* file = maps.playerFile(name); reason.empty() && newMap && file != nullptr) {
        reason = !file->damaged
                     ? "\"" + name + "\" is one of your maps already: open it from the list"
                     : "\"" + name + "\" is a damaged file of yours: delete it from the list first";
    }
    focusField = !reason.empty(); // back to the name, to mend it
    return reason.empty();
}

MapListPanel::Request MapListPanel::draw(bool shown, const std::string& openMap, bool unsaved) {
    Request request;
    if (shown) {
        drawList(openMap, unsaved, request);
    }
    if (question != Question::None) {
        drawQuestion(openMap, unsaved, request);
    }
    return request;
}

void MapListPanel::drawList(const std::string& openMap, bool unsaved, Request& request) {
    const MapCatalogue& maps = GameMaps();
    // Folded at first, so it covers no arena until asked for.
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f), ImGuiCond_Always);
    ImGui::SetNextWindowCollapsed(true, ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowBgAlpha(0.85f);
    ImGui::Begin("Maps", nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove);
    auto open = [&](const std::string& name) {
        if (unsaved) {
            ask(Question::OpenUnsaved, name);
        } else {
            request = {Request::Kind::Open, name};
        }
    };
    if (ImGui::Button("New map")) {
        ask(Question::New, "");
    }
    ImGui::Separator();
    ImGui::TextDisabled("Your maps (%s)",
                        maps.playerFolder().empty() ? "no folder for them" : maps.playerFolder().c_str());
    if (maps.playerFiles().empty()) {
        ImGui::TextDisabled("  none yet: a map you save goes here");
    }
    for (const PlayerMapFile& file : maps.playerFiles()) {
        ImGui::PushID(file.file.c_str());
        const bool damaged = file.damaged, leftOut = !file.problems.empty();
        ImGui::Text("%s%s%s", file.name == openMap ? "> " : "  ", file.name.c_str(),
                    damaged      ? " (damaged)"
                    : leftOut    ? " (left out)"
                    : file.draft ? " (draft)"
                                 : "");
        if (leftOut && ImGui::IsItemHovered()) {
            std::string why;
            for (const std::string& problem : file.problems) {
                why += (why.empty() ? "" : "; ") + problem;
            }
            ImGui::SetTooltip("%s", why.c_str());
        }
        ImGui::SameLine(200.0f);
        if (!damaged) {
            if (ImGui::SmallButton("Open")) {
                open(file.name);
            }
            ImGui::SameLine();
            if (ImGui::SmallButton("Rename")) {
                ask(Question::Rename, file.name);
            }
            ImGui::SameLine();
        }
        if (ImGui::SmallButton("Delete")) {
            ask(Question::Delete, file.name);
        }
        ImGui::PopID();
    }
    ImGui::Separator();
    ImGui::TextDisabled("Maps that come with the game (saved as a map of your own)");
    for (const CatalogueMap& map : maps.maps()) {
        if (!map.shipped) {
            continue;
        }
        ImGui::PushID(map.file.c_str());
        ImGui::Text("%s%s", map.name == openMap ? "> " : "  ", map.name.c_str());
        ImGui::SameLine(200.0f);
        if (ImGui::SmallButton("Open")) {
            open(map.name);
        }
        ImGui::PopID();
    }
    ImGui::End();
}

void MapListPanel::drawQuestion(const std::string& openMap, bool unsaved, Request& request) {
    if (!opened) {
        ImGui::OpenPopup(kQuestionTitle);
    }
    if (!ImGui::BeginPopupModal(kQuestionTitle, nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
        return;
    }
    opened = true;
    ImGui::PushTextWrapPos(kWrap);
    const bool typed =
        question == Question::SaveAs || question == Question::New || question == Question::Rename;
    const char* confirmLabel = "OK (Enter)";
    switch (question) {
    case Question::SaveAs:
        ImGui::TextWrapped("Save as a map of your own: %s", reason.c_str());
        confirmLabel = "Save (Enter)";
        break;
    case Question::New:
        ImGui::TextWrapped("A new map, named:");
        confirmLabel = "Start it (Enter)";
        break;
    case Question::Rename:
        ImGui::TextWrapped("Rename your map \"%s\" to:", subject.c_str());
        confirmLabel = "Rename (Enter)";
        break;
    case Question::Delete:
        ImGui::TextWrapped(
            "Delete your map \"%s\"? Its map file and its preview go, and this cannot be undone.",
            subject.c_str());
        confirmLabel = "Delete (Enter)";
        break;
    case Question::OpenUnsaved:
        ImGui::TextWrapped("The changes to \"%s\" are not saved and are lost. Open \"%s\" anyway?",
                           openMap.c_str(), subject.c_str());
        confirmLabel = "Open (Enter)";
        break;
    case Question::None:
        break;
    }
    if (typed) {
        if (focusField) {
            ImGui::SetKeyboardFocusHere();
            focusField = false;
        }
        ImGui::InputText("Name", field.data(), field.size(), ImGuiInputTextFlags_AutoSelectAll);
        if (question != Question::SaveAs && !reason.empty()) {
            ImGui::TextColored(kMarked, "%s", reason.c_str());
        }
        if (question == Question::New && unsaved) {
            ImGui::TextColored(kMarked, "The changes to \"%s\" are not saved and are lost.", openMap.c_str());
        }
    }
    const bool confirmed = ImGui::Button(confirmLabel) || keyPressed(sf::Keyboard::Enter);
    ImGui::SameLine();
    bool cancelled = ImGui::Button("Cancel (Escape)") || keyPressed(sf::Keyboard::Escape);
    ImGui::PopTextWrapPos();

    if (confirmed && !cancelled) {
        const std::string name = field.data();
        switch (question) {
        case Question::SaveAs:
            if (acceptName(name, false)) {
                request = {Request::Kind::SaveAs, name};
                cancelled = true;
            } else {
                tell(reason);
            }
            break;
        case Question::New:
            if (acceptName(name, true)) {
                request = {Request::Kind::Open, name};
                cancelled = true;
            } else {
                tell(reason);
            }
            break;
        case Question::Rename: {
            if (subject == openMap && unsaved) {
                reason = "Save or undo the changes to \"" + subject + "\" before renaming it";
                break;
            }
            const MapFileChange change = RenamePlayerMap(subject, name, GameMaps());
            tell(change.message);
            if (!change.done) {
                reason = change.message;
                focusField = true;
                break;
            }
            RereadGameMaps();
            if (subject == openMap) {
                request = {Request::Kind::Open, name};
            }
            cancelled = true;
            break;
        }
        case Question::Delete: {
            const MapFileChange change = DeletePlayerMap(subject, GameMaps());
            const bool wasOpen = change.done && subject == openMap;
            tell(change.message + (wasOpen ? "; it is still open here, and saving it makes it again" : ""));
            if (wasOpen) {
                EditorSession::instance().savedRevision = kNothingSaved;
            }
            RereadGameMaps();
            cancelled = true;
            break;
        }
        case Question::OpenUnsaved:
            request = {Request::Kind::Open, subject};
            cancelled = true;
            break;
        case Question::None:
            break;
        }
    }
    if (cancelled) {
        question = Question::None;
        ImGui::CloseCurrentPopup();
    }
    ImGui::EndPopup();
}
