#include "match/play_game_state.hpp"

#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "engine/engine.hpp"
#include "engine/input_manager.hpp"
#include "gameplay/bot.hpp"
#include "gameplay/player.hpp"
#include "gameplay/rumble.hpp"
#include "gameplay/teams.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/particle_emitter.hpp"
#include "graphics/particle_pool.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "graphics/shader_logic.hpp"
#include "match/arena.hpp"
#include "match/match_run.hpp"
#include "match/match_settings.hpp"
#include "match/shared_spawn.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/json_data.hpp"
#include "objects/map_catalogue.hpp"
#include "objects/portable_math.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

// Pictures of screens a player may never open in a match, and of its end, loaded the first time
// they show (LoadMatchPictureWhenShown) rather than with the rest, so a match starts sooner: the
// pause menu's tutorial pages and credits, the end banner's hearts and words (only the pair the
// match ends with), the victory background and title.
constexpr TextureFile kShownLaterTextures[] = {
    {"Tutorial_1", "../Resources/Texture/MainMenu/Tutorial/Tutorial_1.png"},
    {"Tutorial_2", "../Resources/Texture/MainMenu/Tutorial/Tutorial_2.png"},
    {"Tutorial_3", "../Resources/Texture/MainMenu/Tutorial/Tutorial_3.png"},
    {"CreditsPanel", "../Resources/Texture/MainMenu/CreditsPanel.png"},
    {"VictoryScreenBG", "../Resources/Texture/MainMenu/BG.png"},
    {"VictoryText", "../Resources/Texture/GameOver/Victory.png"},
    {"DrawText", "../Resources/Texture/GameOver/Draw.png"},
    {"TimeUpUp", "../Resources/Texture/GameOver/TimeUpUp.png"},
    {"TimeUpTime", "../Resources/Texture/GameOver/TimeUpTime.png"},
    {"GameSetGame", "../Resources/Texture/GameOver/GameSetGame.png"},
    {"GameSetSet", "../Resources/Texture/GameOver/GameSetSet.png"},
    {"HeartLeft", "../Resources/Texture/HeartLeft.png"},
    {"HeartRight", "../Resources/Texture/HeartRight.png"},
};

