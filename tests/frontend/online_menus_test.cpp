// The menus' online screens and their rules without a window: the title's six items, the
// host's seats in all, the join list and the address a keyboard types or a pad picks, and the
// ways through the screens and back by keys alone; and the editor opened from the level select
// coming back to it with the map saved there offered.
#include "tests/frontend/menu_scene.hpp"

#include "editor/editor_session.hpp"
#include "editor/map_saver.hpp"
#include "frontend/address_entry.hpp"
#include "frontend/join_list.hpp"
#include "frontend/menu_options.hpp"
#include "frontend/online_screens.hpp"
#include "frontend/seats_in_all.hpp"
#include "match/match_settings.hpp"
#include "objects/map_catalogue.hpp"

#include <cstdlib>
#include <filesystem>

using namespace menu_test;

namespace {

FoundGame found(const std::string& address, const std::string& host, bool sameBuild, int freeSeats = 1) {
    FoundGame game;
    game.address = address;
    game.answer.hostName = host;
    game.answer.map = "Canyon";
    game.answer.freeSeats = static_cast<uint8_t>(freeSeats);
    game.answer.seats = 3;
    game.sameBuild = sameBuild;
    game.roundTripMs = 12;
    return game;
}

} // namespace

TEST(TitleOrder, OnlineSitsAfterPlayAndUpFromPlayStillReachesQuit) {
    const uint32_t order[] = {TitleItem::Play,    TitleItem::Online,  TitleItem::Tutorial,
                              TitleItem::Options, TitleItem::Credits, TitleItem::Quit};
    uint32_t at = TitleItem::Play;
    for (size_t i = 1; i <= 6; ++i) {
        at = StepTitle(at, +1);
        EXPECT_EQ(at, order[i % 6]) << "down " << i << " times from Play";
    }
    for (size_t i = 1; i <= 6; ++i) {
        at = StepTitle(at, -1);
        EXPECT_EQ(at, order[(6 - i) % 6]) << "up " << i << " times from Play";
    }
    EXPECT_EQ(StepTitle(0, -1), TitleItem::Play) << "a selection off the list starts from the top";
    EXPECT_EQ(StepTitle(7, +1), TitleItem::Play);
}

TEST(SeatsInAllRule, TwoToFourAndNeverBelowThisMachinesSeats) {
    for (int own = 1; own <= 4; ++own) {
        SeatsInAll seats(own);
        const int fewest = std::max(2, own);
        EXPECT_EQ(seats.value(), std::min(4, std::max(fewest, own + 1))) << own << " own seats";
        for (int i = 0; i < 5; ++i) {
            seats.step(-1);
        }
        EXPECT_EQ(seats.value(), fewest) << own << " own seats";
        for (int i = 0; i < 5; ++i) {
            seats.step(+1);
        }
        EXPECT_EQ(seats.value(), 4) << own << " own seats";
    }
}

TEST(JoinListModel, GamesThenTheAddressRowOtherBuildsAndFullGamesGreyed) {
    JoinList list;
    ASSERT_EQ(list.rows().size(), 1u);
    EXPECT_TRUE(list.onAddressRow()) << "with no game the address row is all there is";
    list.refresh({found("10.0.0.5:27115", "den", true), found("10.0.0.6:27115", "attic", false),
                  found("10.0.0.7:27115", "loft", true, 0)});
    ASSERT_EQ(list.rows().size(), 4u);
    EXPECT_EQ(list.rows()[0].text, "den  Canyon  1/3 free  12 ms");
    EXPECT_TRUE(list.rows()[0].joinable);
    EXPECT_FALSE(list.rows()[0].greyed);
    EXPECT_NE(list.rows()[1].text.find("another version"), std::string::npos);
    EXPECT_TRUE(list.rows()[1].greyed);
    EXPECT_FALSE(list.rows()[1].joinable);
    EXPECT_FALSE(list.rows()[2].joinable) << "no seat free";
    EXPECT_EQ(list.rows()[3].text, kEnterAddressRow);
    EXPECT_TRUE(list.onAddressRow()) << "the highlight stays on the address row as games come";

    list.move(+1); // round to the first game
    list.move(+1);
    EXPECT_EQ(list.current().address, "10.0.0.6:27115");
    // A refresh in another order keeps the highlight on the same game.
    list.refresh({found("10.0.0.7:27115", "loft", true), found("10.0.0.9:27115", "shed", true),
                  found("10.0.0.6:27115", "attic", true)});
    EXPECT_EQ(list.current().address, "10.0.0.6:27115");
    EXPECT_TRUE(list.current().joinable) << "the row is read again: now the same build";
    // The game goes: the highlight keeps its place, and never past the last row.
    list.refresh({found("10.0.0.7:27115", "loft", true)});
    EXPECT_TRUE(list.onAddressRow());
    list.move(-1);
    list.move(-1);
    EXPECT_TRUE(list.onAddressRow()) << "up from the first row comes round to the last";
}

