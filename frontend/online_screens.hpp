#pragma once

// The main menu's online screens: the choice between hosting and joining, the host's number of
// seats in all, and the join screen with the games found on the local network and the address
// row. Each logic reads the menu inputs while its screen is shown and raises flags that the menu
// controller acts on, as the other screens do.

#include "frontend/address_entry.hpp"
#include "frontend/join_list.hpp"
#include "frontend/seats_in_all.hpp"
#include "objects/logic.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GameObject;
class GameFinder;

namespace OnlineItem {
constexpr uint32_t Host = 0;
constexpr uint32_t Join = 1;
} // namespace OnlineItem

class OnlineChoice : public Logic {
  public:
    explicit OnlineChoice(GameObject* ownerObject) : Logic("OnlineChoice", ownerObject) {}
    void Update() override;
    // On entering: Host highlighted, no flag raised.
    void Open();
    void Show(bool visible);

    bool shown = false;
    bool chosen = false;
    bool backRequested = false;
    uint32_t selection = OnlineItem::Host;
    std::array<GameObject*, 4> objects{}; // the panel, the heading, Host, Join
};

class SeatsStep : public Logic {
  public:
    explicit SeatsStep(GameObject* ownerObject) : Logic("SeatsStep", ownerObject) {}
    void Update() override;
    // On entering, with this machine's seats as player selection set them.
    void Open(int own);
    void Show(bool visible);

    bool shown = false;
    bool done = false;
    bool backRequested = false;
    SeatsInAll seats;
    int ownSeats = 1;
    std::array<GameObject*, 7> objects{}; // the panel, texts, arrows and the button
    GameObject* valueText = nullptr;
    GameObject* friendsText = nullptr;
};

class JoinScreen : public Logic {
  public:
    explicit JoinScreen(GameObject* ownerObject);
    ~JoinScreen() override;
    void Update() override;
    // On entering: asks the targets for games (every local network when there are none), the
    // highlight on the address row, nothing typed. The message of a refused address stays.
    void Open(const std::vector<std::string>& targets);
    // On leaving: stops asking.
    void Close();
    void Show(bool visible);
    // Takes the games found so far into the list and shows it.
    void Refresh();

    bool shown = false;
    bool typing = false; // the address row is open for typing or picking
    bool backRequested = false;
    std::string chosenAddress; // set when a game or a good address is chosen
    std::string message;       // why the last address was refused
    JoinList list;
    AddressEntry entry;
    std::unique_ptr<GameFinder> finder;
    uint32_t refreshedMs = 0;
    std::vector<std::string> told; // the games said on standard output, by address
    std::vector<GameObject*> rowTexts;
    GameObject* panel = nullptr;
    GameObject* heading = nullptr;
    GameObject* highlight = nullptr;
    GameObject* addressText = nullptr;
    GameObject* pickerText = nullptr;
    GameObject* messageText = nullptr;
    GameObject* hintText = nullptr;

  private:
    void updateTyping();
    void showEntry();
};

// The first row of the join screen that is drawn, so that the highlighted one is among the
// visible rows.
size_t FirstShownRow(size_t selected, size_t rows, size_t visible);

OnlineChoice* BuildOnlineChoice();
SeatsStep* BuildSeatsStep();
JoinScreen* BuildJoinScreen();