// Every other picture a match draws besides the arena's, loaded when the match is made.
constexpr TextureFile kMatchTextures[] = {
    {"TrackSprite_Rainbow", "../Resources/Texture/Player/Tracks/Tracks_Move.png"},
    {"TrackSprite_Rainbow_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump.png"},
    {"TrackSprite_Vantu", "../Resources/Texture/Player/Tracks/Tracks_Move_Vantu.png"},
    {"TrackSprite_Vantu_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Vantu.png"},
    {"TrackSprite_Quolle", "../Resources/Texture/Player/Tracks/Tracks_Move_Quolle.png"},
    {"TrackSprite_Quolle_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Quolle.png"},
    {"TrackSprite_Kibbit", "../Resources/Texture/Player/Tracks/Tracks_Move_Kibbit.png"},
    {"TrackSprite_Kibbit_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Kibbit.png"},
    {"TrackSprite_Pexie", "../Resources/Texture/Player/Tracks/Tracks_Move_Pexie.png"},
    {"TrackSprite_Pexie_Jump", "../Resources/Texture/Player/Tracks/Tracks_Jump_Pexie.png"},
    {"FaceSprite_Vantu", "../Resources/Texture/Player/Faces/Face_Vantu.png"},
    {"FaceSprite_Quolle", "../Resources/Texture/Player/Faces/Face_Quolle.png"},
    {"FaceSprite_Kibbit", "../Resources/Texture/Player/Faces/Face_Kibbit.png"},
    {"FaceSprite_Pexie", "../Resources/Texture/Player/Faces/Face_Pexie.png"},
    {"BarrelSprite", "../Resources/Texture/Player/Barrel.png"},
    {"BarrelSprite_Explosion", "../Resources/Texture/Player/Barrels/Barrel_Explosion.png"},
    {"BarrelSprite_Splitting", "../Resources/Texture/Player/Barrels/Barrel_Splitting.png"},
    {"BarrelSprite_Sniper", "../Resources/Texture/Player/Barrels/Barrel_Sniper.png"},
    {"BarrelSprite_Bouncing", "../Resources/Texture/Player/Barrels/Barrel_Bouncing.png"},
    {"AimingArrow", "../Resources/Texture/Player/Barrel_Aiming_Arrow.png"},
    {"Bullet", "../Resources/Texture/Bullet/SplitBulletIndividual.png"},
    {"ExplodingBullet", "../Resources/Texture/Bullet/ExplodingBullet.png"},
    {"SplittingBullet", "../Resources/Texture/Bullet/SplitBulletCombined.png"},
    {"RicochetBullet", "../Resources/Texture/Bullet/RicochetBullet.png"},
    {"SniperBullet", "../Resources/Texture/Bullet/SniperBullet.png"},
    {"StickyBullet", "../Resources/Texture/Bullet/StickyBullet.png"},
    {"BlackholeBullet", "../Resources/Texture/Bullet/BlackholeBullet.png"},
    {"ExpulsionBullet", "../Resources/Texture/Bullet/ExpulsionBullet.png"},
    {"ArtilleryBullet", "../Resources/Texture/Bullet/ArtilleryBullet.png"},
    {"RocketWarning", "../Resources/Texture/Bullet/RocketBullet_Extra/Rocket_Warning.png"},
    {"RocketBody", "../Resources/Texture/Bullet/RocketBullet_Extra/Rocket_Body.png"},
    {"RocketHead", "../Resources/Texture/Bullet/RocketBullet_Extra/Rocket_Head.png"},
    {"ArtilleryWarning", "../Resources/Texture/Bullet/ArtilleryBullet_Extra/Artillery_Warning.png"},
    {"Explosion", "../Resources/Texture/FX/Explosion.png"},
    {"BodySprite", "../Resources/Texture/Player/Body.png"},
    {"EyeSprite", "../Resources/Texture/Player/Eyes.png"},
    {"PickUpAura", "../Resources/Texture/Player/PickUpAura.png"},
    {"PlatformSprite", "../Resources/Texture/Platform.png"},
    {"Crate", "../Resources/Texture/Crate.png"},
    {"BlackHolePickUp", "../Resources/Texture/Pickups/Pickup_Blackhole.png"},
    {"ExpulsionPickUp", "../Resources/Texture/Pickups/Pickup_Expulsion.png"},
    {"ArtilleryPickUp", "../Resources/Texture/Pickups/Pickup_Artillery.png"},
    {"Indicator_1", "../Resources/Texture/Player/Indicators/Indicator_1.png"},
    {"Indicator_2", "../Resources/Texture/Player/Indicators/Indicator_2.png"},
    {"Indicator_3", "../Resources/Texture/Player/Indicators/Indicator_3.png"},
    {"Indicator_4", "../Resources/Texture/Player/Indicators/Indicator_4.png"},
    {"PauseText", "../Resources/Texture/Pause/PauseText.png"},
    {"Confirmation", "../Resources/Texture/Pause/Confirmation.png"},
    {"Resume", "../Resources/Texture/Pause/Resume.png"},
    {"Resume_HL", "../Resources/Texture/Pause/Resume_HL.png"},
    {"PauseTutorial", "../Resources/Texture/Pause/Tutorial.png"},
    {"PauseTutorial_HL", "../Resources/Texture/Pause/Tutorial_HL.png"},
    {"QuitGame", "../Resources/Texture/Pause/QuitGame.png"},
    {"QuitGame_HL", "../Resources/Texture/Pause/QuitGame_HL.png"},
    {"PauseOptions", "../Resources/Texture/Pause/Options.png"},
    {"PauseOptions_HL", "../Resources/Texture/Pause/Options_HL.png"},
    {"PauseCredits", "../Resources/Texture/Pause/Credits.png"},
    {"PauseCredits_HL", "../Resources/Texture/Pause/Credits_HL.png"},
    {"PauseBack", "../Resources/Texture/MainMenu/Back.png"},
    {"PauseBack_HL", "../Resources/Texture/MainMenu/Back_HL.png"},
    {"PauseNext", "../Resources/Texture/Pause/PauseNext.png"},
    {"Yes", "../Resources/Texture/MainMenu/Yes.png"},
    {"Yes_HL", "../Resources/Texture/MainMenu/Yes_HL.png"},
    {"No", "../Resources/Texture/MainMenu/No.png"},
    {"No_HL", "../Resources/Texture/MainMenu/No_HL.png"},
    {"Arrow", "../Resources/Texture/MainMenu/Arrow.png"},
    {"OptionBox", "../Resources/Texture/MainMenu/PlayerSelection.png"},
    {"CheckBox", "../Resources/Texture/MainMenu/Checkbox.png"},
    {"CheckBoxTick", "../Resources/Texture/MainMenu/Checkbox_Tick.png"},
    {"SelectionHighlight", "../Resources/Texture/MainMenu/Selection_Highlight.png"},
    {"Volume", "../Resources/Texture/Pause/Volume.png"},
    {"Mute", "../Resources/Texture/Pause/Mute.png"},
    {"Windowed", "../Resources/Texture/Pause/Windowed.png"},
    {"PanelBackground", "../Resources/Texture/StatsPanelBG.png"},
    {"UI_Font", "../Resources/Texture/UI_Font.png"},
    {"PlayerNumber_1", "../Resources/Texture/Player/PlayerNumbers/PlayerNumber_1.png"},
    {"PlayerNumber_2", "../Resources/Texture/Player/PlayerNumbers/PlayerNumber_2.png"},
    {"PlayerNumber_3", "../Resources/Texture/Player/PlayerNumbers/PlayerNumber_3.png"},
    {"PlayerNumber_4", "../Resources/Texture/Player/PlayerNumbers/PlayerNumber_4.png"},
    {"ComputerTag", "../Resources/Texture/Player/PlayerNumbers/ComputerTag.png"},
    {"PanelVantu", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Vantu.png"},
    {"PanelQuolle", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Quolle.png"},
    {"PanelKibbit", "../Resources/Texture/MainMenu/FaceSelect/Face_Full_Kibbit.png"},
    {"PanelPexie", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Pexie.png"},
    {"StarParticle", "../Resources/Texture/Particle/Star.png"},
    {"SmokeParticle", "../Resources/Texture/Particle/Smoke.png"},
    {"BlackholeParticle", "../Resources/Texture/Particle/Blackhole.png"},
    {"ExpulsionParticle", "../Resources/Texture/Particle/Expulsion.png"},
    {"BlackOverlay", "../Resources/Texture/Shaders/Fade_BlackOverlay.png"},
    {"Go", "../Resources/Texture/Go.png"},
};

// Textures the main menu shares with the pause menu: they stay loaded when the match goes.
constexpr const char* kSharedTextures[] = {
    "Arrow",        "CheckBox",        "CheckBoxTick",       "CreditsPanel", "Mute",
    "OptionBox",    "PauseBack",       "PauseBack_HL",       "PauseCredits", "PauseCredits_HL",
    "PauseOptions", "PauseOptions_HL", "SelectionHighlight", "Volume",       "Windowed"};

constexpr vec4 kBeamColours[4] = {{1, 0, 0, 0.5f}, {0, 0, 1, 0.5f}, {0, 1, 0, 0.5f}, {1, 1, 0, 0.5f}};
constexpr vec3 kIndicatorLift{0.0f, 4.0f, 0.0f};
constexpr float kGoSignStartX = -1.25f;
constexpr vec3 kOnlineNoticeAt{0.0f, 0.72f, 0.1f};
constexpr vec3 kOnlineNoticeShadowOffset{0.004f, -0.006f, 0.0f};
constexpr vec3 kOnlineNoticeScale{0.045f, 0.072f, 1.0f};
// On the podium the line sits between the victory words and the columns, clear of both.
constexpr vec3 kOnlinePodiumNoticeAt{0.0f, 0.15f, 0.1f};
constexpr float kGoSignEndX = 1.25f;
constexpr float kFirstCrateDelay = 30.0f;

ShaderProgram* shader(const char* name) {
    return ResourceManager::instance().getShader(name);
}

GameUIRenderer* uiImage(GameObject* object, const std::string& texture, vec3 position, vec3 scale,
                        const char* program = "Sprite-UI") {
    object->transform.setPosition(position.x, position.y, position.z);
    object->transform.setScale(scale.x, scale.y, scale.z);
    auto* image = object->addComponent<GameUIRenderer>();
    image->set(shader(program), texture, {1, 1, 1, 1}, 1, 1, 1);
    return image;
}

bool sharedWithMenus(const char* name) {
    return std::find_if(std::begin(kSharedTextures), std::end(kSharedTextures), [&](const char* kept) {
               return std::string(kept) == name;
           }) != std::end(kSharedTextures);
}

} // namespace

void LoadMatchPictureWhenShown(const std::string& name) {
    if (!Engine::instance().canDraw()) {
        return;
    }
    for (const TextureFile& t : kShownLaterTextures) {
        if (name == t.name) {
            ResourceManager::instance().loadTexture(t.name, t.path);
            ResourceManager::instance().tellMissingPictures();
        }
    }
}

PlayGameState::PlayGameState() {
    ResourceManager& resources = ResourceManager::instance();
    SoundManager& sound = SoundManager::instance();
    // Without OpenGL nothing is drawn, so there is nothing to load pictures into.
    const bool drawing = Engine::instance().canDraw();
    for (const TextureFile& t : kMatchTextures) {
        if (drawing) {
            resources.loadTexture(t.name, t.path);
        }
        if (std::string(t.name) == "BlackHolePickUp") {
            // Halfway through the pictures, the sounds: every effect of the match is readied
            // now so none stalls on its first play.
            sound.loadBankSampleData("SFX_Bank.bank");
            sound.loadEvent(kEventMatchMusic);
            sound.loadEvent(kEventVictoryMusic);
            sound.loadSampleData(kEventMatchMusic);
            sound.loadSampleData(kEventVictoryMusic);
        }
    }
    if (drawing) {
        for (const TextureFile& t : kArenaTextures) {
            resources.loadTexture(t.name, t.path);
        }
    }
}

PlayGameState::~PlayGameState() {
    SoundManager::instance().stopAll();
    ResourceManager& resources = ResourceManager::instance();
    for (const TextureFile& t : kMatchTextures) {
        if (!sharedWithMenus(t.name)) {
            resources.removeTexture(t.name);
        }
    }
    for (const TextureFile& t : kShownLaterTextures) {
        if (!sharedWithMenus(t.name)) {
            resources.removeTexture(t.name);
        }
    }
    for (const TextureFile& t : kArenaTextures) {
        resources.removeTexture(t.name);
    }
    // Kept through Exit, so the next match of a soak writes its picture into the same texture.
    resources.removeTexture("Background");
}

std::vector<Player*> PlayGameState::MatchPlayers() const {
    std::vector<Player*> list;
    for (int i = 0; i < playerCount; ++i) {
        if (players[static_cast<size_t>(i)] != nullptr) {
            list.push_back(players[static_cast<size_t>(i)]);
        }
    }
    return list;
}

void PlayGameState::AddFollower(GameObject* object) {
    followers.push_back(object);
    followerBase.push_back(object->transform.position);
}

void PlayGameState::hashState(WorldHasher& hasher) const {
    hasher.addAll(phase, playerCount, matchSeed, matchFrames, fadeDuration, fadeTimer);
    hasher.addAll(timeLeft, endCheckInterval, endCheckTimer, crateTimer, crateInterval);
    hasher.addAll(arenaTop, arenaBottom, arenaLeft, arenaRight);
    // Machines that disagree on the sides part at once; a free-for-all hashes as it always has.
    if (const Teams& teams = Teams::current(); teams.on) {
        hasher.add(teams.hits);
        for (uint8_t side : teams.seat) {
            hasher.add(static_cast<uint32_t>(side));
        }
    }
    hasher.add(static_cast<uint64_t>(pendingCrateKinds.size()));
    for (int32_t kind : pendingCrateKinds) {
        hasher.add(kind);
    }
    hasher.add(static_cast<uint64_t>(spawnPoints.size()));
    for (vec3 point : spawnPoints) {
        hasher.add(point);
    }
    // The "Go" sign's place decides the frame the match starts.
    if (goSign != nullptr) {
        hasher.addAll(static_cast<bool>(goSign->owner->active), goSign->owner->transform.position);
    }
    // The results strip's tallies, counted as the match plays, the same on every machine.
    for (const SeatTally& seat : stats.seats) {
        hasher.addAll(seat.knockOuts, seat.falls, seat.selfFalls, seat.damageDealt, seat.longestLife,
                      seat.life, seat.lastHitBy, seat.sinceLastHit);
    }
    end.hashState(hasher);
}

void PlayGameState::carryState(StateArchive& archive) {
    CARRY_STATE(archive, phase, timeLeft, endCheckInterval, endCheckTimer, crateTimer, crateInterval);
    CARRY_STATE(archive, matchFrames, fadeDuration, fadeTimer, onlinePodiumTold);
    archive.carryList("pendingCrateKinds", pendingCrateKinds);
    archive.carryList("spawnPoints", spawnPoints);
    archive.carryLink("victoryBackground", victoryBackground);
    CARRY_STATE(archive, stats.seats);
    // The sign hangs in the interface, whose places are not saved, but its place is the match's.
    if (goSign != nullptr) {
        Transform& sign = goSign->owner->transform;
        CARRY_STATE(archive, sign.position);
        archive.carryFlag("goSign.active", goSign->owner->active);
    }
    end.carryState(archive);
}

bool PlayGameState::AllComputers() const {
    if (playerCount == 0) {
        return false;
    }
    for (Player* p : MatchPlayers()) {
        if (!p->computer) {
            return false;
        }
    }
    return true;
}

// A state entered again for the next match of a soak starts from nothing, as a new one would.
void PlayGameState::resetForNewMatch() {
    phase = MatchPhase::FadeIn;
    stats = MatchStats{};
    playerCount = 0;
    for (size_t i = 0; i < 4; ++i) {
        tanks[i].reset();
        players[i] = nullptr;
        statsPanels[i].reset();
        indicators[i] = nullptr;
        burstEmitters[i] = nullptr;
        computers[i].reset();
    }
    end = GameOver{};
    pause = PauseMenu{};
    spawnPoints.clear();
    mapSpawnPoints.clear();
    followers.clear();
    followerBase.clear();
    localObjects.clear();
    background = frameBuffer = victoryBackground = fpsText = uiRoot = fadeOverlay = nullptr;
    waves = fadeLogic = nullptr;
    goSign = nullptr;
    timeLeft = 0.0f;
    sharedSpawnTold = false;
    padSeats.Seat({}, {});
    pauseForLostPad = false;
    recorder.reset();
    matchFrames = 0;
    online = nullptr;
    onlinePodiumTold = false;
    localMenuPhase = MatchPhase::Playing;
    onlineNotice = onlineNoticeShadow = nullptr;
    camera = Camera();
}

void PlayGameState::Load() {
    GameObjectList& list = GameObjectList::instance();
    FrameTimer& timer = FrameTimer::instance();
    resetForNewMatch();

    // Everything random in a match follows from one seed, so a recording can play it back.
    MatchRun& run = MatchRun::instance();
    online = run.online;
    matchSeed = run.seedForMatch();
    seedRandom(matchSeed);
    matchStartSeconds = WallSeconds();

    // 1. The frames-per-second text, hidden until Tab.
    fpsText = list.create("FPSText");
    fpsText->transform.setPosition(-0.75f, 0.9f, 0.1f);
    fpsText->transform.setScale(0.05f, 0.08f, 1.0f);
    auto* fps = fpsText->addComponent<TextRenderer>();
    fps->shader = shader("Text-UI");
    fps->color = {1, 1, 1, 1};
    fps->text = "FPS : 0";
    AddFollower(fpsText);
    setActive(fpsText, false);

    // The clock exists in every match, even one set up with no map.
    gameTimer = BuildGameTimer({0.0f, 0.9f, 0.1f}, {0.05f, 0.08f, 1.0f});
    AddFollower(gameTimer->root);

    MatchSettings& settings = MatchSettings::instance();
    Teams::current() = settings.empty() ? Teams{} : ReadTeams(settings);
    if (!settings.empty()) {
        playerCount = std::clamp(settings.getInt("TotalPlayer"), 0, 4);
        timeLeft = settings.getFloat("Time");
        mapName = settings.get("MapName");

        // The map, and its background picture by the pictures table (a player's map by its theme).
        MapData map;
        std::string path;
        if (run.trial) {
            map = run.trial->map;
            path = run.trial->backgroundPath;
        } else {
            map = LoadMatchMap(mapName, path);
        }
        ResourceManager& resources = ResourceManager::instance();
        if (path.empty() || !Engine::instance().canDraw()) {
            resources.removeTexture("Background");
        } else if (resources.replaceTexture("Background", path) == nullptr) {
            resources.replaceTexture("Background", kFallbackBackgroundPath);
        }
        background = list.create("Background");
        auto* picture = background->addComponent<SpriteRenderer>();
        picture->shader = shader("Blackhole");
        picture->setTexture("Background");

        InstantiateMap(map);
    }

    // 8. A burst of stars for each player, where their tank leaves the arena.
    for (int i = 0; i < playerCount; ++i) {
        GameObject* holder = list.create("DeathBurst");
        ParticleEmitter* burst = holder->attach(new ParticleEmitter(holder));
        SetupKnockoutStars(*burst, i + 1);
        burstEmitters[static_cast<size_t>(i)] = burst;
    }

    // 9. The first crate falls 30 s after "Go"; the first three carry each kind once.
    crateInterval = 20.0f;
    crateTimer = kFirstCrateDelay;
    pendingCrateKinds = {PickUpKind::BlackHole, PickUpKind::Artillery, PickUpKind::Expulsion};

    // 10-11. The interface root: the pause menu, the "Go" sign, and over everything the fade.
    uiRoot = list.create("UIRoot");
    const size_t beforeMenu = list.objects().size();
    pause.Build(uiRoot);
    localObjects.assign(list.objects().begin() + static_cast<std::ptrdiff_t>(beforeMenu),
                        list.objects().end());
    localObjects.push_back(fpsText);
    GameObject* go = list.create("Go");
    uiRoot->transform.setParent(go);
    goSign = uiImage(go, "Go", {kGoSignStartX, 0.0f, 1.0f}, {0.5f, 0.8f, 1.0f});
    fadeOverlay = list.create("GameOverBlackOverlay");
    uiRoot->transform.setParent(fadeOverlay);
    uiImage(fadeOverlay, "BlackOverlay", {0.0f, 0.0f, 1.0f}, {2.0f, 2.0f, 1.0f},
            "Sprite_FadeToBlack_Circular");
    fadeLogic = fadeOverlay->attach(new ShaderLogic(&camera, fadeOverlay, ShaderMode::Fade));
    fadeLogic->StartFade(1.5f, 1.0f, 0.0f);
    AddFollower(uiRoot);

    // 12. The HUD as it stands, markers over the tanks, and everyone frozen until "Go".
    for (int i = 0; i < playerCount; ++i) {
        auto index = static_cast<size_t>(i);
        if (statsPanels[index]) {
            UpdateStatsPanel(*statsPanels[index]);
        }
        if (indicators[index] != nullptr && players[index] != nullptr) {
            vec3 at = players[index]->owner->transform.position + kIndicatorLift;
            indicators[index]->transform.setPosition(at.x, at.y, at.z);
        }
    }
    for (Player* p : MatchPlayers()) {
        p->enabled = false;
    }

    // 13. The whole picture goes through the shock-wave program.
    frameBuffer = list.create("FrameBuffer");
    auto* composite = frameBuffer->addComponent<FrameBufferRenderer>();
    composite->set(shader("Shockwave"), nullptr, {1, 1, 1, 1});
    waves = frameBuffer->attach(new ShaderLogic(&camera, frameBuffer, ShaderMode::Waves));

    seatPads();
    if (online != nullptr) {
        // Over the match, under the clock: who is being waited for, who left.
        onlineNoticeShadow = MakeObject("OnlineNoticeShadow",
                                        {kOnlineNoticeAt + kOnlineNoticeShadowOffset, kOnlineNoticeScale});
        SetText(onlineNoticeShadow, "", {0.0f, 0.0f, 0.0f, 1.0f}, "Text-UI");
        onlineNotice = MakeObject("OnlineNotice", {kOnlineNoticeAt, kOnlineNoticeScale});
        SetText(onlineNotice, "", {1.0f, 1.0f, 0.4f, 1.0f}, "Text-UI");
        AddFollower(onlineNoticeShadow);
        AddFollower(onlineNotice);
        localObjects.push_back(onlineNoticeShadow);
        localObjects.push_back(onlineNotice);
    }

    if (!run.recordPath.empty()) {
        // A match simulated in fixed frames (online) is replayed in the same fixed frames.
        const FramePacer* pacer = Engine::instance().pacer;
        const auto pace =
            pacer != nullptr ? static_cast<uint32_t>(std::lround(1.0f / pacer->frameSeconds())) : 0u;
        recorder = std::make_unique<MatchRecorder>(matchSeed, settings.all(), run.recordPath, pace);
        SetActionObserver(recorder.get());
        if (online != nullptr) {
            recorder->holdUntilFinal(); // frames simulated on predicted actions may be simulated again
        }
    }

    // 14-15.
    endCheckTimer = 0.0f;
    fadeTimer = fadeDuration;
    phase = MatchPhase::FadeIn;
    timer.setTimeScale(0.0f);
    SetGameTimer(*gameTimer, static_cast<int32_t>(timeLeft));
    setActive(fpsText, false);
    GraphicsManager::instance().EnableDepthAndBlending();
}

void PlayGameState::InstantiateMap(const MapData& map) {
    deathZone = std::make_unique<DeathBorder>(BuildArena(camera, map, background));
    spawnPoints = map.spawnPoints;
    mapSpawnPoints = map.spawnPoints;
    const ArenaBounds bounds = ArenaBoundsFor(map.cameraZoom);
    arenaTop = bounds.top;
    arenaBottom = bounds.bottom;
    arenaLeft = bounds.left;
    arenaRight = bounds.right;

    MatchSettings& settings = MatchSettings::instance();
    const int lives = settings.getInt("Lives");
    std::vector<vec3> starts;
    for (int i = 0; i < playerCount; ++i) {
        starts.push_back(takeSpawnPoint(i + 1, map.platforms, starts));
        buildPlayer(i, lives, starts.back());
    }
    // Players 1 and 2 always read their controls; 3 and 4 only when they play.
    for (int n = 1; n <= std::min(playerCount, 4); ++n) {
        if (Player* p = players[static_cast<size_t>(n - 1)]) {
            p->SetControlScheme(settings.getInt(MatchSettings::playerKey("PlayerControl", n)));
        }
    }
}

vec3 PlayGameState::takeSpawnPoint(int playerNumber, const std::vector<PlatformEntry>& platforms,
                                   const std::vector<vec3>& starts) {
    if (spawnPoints.empty()) {
        // More tanks than spawn points: the extra tanks take the points again, in turn.
        if (!sharedSpawnTold) {
            std::cout << "Map \"" << mapName << "\" has " << mapSpawnPoints.size() << " spawn points for "
                      << playerCount << " players; the extra tanks share them" << std::endl;
            sharedSpawnTold = true;
        }
        if (mapSpawnPoints.empty()) {
            return {0.0f, arenaTop - 2.0f, 0.0f};
        }
        const vec3 point = mapSpawnPoints[static_cast<size_t>(playerNumber - 1) % mapSpawnPoints.size()];
        return StartBesideSharedSpawn(point, starts, platforms);
    }
    size_t k = static_cast<size_t>(gameRand()) % spawnPoints.size();
    vec3 at = spawnPoints[k];
    spawnPoints.erase(spawnPoints.begin() + static_cast<std::ptrdiff_t>(k));
    return at;
}

void PlayGameState::buildPlayer(int index, int lives, vec3 start) {
    const int n = index + 1;
    const auto slot = static_cast<size_t>(index);
    MatchSettings& settings = MatchSettings::instance();
    GameObjectList& list = GameObjectList::instance();

    Player* player = nullptr;
    std::optional<TankParts> made = MakeTank(player, static_cast<uint32_t>(n), start);
    if (!made.has_value() || player == nullptr) {
        return;
    }
    tanks[slot] = std::make_unique<TankParts>(*made);
    players[slot] = player;
    const TankParts& tank = *tanks[slot];
    SetBodySprite(tank, "BodySprite");
    SetEyesSprite(tank, "EyeSprite");
    SetFaceSprite(tank, settings.get(MatchSettings::playerKey("PlayerFace", n)));
    SetBarrelSprite(tank, settings.get(MatchSettings::playerKey("PlayerTurret", n)));
    SetTrackSprite(tank, settings.get(MatchSettings::playerKey("PlayerTrack", n)));
    SetTrackJumpSprite(tank, settings.get(MatchSettings::playerKey("PlayerTrackJump", n)));
    SetTankGroup(tank, "Player " + std::to_string(n));
    player->knockbackMultiplier = 1.0f;
    player->SetChoices(settings.get(MatchSettings::playerKey("PlayerFace", n)),
                       settings.get(MatchSettings::playerKey("PlayerTrack", n)),
                       settings.get(MatchSettings::playerKey("PlayerTurret", n)));
    player->lives = static_cast<uint32_t>(std::max(lives, 0));
    player->dropHeight = arenaTop;

    // A computer seat plays from its own decisions; a replay plays every seat from the recording,
    // an online match every seat from what the machines agreed on (the machine that plays a
    // computer asks it, and its decisions travel like a person's).
    if (auto level = ParseBotLevel(settings.get(MatchSettings::playerKey("PlayerBot", n)))) {
        computers[slot] = std::make_unique<Bot>(*level, matchSeed + static_cast<uint32_t>(n));
        player->actionSource = computers[slot].get();
        player->computer = true;
    }
    if (MatchRun::instance().replay) {
        player->actionSource = MatchRun::instance().replay.get();
    }
    if (online != nullptr) {
        player->actionSource = &online->seatActions();
    }

    GameObject* marker = list.create("Indicator_" + std::to_string(n));
    marker->transform.setScale(1.5f, 1.5f, 1.0f);
    auto* sprite = marker->addComponent<SpriteRenderer>();
    sprite->shader = shader("Sprite");
    sprite->setTexture("Indicator_" + std::to_string(n));
    indicators[slot] = marker;
    if (player->computer) {
        SetText(MakeObject("ComputerTag", {{0.0f, -0.55f, 0.1f}, {0.5f, 0.5f, 1.0f}}, marker), "CPU",
                {1.0f, 1.0f, 0.4f, 1.0f});
    }

    // In a team match the tank, its marker and its panel carry a rim in the side's colour.
    const Teams& teams = Teams::current();
    const vec4 colour = TeamColour(teams.seat[slot]);
    statsPanels[slot] =
        BuildStatsPanel(player, n, playerCount, teams.on ? std::optional<vec4>(colour) : std::nullopt);
    AddFollower(statsPanels[slot]->root);
    if (teams.on) {
        GameObject* glow = MakeObject("TeamRim", {{0.0f, 0.7f, -0.6f}, {3.2f, 2.6f, 1.0f}}, tank.tankRoot);
        AddSprite(glow, "PickUpAura", {colour.x, colour.y, colour.z, 0.7f}, 4);
        // Both copies of the parts, so the glow goes and comes back with the tank.
        tanks[slot]->teamRim = glow;
        player->tank.teamRim = glow;
        GameObject* outline = MakeObject("TeamRim", {{0.0f, 0.0f, -0.05f}, {1.3f, 1.3f, 1.0f}}, marker);
        AddSprite(outline, "Indicator_" + std::to_string(n), colour);
    }
}

// Once per frame, before the players run: the recording and the replay move on a frame, and a
// soak checks that every body is still a place in the world.
void PlayGameState::followRecordingAndReplay() {
    MatchRun& run = MatchRun::instance();
    ++matchFrames;
    if (recorder) {
        recorder->beginFrame(static_cast<uint32_t>(std::lround(FrameTimer::instance().dt * 1000.0f)),
                             matchFrames);
    }
    if (run.replay) {
        run.replay->beginFrame();
    }
    if (run.soak) {
        for (RigidBody2D* body : PhysicsBodies()) {
            vec2 p = body->position;
            vec2 v = body->velocity;
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(v.x) || !std::isfinite(v.y)) {
                std::cout << "Soak: the body of \"" << (body->owner != nullptr ? body->owner->name : "?")
                          << "\" is no longer finite (position " << p.x << ", " << p.y << ")" << std::endl;
                ++run.soakFailures;
                requestState(GameStateId::Quit);
                break;
            }
        }
    }
}

// Every person's seat with its pad; keyboard halves, computers and replayed seats have none.
void PlayGameState::seatPads() {
    std::vector<uint32_t> pads;
    for (int i = 0; i < playerCount; ++i) {
        const Player* p = players[static_cast<size_t>(i)];
        pads.push_back(p != nullptr && p->actionSource == nullptr ? p->controls.padIndex : kMaxPads);
    }
    // A pad that went during the level select or the fade into the match is missing from the
    // first frame, exactly as one lost in play.
    padSeats.Seat(pads, InputManager::instance().padsConnected);
}

// Once per frame, before the phase: a seat whose pad went lets go of its shot and asks for the
// pause; a seat that has a pad again plays with it from here on.
void PlayGameState::followPads() {
    // A player who is out needs no pad: nothing pauses or waits for it.
    for (int i = 0; i < playerCount; ++i) {
        const Player* p = players[static_cast<size_t>(i)];
        if (p != nullptr && p->lives == 0) {
            padSeats.Leave(i);
        }
    }
    const PadSeats::Changes changes = padSeats.Follow(InputManager::instance().padsConnected);
    for (const auto& [seat, pad] : changes.took) {
        if (Player* p = players[static_cast<size_t>(seat)]) {
            p->SetControlScheme(static_cast<int>(pad));
        }
    }
    for (int seat : changes.lost) {
        std::cout << "Player " << seat + 1 << "'s pad stopped answering" << std::endl;
        // Its trigger now reads as let go, which would fire the shot being charged. A recording
        // keeps only actions, and its replay would fire that shot, so a recorded match lets it go.
        Player* p = players[static_cast<size_t>(seat)];
        if (p != nullptr && MatchRun::instance().pausesAllowed()) {
            p->charge = 0.0f;
            p->charging = false;
        }
    }
    // The podium and the fade after it go on without the pad: nothing is left to play.
    const bool beforeTheEnd = phase < MatchPhase::GameSet;
    pauseForLostPad = beforeTheEnd && padSeats.AnyMissing() && (pauseForLostPad || !changes.lost.empty());
}

void PlayGameState::Update() {
    FrameTimer& timer = FrameTimer::instance();
    InputManager& input = InputManager::instance();
    SoundManager& sound = SoundManager::instance();
    const float dt = timer.dt; // fades, the sign, the banner and the podium run on real time
    followRecordingAndReplay();
    if (online == nullptr) {
        followPads();
    }

    // 1. The frame rate, shown on Tab.
    if (auto* text = fpsText->getComponent<TextRenderer>()) {
        std::ostringstream out;
        out << "FPS: " << timer.fps;
        if (const std::string pacing = online != nullptr ? online->pacingLine() : std::string();
            !pacing.empty()) {
            out << "  " << pacing;
        }
        text->text = out.str();
    }
    if (online == nullptr && input.keyPressed(sf::Keyboard::Tab)) {
        setActive(fpsText, !fpsText->active);
    }

    // 2. The phase.
    switch (phase) {
    case MatchPhase::FadeIn:
        fadeTimer -= dt;
        if (fadeTimer <= 0.0f) {
            setActive(fadeOverlay, false);
            phase = MatchPhase::GoSign;
        }
        break;
    case MatchPhase::GoSign: {
        Transform& sign = goSign->owner->transform;
        float x = sign.position.x;
        float speed = 7.0f;
        if (x >= -0.3f && x <= 0.3f) {
            // The chime restarts every frame while the sign crosses the middle.
            sound.playEvent(kEventGo, false);
            speed = 1.0f;
        }
        x += dt * speed;
        sign.setPosition(x, sign.position.y, sign.position.z);
        if (x >= kGoSignEndX) {
            setActive(goSign->owner, false);
            if (playerCount == 0) {
                // Nobody to play: nothing would ever end the match, so it ends here.
                StartFadeOut();
                break;
            }
            sound.playEvent(kEventMatchMusic, false);
            timer.setTimeScale(1.0f);
            for (Player* p : MatchPlayers()) {
                p->enabled = true;
            }
            phase = MatchPhase::Playing;
        }
        break;
    }
    case MatchPhase::Playing: {
        countResults(dt * timer.timeScale);
        timeLeft -= dt * timer.timeScale;
        SetGameTimer(*gameTimer, static_cast<int32_t>(timeLeft));
        SpawnCrates();
        for (int i = 0; i < playerCount; ++i) {
            if (statsPanels[static_cast<size_t>(i)]) {
                UpdateStatsPanel(*statsPanels[static_cast<size_t>(i)]);
            }
        }
        for (int i = 0; i < playerCount; ++i) {
            DeathCheck(i);
        }
        end.Check(*this);
        break;
    }
    case MatchPhase::GameSet:
        end.BannerStep(*this);
        break;
    case MatchPhase::Podium:
        end.PodiumStep(*this);
        break;
    case MatchPhase::FadeOut:
        fadeTimer -= dt;
        if (fadeTimer <= 0.0f) {
            sound.setPaused(false);
            if (MatchRun::instance().soak) {
                finishMatchRun();
            } else if (online == nullptr && end.leaveTo == AfterPodium::Rematch) {
                // The same settings, read again: the same players, looks, computers, map,
                // lives and time.
                requestState(GameStateId::Restart);
            } else {
                MatchRun::instance().seatedAtLevelSelect =
                    online == nullptr && end.leaveTo == AfterPodium::LevelSelect;
                requestState(online != nullptr            ? GameStateId::OnlineWaiting
                             : MatchRun::instance().trial ? MatchRun::instance().trial->returnState
                                                          : GameStateId::MainMenu);
            }
        }
        break;
    default:
        break;
    }

    // The result is known once the podium stands: a recording is finished then, and a replay
    // says whether it came out the same; a replay also ends when its frames run out.
    MatchRun& run = MatchRun::instance();
    const bool atPodium = phase == MatchPhase::Podium;
    if (atPodium && recorder) {
        recorder->finish(Ranks());
    }
    if (atPodium && online != nullptr && !onlinePodiumTold) {
        onlinePodiumTold = true;
        online->podiumReached(Ranks());
    }
    if (run.replay) {
        const std::vector<int32_t> ranks = atPodium ? Ranks() : std::vector<int32_t>{};
        if (FollowReplay(matchFrames, atPodium ? &ranks : nullptr)) {
            requestState(GameStateId::Quit);
            for (Player* p : MatchPlayers()) {
                p->actionSource = nullptr;
            }
        }
    }

    // 3-4.
    updateIndicators();
    if (run.pausesAllowed()) {
        PauseContext context{&phase, MatchPlayers(), fadeOverlay, fadeLogic, &fadeTimer, fadeDuration};
        context.padLost = pauseForLostPad && phase == MatchPhase::Playing;
        context.notice = padSeats.MissingText();
        pause.Update(context);
        // Asked once: a player may resume without the pad and play on with the others.
        pauseForLostPad = pauseForLostPad && phase != MatchPhase::Paused;
    } else if (run.trial && input.keyPressed(sf::Keyboard::Escape)) {
        requestState(run.trial->returnState);
    }

    // 5-6. The interface shakes with the picture.
    if (camera.shakeTime > 0.0f) {
        camera.UpdateShake(timer.scaledDt());
        followCamera();
    }
    camera.Recompute();
}

void PlayGameState::framesFinal(uint32_t frames) {
    if (recorder) {
        recorder->framesFinal(frames);
    }
}

void PlayGameState::LocalUpdate() {
    if (online == nullptr) {
        return;
    }
    if (InputManager::instance().keyPressed(sf::Keyboard::Tab)) {
        setActive(fpsText, !fpsText->active);
    }
    // This machine's pause menu, over the match, which plays on under it.
    if (phase == MatchPhase::Playing || localMenuPhase == MatchPhase::Paused) {
        uint32_t shown = localMenuPhase;
        PauseContext context{&shown, MatchPlayers(), nullptr, nullptr, nullptr, fadeDuration};
        context.stopsMatch = false;
        pause.Update(context);
        if (shown == MatchPhase::FadeOut) {
            online->leave();
        }
        localMenuPhase = shown == MatchPhase::Paused ? MatchPhase::Paused : MatchPhase::Playing;
        online->setMenuOpen(localMenuPhase == MatchPhase::Paused);
    }
    // On the podium the host's players may ask for the next match at once; the podium still
    // stands its time on every machine, so asking changes nothing simulated.
    const bool atPodium = phase == MatchPhase::Podium || phase == MatchPhase::FadeOut;
    if (atPodium && AnyRematchKeyPressed(MatchPlayers())) {
        online->askRematch();
    }
    std::string notice = online->notice();
    if (notice.empty() && atPodium) {
        notice = online->nextMatchLine();
    }
    if (atPodium != noticeOnPodium) {
        noticeOnPodium = atPodium;
        const vec3 noticeAt = atPodium ? kOnlinePodiumNoticeAt : kOnlineNoticeAt;
        placeFollower(onlineNotice, noticeAt);
        placeFollower(onlineNoticeShadow, noticeAt + kOnlineNoticeShadowOffset);
    }
    for (GameObject* text : {onlineNotice, onlineNoticeShadow}) {
        if (auto* words = text != nullptr ? text->getComponent<TextRenderer>() : nullptr) {
            words->text = notice;
        }
    }
}

void PlayGameState::followCamera() {
    vec3 offset = camera.position - camera.shakeBase;
    for (size_t i = 0; i < followers.size(); ++i) {
        vec3 at = followerBase[i] + offset;
        followers[i]->transform.setPosition(at.x, at.y, at.z);
    }
}

void PlayGameState::placeFollower(GameObject* object, vec3 base) {
    const vec3 offset = camera.position - camera.shakeBase;
    for (size_t i = 0; i < followers.size(); ++i) {
        if (followers[i] == object) {
            followerBase[i] = base;
            const vec3 at = base + offset;
            object->transform.setPosition(at.x, at.y, at.z);
        }
    }
}

void PlayGameState::updateIndicators() {
    for (int i = 0; i < playerCount; ++i) {
        auto index = static_cast<size_t>(i);
        GameObject* marker = indicators[index];
        Player* p = players[index];
        if (marker == nullptr || p == nullptr) {
            continue;
        }
        if (!marker->active && p->lives >= 1 && p->respawning == 0) {
            setActive(marker, true);
        }
        if (marker->active) {
            vec3 at = p->owner->transform.position + kIndicatorLift;
            marker->transform.setPosition(at.x, at.y, at.z);
        }
    }
}

void PlayGameState::SpawnCrates() {
    FrameTimer& timer = FrameTimer::instance();
    crateTimer -= timer.dt * timer.timeScale;
    if (crateTimer > 0.0f) {
        return;
    }
    crateTimer = crateInterval;
    uint32_t kind = PickUpKind::Artillery;
    if (!pendingCrateKinds.empty()) {
        size_t k = static_cast<size_t>(gameRand()) % pendingCrateKinds.size();
        kind = static_cast<uint32_t>(pendingCrateKinds[k]);
        pendingCrateKinds.erase(pendingCrateKinds.begin() + static_cast<std::ptrdiff_t>(k));
    } else {
        // Never a second black hole while someone holds one.
        bool holdsBlackHole = false;
        for (Player* p : MatchPlayers()) {
            holdsBlackHole = holdsBlackHole || p->pickUpKind == PickUpKind::BlackHole;
        }
        kind = static_cast<uint32_t>(gameRand() % (holdsBlackHole ? 2 : 3) + 1);
    }
    MakeCrate({0.0f, 20.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, kind);
}

// The hits taken since the last frame, then the time each player on the arena has lived.
void PlayGameState::countResults(float gameDt) {
    std::array<bool, 4> alive{};
    for (int i = 0; i < playerCount; ++i) {
        Player* p = players[static_cast<size_t>(i)];
        if (p == nullptr) {
            continue;
        }
        for (const Player::HitTaken& hit : p->hitsTaken) {
            stats.Hit(i, hit.from, hit.percent);
        }
        p->hitsTaken.clear();
        alive[static_cast<size_t>(i)] = p->lives > 0 && p->respawning == 0;
    }
    stats.Tick(alive, gameDt);
}

void PlayGameState::DeathCheck(int index) {
    const auto slot = static_cast<size_t>(index);
    Player* p = players[slot];
    if (p == nullptr || p->lives < 1 || p->respawning != 0) {
        return;
    }
    const TankParts& tank = *tanks[slot];
    RigidBody2D* body = tank.rigidBody;
    const ContactRecord* hit = nullptr;
    for (const ContactRecord& contact : body->contacts) {
        if (contact.other->owner->name == "DeathZone") {
            hit = &contact;
            break;
        }
    }
    if (hit == nullptr) {
        return;
    }
    SoundManager& sound = SoundManager::instance();
    sound.playEvent(kEventDeath, true);
    sound.playEvent(kEventCrowdCheer, true);
    camera.StartShake(); // a second death during a shake keeps the shake as it is
    if (waves != nullptr) {
        waves->AddWave(1.5f, 30.0f, body->position, 3.0f);
    }
    p->lives -= 1;
    p->knockbackMultiplier = 0.0f;
    stats.Fall(index);
    RumbleFor(*p, LifeLostRumble());

    if (ParticleEmitter* burst = burstEmitters[slot]) {
        vec2 n = hit->manifold.normal;
        burst->baseAngle = portable::atan2(-n.y, -n.x);
        vec2 at = hit->manifold.points.empty() ? body->position : hit->manifold.points[0];
        burst->owner->transform.setPosition(at.x, at.y, 0.0f);
        burst->start();
    }
    if (indicators[slot] != nullptr) {
        setActive(indicators[slot], false);
    }
    // A shot being charged dies with the tank.
    p->charge = 0.0f;
    p->charging = false;
    if (tank.shootChargeBar != nullptr) {
        tank.shootChargeBar->transform.setScale(0.0f, 0.0f, 1.0f);
    }

    if (p->lives > 0) {
        body->force = {};
        body->torque = 0.0f;
        body->rotation = 0.0f;
        tank.tankRoot->transform.setRotation(0.0f, 0.0f, 0.0f);
        p->respawning = 1;
        p->stunTimer = 0.0f;
        p->jumpCooldown = 0.0f;
        p->fireCooldown = 0.0f;
        p->knockbackMultiplier = 1.0f;
        SetTankEnabled(tank, false);
        GameObject* beam = p->respawner;
        setActive(beam, true);
        p->respawnTime = 2.5f;
        p->respawnTimeLeft = 2.5f;
        p->beamWidth = 5.0f;
        p->beamHeight = arenaTop - arenaBottom;
        p->beamMinX = arenaLeft;
        p->beamMaxX = arenaRight;
        beam->transform.setPosition(0.0f, (arenaTop + arenaBottom) * 0.5f,
                                    0.1f * static_cast<float>(index) - 1.6f);
        beam->transform.setScale(5.0f, arenaTop - arenaBottom, 1.0f);
        if (auto* sprite = beam->getComponent<SpriteRenderer>()) {
            sprite->color = kBeamColours[slot];
        }
    } else {
        SetTankEnabled(tank, false);
        setActive(tank.tankRoot, false);
        if (statsPanels[slot]) {
            HideStatsPanelParts(*statsPanels[slot]);
        }
    }
}

std::vector<int32_t> PlayGameState::Ranks() const {
    std::vector<int32_t> ranks;
    for (int i = 0; i < playerCount; ++i) {
        ranks.push_back(end.podiums[static_cast<size_t>(i)].rank);
    }
    return ranks;
}

// A soak match has ended: one line for it, then the next match, or the summary and the end.
void PlayGameState::finishMatchRun() {
    MatchRun& run = MatchRun::instance();
    ++run.soakMatches;
    std::vector<int32_t> ranks = Ranks();
    std::string outcome = "a draw";
    for (int i = 0; i < playerCount; ++i) {
        if (ranks[static_cast<size_t>(i)] == 1) {
            outcome = "player " + std::to_string(i + 1) + " won";
        }
    }
    const double memory = ResidentMegabytes();
    const double heap = HeapInUseMegabytes();
    if (run.soakMatches == 1) {
        run.memoryAfterFirstMb = memory;
        run.heapAfterFirstMb = heap;
    }
    run.memoryAfterLastMb = memory;
    run.heapAfterLastMb = heap;
    std::printf(
        "Soak match %d on %s: %s, %.1f s, %u frames, memory %.1f MB, peak %.1f MB, heap in use %.1f MB\n",
        run.soakMatches, mapName.c_str(), outcome.c_str(), WallSeconds() - matchStartSeconds, matchFrames,
        memory, PeakMegabytes(), heap);
    std::fflush(stdout);
    if (WallSeconds() - run.soakStart < run.soakSeconds) {
        WriteSoakMatchSettings(readMapList(loadJson("MapSetting")), static_cast<uint32_t>(gameRand()));
        requestState(GameStateId::Restart);
        return;
    }
    auto growth = [](double first, double last) {
        return first > 0.0 ? (last - first) / first * 100.0 : 0.0;
    };
    std::printf("Soak: %d matches, %d failures; memory after the first match %.1f MB, after the last %.1f MB "
                "(%+.1f %%); heap in use after the first match %.1f MB, after the last %.1f MB (%+.1f %%)\n",
                run.soakMatches, run.soakFailures, run.memoryAfterFirstMb, run.memoryAfterLastMb,
                growth(run.memoryAfterFirstMb, run.memoryAfterLastMb), run.heapAfterFirstMb,
                run.heapAfterLastMb, growth(run.heapAfterFirstMb, run.heapAfterLastMb));
    std::fflush(stdout);
    requestState(GameStateId::Quit);
}

void PlayGameState::StartFadeOut() {
    setActive(fadeOverlay, true);
    if (fadeLogic != nullptr) {
        fadeLogic->RestartFade(-1.0f);
    }
    fadeTimer = fadeDuration;
    phase = MatchPhase::FadeOut;
}

bool PlayGameState::CloseRequested() {
    std::optional<TrialMatch>& trial = MatchRun::instance().trial;
    if (!trial) {
        return true;
    }
    trial->closeAsked = true;
    requestState(trial->returnState);
    return false;
}

void PlayGameState::Exit() {
    // A match left before its podium (the close button, a signal) keeps what was played of it.
    if (recorder) {
        recorder->close();
    }
    if (MatchRun::instance().replay) {
        const bool quitting = Engine::instance().states->next == GameStateId::Quit;
        LeaveReplay(matchFrames, quitting);
        requestState(GameStateId::Quit);
    }
    ParticlePool::instance().clear();
    FrameTimer::instance().setTimeScale(1.0f);
    for (auto& tank : tanks) {
        tank.reset();
    }
    for (auto& panel : statsPanels) {
        panel.reset();
    }
    gameTimer.reset();
    deathZone.reset();
    DestroyStateObjects();
}