TEST(AddressPicker, APadPicksDigitsDotsAndAColonAndTheKeyboardTypesNamesToo) {
    AddressEntry entry;
    // 1 2 7 . 0 . 0 . 1 : 9, picked by moving along the row from wherever the cursor is.
    auto pickChar = [&](char c) {
        for (size_t i = 0; i < kAddressCells && (entry.cursor() >= kAddressCharacters.size() ||
                                                 kAddressCharacters[entry.cursor()] != c);
             ++i) {
            entry.moveCursor(+1);
        }
        EXPECT_FALSE(entry.pick());
    };
    for (char c : std::string("127.0.0.1:99")) {
        pickChar(c);
    }
    EXPECT_EQ(entry.text(), "127.0.0.1:99");
    while (entry.cursor() != kDeleteCell) {
        entry.moveCursor(-1);
    }
    EXPECT_FALSE(entry.pick()) << "Delete is no Done";
    EXPECT_EQ(entry.text(), "127.0.0.1:9");
    entry.moveCursor(+1);
    EXPECT_TRUE(entry.pick()) << "Done";
    EXPECT_EQ(entry.text(), "127.0.0.1:9") << "Done adds nothing";
    entry.moveCursor(+1);
    EXPECT_EQ(entry.cursor(), 0u) << "right of Done comes round to the first digit";
    EXPECT_EQ(entry.pickerRow().rfind("[0] 1", 0), 0u) << entry.pickerRow();

    entry.clear();
    entry.type("my-host.lan: 27 115!");
    EXPECT_EQ(entry.text(), "my-host.lan:27115") << "spaces and signs no address holds are left out";
    entry.type(std::string(100, '9'));
    EXPECT_EQ(entry.text().size(), kMaxAddressLength);
    for (size_t i = 0; i < kMaxAddressLength + 3; ++i) {
        entry.erase();
    }
    EXPECT_EQ(entry.text(), "");
}

TEST(OnlineTimes, ALengthGivenOnTheCommandLineReadsBackAsItsSeconds) {
    for (int seconds : {1, 10, 59, 60, 185, 5999}) {
        EXPECT_EQ(SecondsOfTimeLabel(TimeLabel(seconds)), std::to_string(seconds)) << TimeLabel(seconds);
    }
    EXPECT_EQ(TimeLabel(10), "0:10");
    EXPECT_EQ(SecondsOfTimeLabel("3:00"), "180");
    EXPECT_EQ(SecondsOfTimeLabel("1:75"), matchSecondsForLabel("1:75")) << "not a time: the fallback";
}

namespace {

class OnlineMenus : public MenuScene {
  protected:
    void SetUp() override {
        // The join screen asks here alone: nothing answers, and nothing leaves this machine.
        CommandLineMenuOptions().lookAt = {"127.0.0.1:9"};
        start();
        runSeconds(1.6f); // the title's opening fade
    }
    void TearDown() override { CommandLineMenuOptions() = {}; }
    void toTitleItem(uint32_t item) {
        for (int i = 0; i < 20 && menu().title->selection != item; ++i) {
            tap(sf::Keyboard::Down);
        }
        ASSERT_EQ(menu().title->selection, item);
        press(sf::Keyboard::Return);
    }
    void typeText(const std::string& text) {
        for (char c : text) {
            sf::Event e{};
            e.type = sf::Event::TextEntered;
            e.text.unicode = static_cast<sf::Uint32>(c);
            InputManager::instance().queueEvent(e);
        }
        run(1);
    }
};

} // namespace

// Host: Online, Host, one person joins and is ready, seats in all, the level select with the
// shipped maps; Escape goes back one screen at each step, all the way to the title.
TEST_F(OnlineMenus, HostingGoesThroughSeatsToTheShippedMapsAndEscapeGoesBackOneScreenEach) {
    toTitleItem(TitleItem::Online);
    ASSERT_EQ(screen(), MenuScreen::OnlineScreen);
    press(sf::Keyboard::Return); // Host
    ASSERT_EQ(screen(), MenuScreen::PlayerSelect);
    EXPECT_EQ(menu().flow, MenuFlow::Host);
    runSeconds(1.0f); // joining waits for the fade
    tap(sf::Keyboard::T); // joins
    tap(sf::Keyboard::T); // opens the panel
    tap(sf::Keyboard::T); // ready: online one seat of this machine's is enough
    runSeconds(0.7f);
    ASSERT_EQ(screen(), MenuScreen::SeatsScreen);
    EXPECT_EQ(menu().seats->seats.value(), 2) << "one own seat, one for a friend";
    tap(sf::Keyboard::Left);
    EXPECT_EQ(menu().seats->seats.value(), 2) << "never fewer than two";
    tap(sf::Keyboard::Right);
    tap(sf::Keyboard::Right);
    tap(sf::Keyboard::Right);
    EXPECT_EQ(menu().seats->seats.value(), 4) << "never more than four";
    press(sf::Keyboard::Return);
    ASSERT_EQ(screen(), MenuScreen::LevelSelectScreen);
    EXPECT_EQ(menu().seatsInAll, 4);
    EXPECT_EQ(menu().levelSelect->mapNames.size(), GameMaps().shippedNames().size());

    press(sf::Keyboard::Escape);
    EXPECT_EQ(screen(), MenuScreen::SeatsScreen);
    press(sf::Keyboard::Escape);
    EXPECT_EQ(screen(), MenuScreen::PlayerSelect);
    press(sf::Keyboard::Escape);
    EXPECT_EQ(screen(), MenuScreen::OnlineScreen);
    press(sf::Keyboard::Escape);
    EXPECT_EQ(screen(), MenuScreen::Title);
    EXPECT_EQ(menu().flow, MenuFlow::Local);
    // And Play is a local match again: one person alone does not start it.
    runSeconds(1.0f);
    press(sf::Keyboard::Return);
    ASSERT_EQ(screen(), MenuScreen::PlayerSelect);
    runSeconds(1.0f);
    for (int i = 0; i < 3; ++i) {
        tap(sf::Keyboard::T);
    }
    runSeconds(0.7f);
    EXPECT_EQ(screen(), MenuScreen::PlayerSelect);
}

