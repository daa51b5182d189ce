#include "editor/editor_game_state.hpp"

#include "editor/editor_session.hpp"
#include "editor/map_file.hpp"
#include "engine/engine.hpp"
#include "engine/input_manager.hpp"
#include "graphics/debug_overlay.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "match/arena.hpp"
#include "match/match_run.hpp"
#include "match/quick_match.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

using Kind = EditorSelection::Kind;

// Nudges by the arrow keys, and with Shift held.
constexpr float kNudge = 0.1f;
constexpr float kBigNudge = 1.0f;
// Grid lines closer than this many pixels are thinned out.
constexpr float kGridLinePixels = 10.0f;
// A "Try it" match: four computers, three lives, three minutes.
constexpr int kTrialLives = 3;
constexpr int kTrialSeconds = 180;

const ImU32 kPlayerMarks[4] = {IM_COL32(238, 75, 62, 255), IM_COL32(62, 127, 234, 255),
                               IM_COL32(67, 193, 90, 255), IM_COL32(246, 199, 54, 255)};
const ImU32 kInk = IM_COL32(40, 30, 60, 255);
const ImU32 kSelected = IM_COL32(255, 190, 46, 255);
const ImU32 kProblem = IM_COL32(255, 60, 60, 255);
const ImU32 kGridLine = IM_COL32(255, 255, 255, 40);
const ImU32 kBox = IM_COL32(255, 190, 46, 60);

constexpr const char* kKeyHelp[] = {
    "Click: select a platform or spawn point; drag: move the selection",
    "Shift+click: add to the selection or take out; drag on empty ground: select in a box",
    "Handles: stretch (squares) and turn (circle) a platform (Shift: 15 deg steps)",
    "Wheel: turn 5 deg (Alt 1 deg); Shift+wheel: stretch",
    "Middle drag or Space+drag: pan; Ctrl+wheel: zoom the view; Home: the match's view",
    "N: new platform at the mouse; P: new spawn point",
    "Ctrl+D: duplicate; Delete: delete",
    "M: mirror the selection (nothing selected: the map); Shift+M: mirrored copy",
    "G: grid on or off (placing, moving and stretching snap to 0.5)",
    "Arrows: nudge 0.1 (Shift: 1)",
    "Ctrl+Z: undo; Ctrl+Y: redo",
    "V: wide view (death border); H: hide panels",
    "T: try it with four computers (Escape: back)",
    "Ctrl+S: save; Ctrl+Q: quit, or back to the level select that opened the editor (asks first with unsaved "
    "changes)",
};

ImVec2 im(vec2 v) {
    return {v.x, v.y};
}

vec2 axisOf(float degrees) {
    return {std::cos(degrees * kDegToRad), std::sin(degrees * kDegToRad)};
}

bool imguiReady() {
    return DebugOverlay::instance().initialised();
}

void setWindowTitle(const std::string& title) {
    Engine& engine = Engine::instance();
    if (engine.window && !engine.headless) {
        engine.window->setTitle(title);
    }
}

bool modifierHeld(sf::Keyboard::Key left, sf::Keyboard::Key right) {
    const InputManager& in = InputManager::instance();
    return in.keyHeld(left) || in.keyHeld(right);
}

} // namespace

EditorGameState::EditorGameState() {
    if (!Engine::instance().canDraw()) {
        return;
    }
    for (const TextureFile& t : kArenaTextures) {
        ResourceManager::instance().loadTexture(t.name, t.path);
    }
}

EditorGameState::~EditorGameState() {
    for (const TextureFile& t : kArenaTextures) {
        ResourceManager::instance().removeTexture(t.name);
    }
}

void EditorGameState::Load() {
    // Back from a "Try it" match: the next match is an ordinary one again. The window's close
    // button pressed during it is answered here, where the work is.
    MatchRun& run = MatchRun::instance();
    const bool closeAsked = run.trial && run.trial->closeAsked;
    run.trial.reset();
    Engine& engine = Engine::instance();
    if (engine.window && engine.canDraw()) {
        engine.window->setMouseCursorVisible(true);
    }
    builtRevision = ~0ull;
    pointer = {};
    askReplace = false;
    GraphicsManager::instance().EnableDepthAndBlending();
    rebuildPicture();
    if (closeAsked && CloseRequested()) {
        requestState(GameStateId::Quit);
    }
}

