#include "frontend/online_screens.hpp"

#include "engine/input_manager.hpp"
#include "frontend/menu_input.hpp"
#include "graphics/scene_builders.hpp"
#include "net/build_identity.hpp"
#include "net/join_address.hpp"
#include "net/lan_discovery.hpp"
#include "objects/game_object.hpp"
#include "platform/clock.hpp"

#include <algorithm>
#include <iostream>

namespace {

constexpr vec4 kYellow{1, 1, 0, 1};
constexpr vec4 kGrey{0.62f, 0.62f, 0.66f, 1};
constexpr vec4 kWarning{1.0f, 0.55f, 0.45f, 1};
constexpr float kTextZ = 1.3f;

// The join screen's rows: how many show at once, where the first sits and how far apart.
constexpr size_t kVisibleRows = 7;
constexpr float kFirstRowY = 6.5f;
constexpr float kRowStep = 1.8f;
// How often the list is read again from the games found.
constexpr uint32_t kRefreshMs = 1000;

GameObject* image(const std::string& name, const std::string& texture, vec3 at, vec3 scale) {
    GameObject* o = MakeObject(name, {at, scale});
    AddSprite(o, texture);
    return o;
}

GameObject* text(const std::string& name, const std::string& words, vec3 at, float size,
                 vec4 colour = kYellow) {
    GameObject* o = MakeObject(name, {at, {size, size, 1.0f}});
    SetText(o, words, colour);
    return o;
}

GameObject* arrow(const std::string& name, vec3 at, bool left) {
    GameObject* o = image(name, "Arrow", at, {1.6f, 2.2f, 1.0f});
    if (left) {
        o->transform.setRotation(0.0f, 0.0f, 180.0f); // the picture points right
    }
    return o;
}

std::string friendsLine(const SeatsInAll& seats, int own) {
    const int friends = seats.value() - own;
    return friends == 1 ? "1 seat for a friend" : std::to_string(friends) + " seats for friends";
}

} // namespace

size_t FirstShownRow(size_t selected, size_t rows, size_t visible) {
    if (rows <= visible || selected < visible) {
        return 0;
    }
    return std::min(selected + 1 - visible, rows - visible);
}

// ---- Host or join ----

void OnlineChoice::Show(bool visible) {
    shown = visible;
    for (GameObject* o : objects) {
        ::Show(o, visible);
    }
}

void OnlineChoice::Open() {
    chosen = false;
    backRequested = false;
    selection = OnlineItem::Host;
    SetPicture(objects[2], "HostHL");
    SetPicture(objects[3], "Join");
    Show(true);
}

void OnlineChoice::Update() {
    if (!shown || chosen || backRequested) {
        return;
    }
    const MenuInputs in = ReadMenuInputs();
    if (in.up || in.down) {
        selection = selection == OnlineItem::Host ? OnlineItem::Join : OnlineItem::Host;
        SetPicture(objects[2], selection == OnlineItem::Host ? "HostHL" : "Host");
        SetPicture(objects[3], selection == OnlineItem::Join ? "JoinHL" : "Join");
    }
    if (in.back) {
        backRequested = true;
    } else if (in.confirm) {
        chosen = true;
    }
}

OnlineChoice* BuildOnlineChoice() {
    GameObject* root = image("OnlineRoot", "PlayerSelection", {0.0f, 0.0f, 1.0f}, {30.0f, 22.0f, 1.0f});
    auto* choice = root->attach(new OnlineChoice(root));
    choice->objects = {root, text("OnlineText", "ONLINE", {0.0f, 7.5f, kTextZ}, 3.0f),
                       image("HostButton", "HostHL", {0.0f, 2.0f, kTextZ}, {16.0f, 2.0f, 1.0f}),
                       image("JoinButton", "Join", {0.0f, -1.5f, kTextZ}, {16.0f, 2.0f, 1.0f})};
    choice->Show(false);
    return choice;
}

// ---- Seats in all ----

void SeatsStep::Show(bool visible) {
    shown = visible;
    for (GameObject* o : objects) {
        ::Show(o, visible);
    }
}