// Join: the address row takes typed characters; a bad address is said on the screen and the
// player stays; a good one goes on to player selection, and back returns to the join screen.
TEST_F(OnlineMenus, JoiningByAnAddressSaysWhatIsWrongWithABadOneAndStays) {
    toTitleItem(TitleItem::Online);
    tap(sf::Keyboard::Down);
    press(sf::Keyboard::Return); // Join
    ASSERT_EQ(screen(), MenuScreen::JoinListScreen);
    JoinScreen& join = *menu().join;
    ASSERT_TRUE(join.list.onAddressRow());
    tap(sf::Keyboard::Return);
    ASSERT_TRUE(join.typing);
    typeText("::1");
    tap(sf::Keyboard::Return);
    EXPECT_NE(join.message.find("IPv6"), std::string::npos) << join.message;
    runSeconds(0.7f);
    EXPECT_EQ(screen(), MenuScreen::JoinListScreen);
    for (int i = 0; i < 3; ++i) {
        tap(sf::Keyboard::BackSpace);
    }
    typeText("127.0.0.1:9");
    tap(sf::Keyboard::Return);
    runSeconds(0.7f);
    ASSERT_EQ(screen(), MenuScreen::PlayerSelect);
    EXPECT_EQ(menu().joinAddress, "127.0.0.1:9");
    EXPECT_EQ(menu().flow, MenuFlow::Join);
    press(sf::Keyboard::Escape);
    EXPECT_EQ(screen(), MenuScreen::JoinListScreen);
    press(sf::Keyboard::Escape);
    EXPECT_EQ(screen(), MenuScreen::OnlineScreen);
}

// E in the level select opens the highlighted map in the editor; Ctrl+Q there comes back to the
// level select with the same players, which offers the map saved meanwhile and highlights it.
TEST_F(OnlineMenus, TheEditorFromTheLevelSelectComesBackToItWithTheSavedMapOffered) {
    // A player's folder of the test's own, gone with it.
    char folder[] = "/tmp/grumbo-menus-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const char* before = std::getenv("XDG_DATA_HOME");
    const std::string was = before != nullptr ? before : "";
    setenv("XDG_DATA_HOME", folder, 1);
    RereadGameMaps();
    press(sf::Keyboard::Return); // Play
    runSeconds(1.0f);
    for (int i = 0; i < 3; ++i) {
        tap(sf::Keyboard::T); // join, open, ready
    }
    tap(sf::Keyboard::C); // a computer
    runSeconds(0.7f);
    ASSERT_EQ(screen(), MenuScreen::LevelSelectScreen);
    const std::string first = menu().levelSelect->chosenMap();
    tap(sf::Keyboard::E);
    ASSERT_TRUE(runUntil([&] { return current() == GameStateId::Editor; }, 120));
    EXPECT_EQ(EditedMapName(), first);
    // Saved under a name of the player's own, as the editor's map list does.
    EditorSession& session = EditorSession::instance();
    session.document.setName("Saved");
    SaveRequest request;
    request.map = session.document.map();
    request.theme = session.document.theme();
    request.clean = true;
    const SaveResult saved = SaveMap(request, GameMaps());
    ASSERT_EQ(saved.outcome, SaveResult::Outcome::Listed) << saved.message;
    session.document.markSaved();
    RereadGameMaps();
    key(sf::Keyboard::LControl, true);
    tap(sf::Keyboard::Q);
    key(sf::Keyboard::LControl, false);
    ASSERT_TRUE(runUntil(
        [&] { return current() == GameStateId::MainMenu && screen() == MenuScreen::LevelSelectScreen; },
        120));
    run(2);
    EXPECT_EQ(menu().levelSelect->chosenMap(), "Saved") << "the map as saved is offered and highlighted";
    EXPECT_EQ(menu().joinedCount, 2u) << "the same players";
    EXPECT_TRUE(menu().panels[1]->computer.has_value());
    setenv("XDG_DATA_HOME", was.c_str(), 1);
    std::filesystem::remove_all(folder);
    RereadGameMaps();
}