void EditorGameState::Exit() {
    EditorSession::instance().document.endGesture();
    Engine& engine = Engine::instance();
    if (engine.window && engine.canDraw()) {
        engine.window->setMouseCursorVisible(false);
    }
    ResourceManager::instance().removeTexture("Background");
    DestroyStateObjects();
    shownTitle.clear();
    setWindowTitle(kWindowTitle);
}

EditorView EditorGameState::View() const {
    const EditorSession& session = EditorSession::instance();
    const Engine& engine = Engine::instance();
    EditorView view;
    view.zoom = EditorViewZoom(session.document.map().cameraZoom, session.wideView || zoomHeld) *
                session.framing.scale;
    view.centre = session.framing.centre;
    view.viewport = computeViewport(engine.width, engine.height);
    view.windowHeight = static_cast<float>(engine.height);
    return view;
}

void EditorGameState::say(const std::string& line) {
    EditorSession::instance().status = line;
    std::cout << line << std::endl;
}

void EditorGameState::loadBackground() {
    EditorSession& session = EditorSession::instance();
    ResourceManager& resources = ResourceManager::instance();
    resources.removeTexture("Background");
    builtTheme = session.document.theme();
    if (!Engine::instance().canDraw()) {
        return;
    }
    const std::string path = session.backgroundFor(builtTheme);
    if (path.empty() || resources.loadTexture("Background", path) == nullptr) {
        resources.loadTexture("Background", kFallbackBackgroundPath);
    }
}

// The picture follows the document: taken down and built again by the match's own builder.
void EditorGameState::rebuildPicture() {
    EditorSession& session = EditorSession::instance();
    if (builtTheme != session.document.theme() || builtRevision == ~0ull) {
        loadBackground();
    }
    DestroyStateObjects();
    GameObject* background = GameObjectList::instance().create("Background");
    auto* picture = background->addComponent<SpriteRenderer>();
    picture->shader = ResourceManager::instance().getShader("Blackhole");
    picture->setTexture("Background");
    BuildArena(camera, session.document.map(), background);
    builtWide = session.wideView || zoomHeld;
    camera.zoom = View().zoom;
    camera.Recompute();
    builtRevision = session.document.revision();
}

void EditorGameState::recheck() {
    EditorSession& session = EditorSession::instance();
    // The drop test needs the object world to itself.
    DestroyStateObjects();
    session.problems = CheckMap(session.document.map());
    session.checkedRevision = session.document.revision();
    session.checked = true;
    rebuildPicture();
}