void SeatsStep::Open(int own) {
    ownSeats = own;
    done = false;
    backRequested = false;
    seats = SeatsInAll(own);
    SetText(valueText, std::to_string(seats.value()), kYellow);
    SetText(friendsText, friendsLine(seats, ownSeats), kYellow);
    Show(true);
}

void SeatsStep::Update() {
    if (!shown || done || backRequested) {
        return;
    }
    const MenuInputs in = ReadMenuInputs();
    if (in.left || in.right) {
        seats.step(in.left ? -1 : +1);
        SetText(valueText, std::to_string(seats.value()), kYellow);
        SetText(friendsText, friendsLine(seats, ownSeats), kYellow);
    }
    if (in.back) {
        backRequested = true;
    } else if (in.confirm) {
        done = true;
    }
}

SeatsStep* BuildSeatsStep() {
    GameObject* root = image("SeatsRoot", "PlayerSelection", {0.0f, 0.0f, 1.0f}, {30.0f, 22.0f, 1.0f});
    auto* step = root->attach(new SeatsStep(root));
    step->valueText = text("SeatsValue", "2", {0.0f, 1.5f, kTextZ}, 3.0f);
    step->friendsText = text("SeatsFriends", "", {0.0f, -3.0f, kTextZ}, 1.4f);
    step->objects = {
        root,
        text("SeatsText", "SEATS IN ALL", {0.0f, 7.5f, kTextZ}, 2.4f),
        step->valueText,
        arrow("SeatsLeft", {-4.0f, 1.5f, kTextZ}, true),
        arrow("SeatsRight", {4.0f, 1.5f, kTextZ}, false),
        step->friendsText,
        text("SeatsHint", "Left, Right: seats   Confirm: the level select", {0.0f, -7.5f, kTextZ}, 1.0f)};
    step->Show(false);
    return step;
}

// ---- Join ----

JoinScreen::JoinScreen(GameObject* ownerObject) : Logic("JoinScreen", ownerObject) {}

JoinScreen::~JoinScreen() = default;

void JoinScreen::Show(bool visible) {
    shown = visible;
    for (GameObject* o : {panel, heading, highlight, hintText}) {
        ::Show(o, visible);
    }
    Refresh();
}

void JoinScreen::Open(const std::vector<std::string>& targets) {
    backRequested = false;
    typing = false;
    chosenAddress.clear();
    entry.clear();
    list = JoinList();
    told.clear();
    finder = GameFinder::Open(ThisBuild().build, targets);
    refreshedMs = GetTickCount();
    Show(true);
}

void JoinScreen::Close() {
    finder.reset();
    typing = false;
    Show(false);
}

void JoinScreen::Refresh() {
    if (finder) {
        list.refresh(finder->games());
        // Each game once on standard output too, as --find lists it, for a player at a terminal.
        for (const FoundGame& game : finder->games()) {
            if (std::find(told.begin(), told.end(), game.address) == told.end()) {
                told.push_back(game.address);
                std::cout << "Found a game: " << game.address << "  " << JoinRowText(game) << std::endl;
            }
        }
    }
    const std::vector<JoinRow>& rows = list.rows();
    const size_t first = FirstShownRow(list.selected(), rows.size(), kVisibleRows);
    for (size_t i = 0; i < rowTexts.size(); ++i) {
        const size_t row = first + i;
        GameObject* line = rowTexts[i];
        if (row >= rows.size() || !shown) {
            ::Show(line, false);
            continue;
        }
        SetText(line, rows[row].text, rows[row].greyed ? kGrey : kYellow);
        ::Show(line, true);
        if (row == list.selected()) {
            highlight->transform.setPosition(0.0f, line->transform.getPosition().y, 1.1f);
        }
    }
    showEntry();
}

void JoinScreen::showEntry() {
    ::Show(addressText, shown && typing);
    ::Show(pickerText, shown && typing);
    ::Show(messageText, shown && !message.empty());
    if (typing) {
        SetText(addressText, "Address: " + entry.text() + "_", kYellow);
        SetText(pickerText, entry.pickerRow(), kYellow);
    }
    SetText(messageText, message, kWarning);
}

