#include "frontend/main_menu_game_state.hpp"

#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "engine/engine.hpp"
#include "frontend/level_select.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/menu_options.hpp"
#include "frontend/menu_screens.hpp"
#include "frontend/online_screens.hpp"
#include "frontend/player_panel.hpp"
#include "frontend/seat_return.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "match/match_run.hpp"
#include "objects/game_object_list.hpp"
#include "objects/map_catalogue.hpp"
#include "objects/resource_manager.hpp"

#include <iostream>

namespace {

struct TextureFile {
    const char* name;
    const char* path;
};

// Every picture of the menu, loaded when the menu is made.
constexpr TextureFile kMenuTextures[] = {
    {"MenuBG", "../Resources/Texture/MainMenu/BG.png"},
    {"PlayButton", "../Resources/Texture/MainMenu/Play.png"},
    {"PlayButtonHL", "../Resources/Texture/MainMenu/Play_Highlight.png"},
    {"Options", "../Resources/Texture/MainMenu/Options.png"},
    {"OptionsHL", "../Resources/Texture/MainMenu/Options_Highlight.png"},
    {"Credits", "../Resources/Texture/MainMenu/Credits.png"},
    {"CreditsHL", "../Resources/Texture/MainMenu/Credits_Highlight.png"},
    {"Quit", "../Resources/Texture/MainMenu/Quit.png"},
    {"QuitHL", "../Resources/Texture/MainMenu/Quit_Highlight.png"},
    {"Back", "../Resources/Texture/MainMenu/Back.png"},
    {"BackHL", "../Resources/Texture/MainMenu/Back_HL.png"},
    {"Selection", "../Resources/Texture/MainMenu/Selection_Highlight.png"},
    {"Arrow", "../Resources/Texture/MainMenu/Arrow.png"},
    {"Title", "../Resources/Texture/MainMenu/Title.png"},
    {"PlayerSelection", "../Resources/Texture/MainMenu/PlayerSelection.png"},
    {"SetSelection", "../Resources/Texture/MainMenu/SetSelection.png"},
    {"Checkbox", "../Resources/Texture/MainMenu/Checkbox.png"},
    {"CheckboxTick", "../Resources/Texture/MainMenu/Checkbox_Tick.png"},
    {"Editor", "../Resources/Texture/MainMenu/Editor.png"},
    {"EditorHL", "../Resources/Texture/MainMenu/Editor_Highlight.png"},
    {"Online", "../Resources/Texture/MainMenu/Online.png"},
    {"OnlineHL", "../Resources/Texture/MainMenu/Online_Highlight.png"},
    {"Host", "../Resources/Texture/MainMenu/Host.png"},
    {"HostHL", "../Resources/Texture/MainMenu/Host_Highlight.png"},
    {"Join", "../Resources/Texture/MainMenu/Join.png"},
    {"JoinHL", "../Resources/Texture/MainMenu/Join_Highlight.png"},
    {"Tutorial", "../Resources/Texture/MainMenu/Tutorial.png"},
    {"TutorialHL", "../Resources/Texture/MainMenu/Tutorial_Highlight.png"},
    {"MenuButtonHL", "../Resources/Texture/MainMenu/Menu_Hightlight.png"},
    {"NextButtonHL", "../Resources/Texture/MainMenu/Next_Hightlight.png"},
    {"Tutorial_1", "../Resources/Texture/MainMenu/Tutorial/Tutorial_1.png"},
    {"Tutorial_2", "../Resources/Texture/MainMenu/Tutorial/Tutorial_2.png"},
    {"Tutorial_3", "../Resources/Texture/MainMenu/Tutorial/Tutorial_3.png"},
    {"CreditsPanel", "../Resources/Texture/MainMenu/CreditsPanel.png"},
    {"Confirmation", "../Resources/Texture/Pause/Confirmation.png"},
    {"Yes", "../Resources/Texture/MainMenu/Yes.png"},
    {"YesHL", "../Resources/Texture/MainMenu/Yes_HL.png"},
    {"No", "../Resources/Texture/MainMenu/No.png"},
    {"NoHL", "../Resources/Texture/MainMenu/No_HL.png"},
    {"BlackOverlay", "../Resources/Texture/Shaders/Fade_BlackOverlay.png"},
    {"TrackSprite_Vantu", "../Resources/Texture/Player/Tracks/Tracks_Move_Vantu.png"},
    {"TrackSprite_Rainbow", "../Resources/Texture/Player/Tracks/Tracks_Move.png"},
    {"TrackSprite_Quolle", "../Resources/Texture/Player/Tracks/Tracks_Move_Quolle.png"},
    {"TrackSprite_Kibbit", "../Resources/Texture/Player/Tracks/Tracks_Move_Kibbit.png"},
    {"TrackSprite_Pexie", "../Resources/Texture/Player/Tracks/Tracks_Move_Pexie.png"},
    {"TrackSprite_Vantu_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Vantu.png"},
    {"TrackSprite_Rainbow_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump.png"},
    {"TrackSprite_Quolle_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Quolle.png"},
    {"TrackSprite_Kibbit_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Kibbit.png"},
    {"TrackSprite_Pexie_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Pexie.png"},
    {"BarrelSprite_Explosion", "../Resources/Texture/Player/Barrels/Barrel_Explosion.png"},
    {"BarrelSprite_Sniper", "../Resources/Texture/Player/Barrels/Barrel_Sniper.png"},
    {"BarrelSprite_Splitting", "../Resources/Texture/Player/Barrels/Barrel_Splitting.png"},
    {"BarrelSprite_Bouncing", "../Resources/Texture/Player/Barrels/Barrel_Bouncing.png"},
    {"VantuFull", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Vantu.png"},
    {"QuolleFull", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Quolle.png"},
    {"KibbitFull", "../Resources/Texture/MainMenu/FaceSelect/Face_Full_Kibbit.png"},
    {"PexieFull", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Pexie.png"},
    {"ControlSchemeGamepad1", "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_Gamepad1.png"},
    {"ControlSchemeGamepad2", "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_Gamepad2.png"},
    {"ControlSchemeGamepad3", "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_Gamepad3.png"},
    {"ControlSchemeGamepad4", "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_Gamepad4.png"},
    {"ControlSchemeKeyboardLeft",
     "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_KeyboardLeft.png"},
    {"ControlSchemeKeyboardRight",
     "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_KeyboardRight.png"},
    {"ControlSchemeComputer", "../Resources/Texture/MainMenu/ControlSchemes/ControlScheme_Computer.png"},
    {"Map1", "../Resources/Texture/MainMenu/LevelSelection/Map1.png"},
    {"Map2", "../Resources/Texture/MainMenu/LevelSelection/Map2.png"},
    {"StartGame", "../Resources/Texture/MainMenu/StartGame.png"},
    {"StartGameHL", "../Resources/Texture/MainMenu/StartGame_HL.png"},
    {"CustomMap", "../Resources/Texture/MainMenu/LevelSelection/CustomMap.png"},
};

constexpr vec3 kPanelPlaces[4] = {
    {-12.0f, 8.0f, 1.0f}, {12.0f, 8.0f, 1.0f}, {-12.0f, -5.5f, 1.0f}, {12.0f, -5.5f, 1.0f}};

} // namespace

MainMenuGameState::MainMenuGameState() {
    ResourceManager& resources = ResourceManager::instance();
    // Without OpenGL nothing is drawn, so there is nothing to load pictures into; the menu
    // behaves the same without them.
    const bool drawing = Engine::instance().canDraw();
    if (drawing) {
        for (const TextureFile& t : kMenuTextures) {
            resources.loadTexture(t.name, t.path);
        }
    }
    // Back from the editor: the maps as it left them.
    if (PendingLevelSelect()) {
        RereadGameMaps();
    }
    // The shipped maps, then the player's own.
    const MapCatalogue& maps = GameMaps();
    shippedCount = maps.shippedNames().size();
    mapNames = maps.names();
    if (mapNames.empty()) {
        std::cout << "No maps are listed in ../Resources/JsonData/MapSetting.json; no match can be started"
                  << std::endl;
    }
    previewNames = LevelSelectPreviews(maps, [&](const std::string& texture, const std::string& path) {
        return !drawing || resources.loadTexture(texture, path) != nullptr;
    });
}

MainMenuGameState::~MainMenuGameState() {
    ResourceManager& resources = ResourceManager::instance();
    for (const TextureFile& t : kMenuTextures) {
        resources.removeTexture(t.name);
    }
}

void MainMenuGameState::Load() {
    GameObjectList& list = GameObjectList::instance();
    ResourceManager& resources = ResourceManager::instance();

    // 1. The scrolling background.
    background = list.create("MenuBackground");
    background->transform.setPosition(0.0f, 0.0f, -2.0f);
    background->transform.setScale(53.7f, 30.2f, 10.0f);
    auto* sky = background->addComponent<SpriteRenderer>();
    sky->shader = resources.getShader("Sprite-Scrolling");
    sky->setTexture("MenuBG");
    background->attach(new ShaderLogic(&camera, background, ShaderMode::Scroll))->StartScroll(0.05f);

    // 2. The circular fade over everything.
    fadeOverlay = list.create("BlackOverlay");
    fadeOverlay->transform.setPosition(0.0f, 0.0f, 1.0f);
    fadeOverlay->transform.setScale(2.0f, 2.0f, 1.0f);
    fadeOverlay->addComponent<GameUIRenderer>()->set(resources.getShader("Sprite_FadeToBlack_Circular"),
                                                     std::string("BlackOverlay"), {1, 1, 1, 1}, 1, 1, 1);
    auto* fade = fadeOverlay->attach(new ShaderLogic(&camera, fadeOverlay, ShaderMode::Fade));

    // 3. The screens and the controller that runs them.
    MenuController& menu = MenuController::instance();
    menu = MenuController{};
    menu.title = BuildTitle();
    for (size_t i = 0; i < menu.panels.size(); ++i) {
        menu.panels[i] = BuildPlayerPanel(kPanelPlaces[i], "Player" + std::to_string(i + 1), &menu);
    }
    menu.levelSelect = BuildLevelSelect(mapNames, previewNames, shippedCount);
    menu.levelSelect->extraSeconds = CommandLineMenuOptions().seconds;
    menu.online = BuildOnlineChoice();
    menu.seats = BuildSeatsStep();
    menu.join = BuildJoinScreen();
    menu.option = BuildOptions();
    menu.tutorial = BuildTutorial();
    menu.credit = BuildCredits();
    menu.quit = BuildQuit();
    menu.fade = fade;
    menu.transitionTimer = menu.transitionTime;
    menu.screen = MenuScreen::Title;
    menu.screenEntered = false;
    // Back from the editor the level select opened: straight to it, as it was.
    if (PendingLevelSelect()) {
        menu.comingBack = PendingLevelSelect();
        PendingLevelSelect().reset();
        menu.flow = menu.comingBack->flow;
        menu.screen = MenuScreen::LevelSelectScreen;
        menu.title->Show(false);
    }
    if (!fade->fade()->active) {
        fade->StartFade(1.5f, 1.0f, 0.0f);
    }
    menu.title->busy = true;
    menu.joinLocked = false;
    // From the podium's level-select key: straight there, with the same players seated.
    MatchRun& run = MatchRun::instance();
    if (run.seatedAtLevelSelect) {
        run.seatedAtLevelSelect = false;
        if (SeatPlayersFromSettings(menu)) {
            menu.title->Show(false);
            menu.screen = MenuScreen::LevelSelectScreen;
        }
    }

    // 4-5.
    SoundManager::instance().playEvent(kEventMenuMusic, false);
    GraphicsManager::instance().EnableDepthAndBlending();
}

void MainMenuGameState::Update() {
    MenuController::instance().Update();
}

void MainMenuGameState::Exit() {
    SoundManager::instance().stopEvent(kEventMenuMusic);
    MenuController::instance() = MenuController{};
    DestroyStateObjects();
}