void EditorGameState::Update() {
    EditorSession& session = EditorSession::instance();
    MapDocument& doc = session.document;
    handleMouse();
    handleKeys();
    if (imguiReady() && session.showPanels) {
        drawPanels();
        drawMarks();
    }
    if (imguiReady()) {
        drawMapList();
    }
    if (imguiReady() && askReplace) {
        ImGui::OpenPopup("Save over?");
    }
    if (imguiReady() && ImGui::BeginPopupModal("Save over?", nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
        // The saver's question: a damaged file says what of it is lost.
        ImGui::PushTextWrapPos(420.0f);
        ImGui::TextWrapped("%s", session.status.c_str());
        ImGui::PopTextWrapPos();
        if (ImGui::Button("Save over (Enter)")) {
            Save(true);
        }
        ImGui::SameLine();
        if (ImGui::Button("Cancel (Escape)")) {
            askReplace = false;
        }
        if (!askReplace) {
            ImGui::CloseCurrentPopup();
        }
        ImGui::EndPopup();
    }
    showQuitQuestion();
    followQuit();
    const bool settled = !doc.gestureOpen() && !pointer.changing();
    if (settled && (!session.checked || session.checkedRevision != doc.revision())) {
        recheck();
    } else if (builtRevision != doc.revision() || builtTheme != doc.theme() ||
               builtWide != (session.wideView || zoomHeld)) {
        rebuildPicture();
    }
    frameCamera();
    showTitle();
}

void EditorGameState::TryIt() {
    EditorSession& session = EditorSession::instance();
    const MapData& map = session.document.map();
    session.document.endGesture();
    std::string background = session.backgroundFor(session.document.theme());
    MatchRun::instance().trial =
        TrialMatch{map, background.empty() ? kFallbackBackgroundPath : background, GameStateId::Editor};
    QuickMatch match;
    match.map = map.name;
    match.players = 4;
    match.bots = 4;
    match.lives = kTrialLives;
    match.seconds = kTrialSeconds;
    WriteQuickMatchSettings(match);
    say("Trying \"" + map.name + "\" with four computers: Escape comes back to the editor");
    requestState(GameStateId::Play);
}

void EditorGameState::Save(bool replace) {
    EditorSession& session = EditorSession::instance();
    MapDocument& doc = session.document;
    askReplace = false;
    // A shipped map, or a name of the game's own: the player's copy gets a name of their own.
    if (std::string why = SaveNameRefusal(doc.map().name, GameMaps()); !why.empty()) {
        mapList.askSaveName(why, doc.map().name);
        say("Map \"" + doc.map().name + "\" was not saved: " + why + "; give it a name of your own");
        return;
    }
    if (!session.checked || session.checkedRevision != doc.revision()) {
        recheck();
    }
    SaveRequest request;
    request.map = doc.map();
    request.theme = doc.theme();
    request.clean = session.problems.empty();
    request.replaceExisting = replace || session.replaceAgreed.count(doc.map().name) != 0;
    SaveResult result = SaveMap(request, GameMaps());
    if (result.outcome == SaveResult::Outcome::NeedsConfirmation) {
        askReplace = true;
        say(result.message);
        return;
    }
    if (result.outcome != SaveResult::Outcome::Failed) {
        session.replaceAgreed.insert(doc.map().name);
        doc.markSaved();
        session.savedRevision = doc.revision();
        session.savedAs = result.outcome;
        RereadGameMaps();
    }
    say(result.message);
}

void EditorGameState::handleKeys() {
    if ((imguiReady() && ImGui::GetIO().WantTextInput) || mapList.asking()) {
        return; // the keys are typing a name, or answering the map list's question
    }
    EditorSession& session = EditorSession::instance();
    MapDocument& doc = session.document;
    const InputManager& in = InputManager::instance();
    // A modifier counts when it was down at any time this frame: a quick chord can go down and
    // be let go again between two frames, or its key and its release arrive a frame after it.
    auto down = [&](sf::Keyboard::Key left, sf::Keyboard::Key right) {
        for (sf::Keyboard::Key k : {left, right}) {
            if (in.keyHeld(k) || in.keyPressed(k) || in.keyReleased(k)) {
                return true;
            }
        }
        return false;
    };
    const bool ctrl = down(sf::Keyboard::LControl, sf::Keyboard::RControl);
    const bool shift = down(sf::Keyboard::LShift, sf::Keyboard::RShift);
    auto pressed = [&](sf::Keyboard::Key key) { return in.keyPressed(key); };
    if (askReplace) {
        if (pressed(sf::Keyboard::Enter) || pressed(sf::Keyboard::Y)) {
            Save(true);
        } else if (pressed(sf::Keyboard::Escape) || pressed(sf::Keyboard::N)) {
            askReplace = false;
        }
        return;
    }
    if (handleToolKeys(ctrl, shift)) {
        return;
    }
    const vec2 mouse = placingPoint();
    const float step = shift ? kBigNudge : kNudge;
    if (ctrl && pressed(sf::Keyboard::Z)) {
        shift ? doc.redo() : doc.undo();
    } else if (ctrl && pressed(sf::Keyboard::Y)) {
        doc.redo();
    } else if (ctrl && pressed(sf::Keyboard::S)) {
        Save(false);
    } else if (ctrl && pressed(sf::Keyboard::D)) {
        doc.duplicateSelection();
    } else if (ctrl) {
        return;
    } else if (pressed(sf::Keyboard::N)) {
        doc.addPlatform(mouse);
    } else if (pressed(sf::Keyboard::P)) {
        doc.addSpawnPoint(mouse);
    } else if (pressed(sf::Keyboard::Delete) || pressed(sf::Keyboard::BackSpace)) {
        doc.deleteSelection();
    } else if (pressed(sf::Keyboard::Left)) {
        doc.nudgeSelection({-step, 0.0f});
    } else if (pressed(sf::Keyboard::Right)) {
        doc.nudgeSelection({step, 0.0f});
    } else if (pressed(sf::Keyboard::Up)) {
        doc.nudgeSelection({0.0f, step});
    } else if (pressed(sf::Keyboard::Down)) {
        doc.nudgeSelection({0.0f, -step});
    } else if (pressed(sf::Keyboard::V)) {
        session.wideView = !session.wideView;
    } else if (pressed(sf::Keyboard::H)) {
        session.showPanels = !session.showPanels;
    } else if (pressed(sf::Keyboard::T)) {
        TryIt();
    } else if (pressed(sf::Keyboard::Escape)) {
        doc.select({});
    }
}

void EditorGameState::handleMouse() {
    if (askQuit || askReplace) {
        return; // a question is open: the map waits for its answer
    }
    EditorSession& session = EditorSession::instance();
    const InputManager& in = InputManager::instance();
    const auto left = static_cast<size_t>(sf::Mouse::Left), middle = static_cast<size_t>(sf::Mouse::Middle);
    PointerFrame frame;
    if (in.mouseInWindow) {
        frame.mouse = vec2{static_cast<float>(in.mousePosition.x), static_cast<float>(in.mousePosition.y)};
    }
    frame.pressed = in.mouseButtons[left].pressed;
    frame.released = in.mouseButtons[left].released;
    frame.held = in.mouseButtons[left].held;
    frame.pressedAt = {static_cast<float>(in.mousePressedAt[left].x),
                       static_cast<float>(in.mousePressedAt[left].y)};
    frame.middlePressed = in.mouseButtons[middle].pressed;
    frame.middleHeld = in.mouseButtons[middle].held;
    frame.wheel = in.wheelDelta;
    // As the keys are now: a key event's own flags say what was held before it.
    frame.shift = modifierHeld(sf::Keyboard::LShift, sf::Keyboard::RShift);
    frame.ctrl = modifierHeld(sf::Keyboard::LControl, sf::Keyboard::RControl);
    frame.alt = modifierHeld(sf::Keyboard::LAlt, sf::Keyboard::RAlt);
    frame.space = in.keyHeld(sf::Keyboard::Space);
    frame.overPanels = imguiReady() && ImGui::GetIO().WantCaptureMouse;
    pointer.update(frame, session.document, View(), session.framing, session.grid);
}

void EditorGameState::drawPanels() {
    EditorSession& session = EditorSession::instance();
    MapDocument& doc = session.document;
    const MapData& map = doc.map();
    const ImGuiIO& io = ImGui::GetIO();
    // A value held with the mouse is one step of the history, however long it is dragged.
    auto gesture = [&doc] {
        if (ImGui::IsItemActivated()) {
            doc.beginGesture();
        }
        if (ImGui::IsItemDeactivated()) {
            doc.endGesture();
        }
    };

    ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x - 10.0f, 10.0f), ImGuiCond_Always, ImVec2(1.0f, 0.0f));
    ImGui::SetNextWindowBgAlpha(0.85f);
    ImGui::Begin("Map editor", nullptr,
                 ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse);
    ImGui::PushItemWidth(180.0f);
    if (!typingName) {
        std::snprintf(nameField.data(), nameField.size(), "%s", map.name.c_str());
    }
    ImGui::InputText("Name", nameField.data(), nameField.size());
    typingName = ImGui::IsItemActive();
    if (ImGui::IsItemDeactivatedAfterEdit()) {
        doc.setName(nameField.data());
    }
    if (ImGui::BeginCombo("Theme", doc.theme().c_str())) {
        for (const ThemeBackground& t : session.themes) {
            if (ImGui::Selectable(t.theme.c_str(), t.theme == doc.theme())) {
                doc.setTheme(t.theme);
            }
        }
        ImGui::EndCombo();
    }
    float zoom = map.cameraZoom;
    if (ImGui::SliderFloat("Camera zoom", &zoom, kMinCameraZoom, kMaxCameraZoom, "%.1f")) {
        doc.setCameraZoom(zoom);
    }
    zoomHeld = ImGui::IsItemActive();
    gesture();

    ImGui::Separator();
    const EditorSelection s = doc.selection();
    if (const PlatformEntry* p = doc.selectedPlatform()) {
        ImGui::Text("Platform %zu", s.index + 1);
        float at[2] = {p->position.x, p->position.y};
        if (ImGui::DragFloat2("Position", at, 0.05f, -200.0f, 200.0f, "%.2f")) {
            doc.moveSelectionTo({at[0], at[1]});
        }
        gesture();
        float size[2] = {p->scale.x, p->scale.y};
        if (ImGui::DragFloat2("Size", size, 0.05f, kMinPlatformHeight, kMaxPlatformSide, "%.2f")) {
            doc.resizeSelection(size[0], size[1]);
        }
        gesture();
        float turn = p->rotation.z;
        if (ImGui::DragFloat("Turn", &turn, 0.5f, -180.0f, 180.0f, "%.1f deg")) {
            doc.setSelectionRotation(turn);
        }
        gesture();
    } else if (s.kind == Kind::SpawnPoint) {
        ImGui::Text("Spawn point %zu", s.index + 1);
        const vec3& spawn = map.spawnPoints[s.index];
        float at[2] = {spawn.x, spawn.y};
        if (ImGui::DragFloat2("Position", at, 0.05f, -200.0f, 200.0f, "%.2f")) {
            doc.moveSelectionTo({at[0], at[1]});
        }
        gesture();
    } else if (doc.selected().empty()) {
        ImGui::TextDisabled("Nothing selected");
    } else {
        ImGui::Text("%zu pieces selected", doc.selected().size());
    }
    ImGui::PopItemWidth();

    ImGui::Separator();
    if (ImGui::Button("Platform (N)")) {
        doc.addPlatform(placingPoint());
    }
    ImGui::SameLine();
    if (ImGui::Button("Spawn (P)")) {
        doc.addSpawnPoint(placingPoint());
    }
    ImGui::SameLine();
    if (ImGui::Button("Duplicate")) {
        doc.duplicateSelection();
    }
    ImGui::SameLine();
    if (ImGui::Button("Delete")) {
        doc.deleteSelection();
    }
    if (ImGui::Button("Undo") && doc.canUndo()) {
        doc.undo();
    }
    ImGui::SameLine();
    if (ImGui::Button("Redo") && doc.canRedo()) {
        doc.redo();
    }
    ImGui::SameLine();
    ImGui::Checkbox("Wide view (V)", &session.wideView);
    if (ImGui::Button("Try it (T)")) {
        TryIt();
    }
    ImGui::SameLine();
    if (ImGui::Button("Save (Ctrl+S)")) {
        Save(false);
    }
    drawToolPanel();
    if (!session.status.empty()) {
        ImGui::PushTextWrapPos(360.0f);
        ImGui::TextWrapped("%s", session.status.c_str());
        ImGui::PopTextWrapPos();
    }
    if (ImGui::CollapsingHeader("Keys")) {
        for (const char* line : kKeyHelp) {
            ImGui::BulletText("%s", line);
        }
    }
    ImGui::End();

    ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x - 10.0f, io.DisplaySize.y - 10.0f), ImGuiCond_Always,
                            ImVec2(1.0f, 1.0f));
    ImGui::SetNextWindowBgAlpha(0.85f);
    ImGui::Begin("Checks", nullptr,
                 ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse);
    drawNameNotice();
    if (session.problems.empty()) {
        ImGui::TextColored(ImVec4(0.5f, 1.0f, 0.5f, 1.0f), "No problems: the map can go in the level select");
    } else {
        ImGui::TextColored(ImVec4(1.0f, 0.6f, 0.4f, 1.0f), "%s", session.checksHeading().c_str());
        for (size_t i = 0; i < session.problems.size(); ++i) {
            const MapProblem& problem = session.problems[i];
            ImGui::PushID(static_cast<int>(i));
            if (ImGui::Selectable(problem.text.c_str(),
                                  problem.target.kind != Kind::None && problem.target == s)) {
                doc.select(problem.target);
            }
            ImGui::PopID();
        }
    }
    ImGui::End();
}