void JoinScreen::updateTyping() {
    const InputManager& input = InputManager::instance();
    bool done = input.keyPressed(sf::Keyboard::Enter);
    bool changed = false;
    if (input.keyPressed(sf::Keyboard::Escape)) {
        typing = false; // back to the list; what was typed stays for next time
        Refresh();
        return;
    }
    if (!input.typed.empty()) {
        entry.type(input.typed);
        changed = true;
    }
    if (input.keyPressed(sf::Keyboard::BackSpace)) {
        entry.erase();
        changed = true;
    }
    // A pad picks from the row: left and right move along it, A takes the cell, Back leaves.
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        if (input.padPressed(pad, kButtonDpadLeft) || input.padPressed(pad, kButtonDpadRight)) {
            entry.moveCursor(input.padPressed(pad, kButtonDpadLeft) ? -1 : +1);
            changed = true;
        }
        if (input.padPressed(pad, kButtonA)) {
            done = entry.pick() || done;
            changed = true;
        }
        if (input.padPressed(pad, kButtonBack)) {
            typing = false;
            Refresh();
            return;
        }
    }
    if (input.keyPressed(sf::Keyboard::Left) || input.keyPressed(sf::Keyboard::Right)) {
        entry.moveCursor(input.keyPressed(sf::Keyboard::Left) ? -1 : +1);
        changed = true;
    }
    if (done) {
        std::string host;
        uint16_t port = 0;
        std::string problem;
        if (ParseJoinAddress(entry.text(), host, port, &problem)) {
            message.clear();
            chosenAddress = entry.text();
        } else {
            message = "\"" + entry.text() + "\": " + problem;
            std::cout << "Join: " << message << std::endl;
        }
        changed = true;
    }
    if (changed) {
        showEntry();
    }
}

void JoinScreen::Update() {
    if (!shown || !chosenAddress.empty() || backRequested) {
        return;
    }
    if (finder) {
        finder->poll(GetTickCount());
    }
    if (GetTickCount() - refreshedMs >= kRefreshMs) {
        refreshedMs = GetTickCount();
        Refresh();
    }
    if (typing) {
        updateTyping();
        return;
    }
    const MenuInputs in = ReadMenuInputs();
    if (in.up || in.down) {
        list.move(in.up ? -1 : +1);
        Refresh();
    }
    if (in.back) {
        backRequested = true;
    } else if (in.confirm && list.onAddressRow()) {
        // The characters of this frame's key (a T, a space) are not the address's.
        typing = true;
        showEntry();
    } else if (in.confirm && list.current().joinable) {
        chosenAddress = list.current().address;
    }
}

JoinScreen* BuildJoinScreen() {
    GameObject* root = image("JoinRoot", "PlayerSelection", {0.0f, 0.0f, 1.0f}, {34.0f, 25.0f, 1.0f});
    auto* screen = root->attach(new JoinScreen(root));
    screen->panel = root;
    screen->heading = text("JoinText", "GAMES ON THE LOCAL NETWORK", {0.0f, 9.5f, kTextZ}, 1.6f);
    screen->highlight = image("JoinHighlight", "Selection", {0.0f, kFirstRowY, 1.1f}, {30.0f, 1.9f, 1.0f});
    for (size_t i = 0; i < kVisibleRows; ++i) {
        const float y = kFirstRowY - kRowStep * static_cast<float>(i);
        screen->rowTexts.push_back(text("JoinRow" + std::to_string(i + 1), "", {0.0f, y, kTextZ}, 1.0f));
    }
    screen->addressText = text("JoinAddress", "", {0.0f, -6.6f, kTextZ}, 1.2f);
    screen->pickerText = text("JoinPicker", "", {0.0f, -8.4f, kTextZ}, 1.0f);
    screen->messageText = text("JoinMessage", "", {0.0f, -10.0f, kTextZ}, 0.8f, kWarning);
    screen->hintText = text("JoinHint", "Confirm: join   Escape: back   type an address, Enter: done",
                            {0.0f, -11.4f, kTextZ}, 0.7f);
    screen->Show(false);
    return screen;
}
