#pragma once

// One match: the arena from the map file, one tank per player, the HUD, the pause menu and the
// end screens, run as a small phase machine (fade-in, the "Go" sign, play, pause, the end
// banner, the podium, the fade back to the main menu). The match rules live here: a tank that
// touches a "DeathZone" loses a life and drops back in from a respawn beam, or is out; the match
// ends when at most one player has lives left or the clock runs out. A pad lost before the
// podium pauses the match and the next pad plugged in takes the seat.

#include "engine/game_state.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/tank_parts.hpp"
#include "match/game_over.hpp"
#include "match/hud.hpp"
#include "match/match_phase.hpp"
#include "match/match_recorder.hpp"
#include "match/match_stats.hpp"
#include "match/online_play.hpp"
#include "match/pad_seats.hpp"
#include "match/pause_menu.hpp"
#include "objects/json_data.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Loads one of the match's pictures that wait until they are first shown (the pause menu's
// tutorial pages and credits, the victory background); nothing once it is loaded.
void LoadMatchPictureWhenShown(const std::string& name);

class GameUIRenderer;
class ParticleEmitter;
class Player;
class ShaderLogic;
class StateArchive;
class WorldHasher;

class PlayGameState : public GameState {
  public:
    // Loads every texture of the match and readies its sounds.
    PlayGameState();
    // Stops every sound and unloads the match's own textures.
    ~PlayGameState() override;

    void Load() override;
    void Update() override;
    // An online match: Tab, this machine's pause menu and the online notice, once per rendered
    // frame (Update then runs once per simulated frame and reads no input of this machine).
    void LocalUpdate() override;
    // Online: the match's frames before this one (from 0) were simulated with the actions every
    // machine has, and will not be simulated again (the recording writes them).
    void framesFinal(uint32_t frames);
    void Exit() override;
    // A trial match goes back to the state that asked for it, which answers the close button
    // there (the editor asks about unsaved work); any other match quits at once.
    bool CloseRequested() override;

    // Places the camera, the background, the platforms and the tanks of a map.
    void InstantiateMap(const MapData& map);
    // The death check of one player (index from 0): a tank touching a "DeathZone" loses a life.
    void DeathCheck(int index);
    void SpawnCrates();
    // Shows the fade overlay and closes it; the match leaves for the main menu 0.5 s later.
    void StartFadeOut();
    // The players of the match, in player order.
    std::vector<Player*> MatchPlayers() const;
    // An interface root that keeps its place on screen during a camera shake.
    void AddFollower(GameObject* object);
    // The match's own part of the world hash: its phase and timers, the crate schedule, the end
    // sequence. This machine's menus, pads, notices and recording stay out.
    void hashState(WorldHasher& hasher) const;
    // The same into a saved state of the match and back (match/saved_frames.hpp), with the
    // objects the end sequence made and whether the online podium was told.
    void carryState(StateArchive& archive);

    uint32_t phase = MatchPhase::FadeIn;
    int32_t playerCount = 0;
    std::array<std::unique_ptr<TankParts>, 4> tanks;
    std::array<Player*, 4> players{};
    std::array<std::unique_ptr<StatsPanel>, 4> statsPanels;
    std::array<GameObject*, 4> indicators{};
    std::array<ParticleEmitter*, 4> burstEmitters{};
    float crateTimer = 0.0f;
    float crateInterval = 20.0f;
    float endCheckInterval = 0.1f;
    float endCheckTimer = 0.0f;
    GameObject* uiRoot = nullptr;
    GameObject* fadeOverlay = nullptr; // "GameOverBlackOverlay" with the circular fade
    ShaderLogic* fadeLogic = nullptr;
    GameUIRenderer* goSign = nullptr;
    GameOver end;
    float fadeDuration = 0.5f;
    float fadeTimer = 0.0f;
    PauseMenu pause;
    std::vector<vec3> spawnPoints;    // not yet taken
    std::vector<vec3> mapSpawnPoints; // all of the map's, for tanks beyond them
    std::vector<int32_t> pendingCrateKinds;
    std::unique_ptr<GameTimer> gameTimer;
    float timeLeft = 0.0f;
    float arenaTop = 0.0f;
    float arenaBottom = 0.0f;
    float arenaLeft = 0.0f;
    float arenaRight = 0.0f;
    std::unique_ptr<DeathBorder> deathZone;
    GameObject* background = nullptr;
    GameObject* frameBuffer = nullptr; // the scene is drawn through it with the shock waves
    ShaderLogic* waves = nullptr;
    GameObject* victoryBackground = nullptr;
    // The interface: it keeps its place on screen during a camera shake, which only shows, so a
    // saved state keeps only what of it is switched on or off.
    std::vector<GameObject*> followers;
    std::vector<vec3> followerBase;
    // This machine's own objects (the pause menu, the frame rate, the online notice): a saved
    // state of the match leaves them alone.
    std::vector<GameObject*> localObjects;
    GameObject* fpsText = nullptr;
    std::string mapName;
    bool sharedSpawnTold = false;
    // The pad each person's seat plays with, as pads come and go.
    PadSeats padSeats;
    // A seat lost its pad before the podium: the pause opens once the match is playing.
    bool pauseForLostPad = false;

    // Beyond the menus' matches: computers, recording and playback, soaking.
    uint32_t matchSeed = 0;
    std::array<std::unique_ptr<ActionSource>, 4> computers; // the seats computers play
    std::unique_ptr<MatchRecorder> recorder;
    uint32_t matchFrames = 0;
    double matchStartSeconds = 0.0;
    // An online match (every seat plays what the machines agreed on), or null.
    OnlinePlay* online = nullptr;
    bool onlinePodiumTold = false;
    // This machine's pause menu over an online match: Playing (closed) or Paused (open).
    uint32_t localMenuPhase = MatchPhase::Playing;
    GameObject* onlineNotice = nullptr; // what the players here should know, and its shadow
    GameObject* onlineNoticeShadow = nullptr;
    bool noticeOnPodium = false; // the notice stands where the podium leaves room for it
    // Every seat is a computer: nothing waits for a confirm.
    bool AllComputers() const;
    // Each player's podium rank (1 best, 0 for all in a draw), once the podium stands.
    std::vector<int32_t> Ranks() const;
    // What the results strip tells, counted as the match plays.
    MatchStats stats;

  private:
    void resetForNewMatch();
    void countResults(float gameDt);
    void followRecordingAndReplay();
    void seatPads();
    void followPads();
    void finishMatchRun();
    void buildPlayer(int index, int lives, vec3 start);
    // A free spawn point drawn at random; once none is left, a place beside a shared one.
    vec3 takeSpawnPoint(int playerNumber, const std::vector<PlatformEntry>& platforms,
                        const std::vector<vec3>& starts);
    void updateIndicators();
    void followCamera();
    // Moves a camera follower to another place on screen, at once.
    void placeFollower(GameObject* object, vec3 base);
};