void EditorGameState::drawMarks() {
    EditorSession& session = EditorSession::instance();
    const MapDocument& doc = session.document;
    const MapData& map = doc.map();
    const EditorView view = View();
    ImDrawList* marks = ImGui::GetBackgroundDrawList();
    const float unit = 1.0f / view.unitsPerPixel();
    drawGrid();

    if (session.wideView || zoomHeld) {
        // The match's view; the death border itself is drawn in red by the arena.
        const float halfW = map.cameraZoom * 0.8f, halfH = map.cameraZoom * 0.5f;
        marks->AddRect(im(view.toScreen({-halfW, halfH})), im(view.toScreen({halfW, -halfH})),
                       IM_COL32(255, 255, 255, 200), 0.0f, 0, 2.0f);
    }
    auto problemAt = [&](EditorSelection target) {
        return std::any_of(session.problems.begin(), session.problems.end(),
                           [&](const MapProblem& p) { return p.target == target; });
    };
    for (size_t i = 0; i < map.platforms.size(); ++i) {
        if (problemAt({Kind::Platform, i})) {
            const vec3& at = map.platforms[i].position;
            marks->AddCircle(im(view.toScreen({at.x, at.y})), 0.7f * unit + 6.0f, kProblem, 0, 3.0f);
        }
    }
    for (size_t i = 0; i < map.spawnPoints.size(); ++i) {
        const vec2 at = view.toScreen({map.spawnPoints[i].x, map.spawnPoints[i].y});
        const float r = 0.7f * unit;
        const ImU32 fill = i < 4 ? kPlayerMarks[i] : IM_COL32(184, 178, 200, 255);
        marks->AddCircleFilled(im(at), r, fill);
        marks->AddCircle(im(at), r, kInk, 0, 2.0f);
        const std::string label = std::to_string(i + 1);
        const ImVec2 size = ImGui::CalcTextSize(label.c_str());
        marks->AddText(ImVec2(at.x - size.x / 2, at.y - size.y / 2), kInk, label.c_str());
        const EditorSelection here{Kind::SpawnPoint, i};
        if (doc.isSelected(here)) {
            marks->AddCircle(im(at), r + 4.0f, kSelected, 0, 3.0f);
        }
        if (problemAt(here)) {
            marks->AddCircle(im(at), r + 8.0f, kProblem, 0, 3.0f);
        }
    }
    for (EditorSelection piece : doc.selected()) {
        if (piece.kind != Kind::Platform) {
            continue;
        }
        const PlatformEntry& p = map.platforms[piece.index];
        const vec2 c{p.position.x, p.position.y};
        const vec2 along = axisOf(p.rotation.z) * (p.scale.x * 0.5f);
        const vec2 up = vec2{-axisOf(p.rotation.z).y, axisOf(p.rotation.z).x} * (p.scale.y * 0.5f);
        const ImVec2 corners[4] = {im(view.toScreen(c - along - up)), im(view.toScreen(c + along - up)),
                                   im(view.toScreen(c + along + up)), im(view.toScreen(c - along + up))};
        marks->AddPolyline(corners, 4, kSelected, ImDrawFlags_Closed, 3.0f);
    }
    if (pointer.drag() == EditorPointer::Drag::Box) {
        marks->AddRectFilled(im(pointer.boxFrom()), im(pointer.boxTo()), kBox);
        marks->AddRect(im(pointer.boxFrom()), im(pointer.boxTo()), kSelected, 0.0f, 0, 2.0f);
    }
    if (const PlatformEntry* p = doc.selectedPlatform()) {
        const PlatformHandles h = HandlesOf(*p, view);
        for (vec2 square : {h.width, h.height}) {
            marks->AddRectFilled(ImVec2(square.x - 6, square.y - 6), ImVec2(square.x + 6, square.y + 6),
                                 kSelected);
            marks->AddRect(ImVec2(square.x - 6, square.y - 6), ImVec2(square.x + 6, square.y + 6), kInk, 0, 0,
                           2);
        }
        marks->AddLine(im(h.width), im(h.turn), kSelected, 2.0f);
        marks->AddCircleFilled(im(h.turn), 7.0f, kSelected);
        marks->AddCircle(im(h.turn), 7.0f, kInk, 0, 2.0f);
    }
}

bool EditorGameState::CloseRequested() {
    if (!EditorSession::instance().document.unsaved()) {
        return true;
    }
    askToQuit(true);
    return false;
}

void EditorGameState::leave() {
    requestState(closing ? GameStateId::Quit : EditorSession::instance().leaveTo);
}

void EditorGameState::askToQuit(bool closeButton) {
    closing = closeButton;
    const MapDocument& doc = EditorSession::instance().document;
    if (!doc.unsaved()) {
        leave();
        return;
    }
    if (!askQuit) {
        say("Map \"" + doc.map().name +
            "\" has unsaved changes: Enter saves them and quits, D quits without them, Escape goes back");
    }
    askQuit = true;
}

// Save answered: the editor quits once the map is saved. A save that asks first (over a map, or a
// name of the player's own for a shipped one) waits for its answer; one that fails or is cancelled
// keeps the editor open with its line saying why.
void EditorGameState::followQuit() {
    if (!quitAfterSave) {
        return;
    }
    if (!EditorSession::instance().document.unsaved()) {
        leave();
    } else if (!askReplace && !mapList.asking()) {
        quitAfterSave = false; // no question of the save's is open: it failed or was cancelled
    }
}

bool EditorGameState::answerQuitQuestion() {
    const InputManager& in = InputManager::instance();
    const MapDocument& doc = EditorSession::instance().document;
    if (in.keyPressed(sf::Keyboard::Enter) || in.keyPressed(sf::Keyboard::S)) {
        askQuit = false;
        quitAfterSave = true;
        Save(false);
    } else if (in.keyPressed(sf::Keyboard::D)) {
        askQuit = false;
        say("Quitting without the unsaved changes to \"" + doc.map().name + "\"");
        leave();
    } else if (in.keyPressed(sf::Keyboard::Escape) || in.keyPressed(sf::Keyboard::C)) {
        askQuit = false;
        say("Back to the map");
    }
    return true;
}

void EditorGameState::showQuitQuestion() {
    if (!imguiReady()) {
        return;
    }
    if (askQuit) {
        ImGui::OpenPopup("Unsaved changes");
    }
    if (!ImGui::BeginPopupModal("Unsaved changes", nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
        return;
    }
    const MapDocument& doc = EditorSession::instance().document;
    ImGui::Text("Map \"%s\" has changes that are not saved.", doc.map().name.c_str());
    if (ImGui::Button("Save (Enter)")) {
        askQuit = false;
        quitAfterSave = true;
        Save(false);
    }
    ImGui::SameLine();
    if (ImGui::Button("Discard (D)")) {
        askQuit = false;
        leave();
    }
    ImGui::SameLine();
    if (ImGui::Button("Cancel (Escape)")) {
        askQuit = false;
    }
    if (!askQuit) {
        ImGui::CloseCurrentPopup();
    }
    ImGui::EndPopup();
}

bool EditorGameState::handleToolKeys(bool ctrl, bool shift) {
    if (askQuit) {
        return answerQuitQuestion();
    }
    EditorSession& session = EditorSession::instance();
    MapDocument& doc = session.document;
    const InputManager& in = InputManager::instance();
    auto pressed = [&](sf::Keyboard::Key key) { return in.keyPressed(key); };
    if (ctrl && (pressed(sf::Keyboard::Z) || pressed(sf::Keyboard::Y))) {
        pointer.stop(doc); // the drag so far is one step, which the undo below takes back
        return false;
    }
    if (ctrl && pressed(sf::Keyboard::Q)) {
        askToQuit(false);
    } else if (ctrl) {
        return false;
    } else if (pressed(sf::Keyboard::G)) {
        session.grid.on = !session.grid.on;
        say(session.grid.on
                ? "Grid on: placing, moving and stretching snap to " + MapNumber(session.grid.step)
                : "Grid off");
    } else if (pressed(sf::Keyboard::M)) {
        shift ? doc.mirrorCopySelection() : doc.mirrorSelection();
    } else if (pressed(sf::Keyboard::Home)) {
        session.framing = {};
    } else {
        return false;
    }
    return true;
}

vec2 EditorGameState::placingPoint() const {
    const EditorSession& session = EditorSession::instance();
    const InputManager& in = InputManager::instance();
    std::optional<vec2> mouse;
    if (in.mouseInWindow && !(imguiReady() && ImGui::GetIO().WantCaptureMouse)) {
        mouse = vec2{static_cast<float>(in.mousePosition.x), static_cast<float>(in.mousePosition.y)};
    }
    return session.grid.snap(PlacingPoint(View(), mouse));
}

void EditorGameState::frameCamera() {
    const EditorView view = View();
    if (camera.zoom != view.zoom || camera.position.x != view.centre.x ||
        camera.position.y != view.centre.y) {
        camera.zoom = view.zoom;
        camera.position.x = view.centre.x;
        camera.position.y = view.centre.y;
        camera.Recompute();
    }
}

void EditorGameState::showTitle() {
    const MapDocument& doc = EditorSession::instance().document;
    const std::string title = std::string(kWindowTitle) + " map editor: " + doc.map().name +
                              (doc.unsaved() ? " (unsaved changes)" : "");
    if (title != shownTitle) {
        shownTitle = title;
        setWindowTitle(title);
    }
}

void EditorGameState::drawToolPanel() {
    EditorSession& session = EditorSession::instance();
    MapDocument& doc = session.document;
    if (doc.unsaved()) {
        ImGui::SameLine();
        ImGui::TextColored(ImVec4(1.0f, 0.75f, 0.3f, 1.0f), "Unsaved changes");
    }
    ImGui::Checkbox("Grid 0.5 (G)", &session.grid.on);
    ImGui::SameLine();
    if (ImGui::Button(doc.selected().empty() ? "Mirror map (M)" : "Mirror (M)")) {
        doc.mirrorSelection();
    }
    ImGui::SameLine();
    if (ImGui::Button("Mirrored copy (Shift+M)")) {
        doc.mirrorCopySelection();
    }
}

// Lines at every grid step, or every second, fourth... step where they would crowd.
void EditorGameState::drawGrid() {
    const EditorSession& session = EditorSession::instance();
    if (!session.grid.on) {
        return;
    }
    const EditorView view = View();
    float step = session.grid.step;
    while (step / view.unitsPerPixel() < kGridLinePixels) {
        step *= 2.0f;
    }
    const vec2 low = view.toWorld(
        {static_cast<float>(view.viewport.x), view.windowHeight - static_cast<float>(view.viewport.y)});
    const vec2 high =
        view.toWorld({static_cast<float>(view.viewport.x + view.viewport.width),
                      view.windowHeight - static_cast<float>(view.viewport.y + view.viewport.height)});
    ImDrawList* marks = ImGui::GetBackgroundDrawList();
    for (float x = std::ceil(low.x / step) * step; x <= high.x; x += step) {
        marks->AddLine(im(view.toScreen({x, low.y})), im(view.toScreen({x, high.y})), kGridLine);
    }
    for (float y = std::ceil(low.y / step) * step; y <= high.y; y += step) {
        marks->AddLine(im(view.toScreen({low.x, y})), im(view.toScreen({high.x, y})), kGridLine);
    }
}

void EditorGameState::drawMapList() {
    EditorSession& session = EditorSession::instance();
    const MapDocument& doc = session.document;
    const MapListPanel::Request request = mapList.draw(
        session.showPanels, doc.map().name, doc.unsaved() || session.savedRevision == kNothingSaved);
    if (request.kind == MapListPanel::Request::Kind::Open && session.open(request.name, "")) {
        documentReplaced();
        say("Editing map \"" + request.name + "\"");
    } else if (request.kind == MapListPanel::Request::Kind::SaveAs) {
        session.document.setName(request.name);
        Save(false);
    }
}

void EditorGameState::documentReplaced() {
    builtRevision = ~0ull;
    askReplace = false;
}

void EditorGameState::drawNameNotice() {
    const std::string& name = EditorSession::instance().document.map().name;
    if (std::string why = SaveNameRefusal(name, GameMaps()); !why.empty()) {
        ImGui::PushTextWrapPos(360.0f);
        ImGui::TextColored(ImVec4(1.0f, 0.6f, 0.4f, 1.0f), "%s: saving asks for a name of your own",
                           why.c_str());
        ImGui::PopTextWrapPos();
    }
}
