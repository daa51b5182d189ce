#include "net/game_side.hpp"

#include "audio/sound_manager.hpp"
#include "engine/engine.hpp"
#include "engine/input_manager.hpp"
#include "graphics/particle_pool.hpp"
#include "match/choice_tables.hpp"
#include "match/match_run.hpp"
#include "match/match_settings.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "match/recording.hpp"
#include "match/world_hash.hpp"
#include "net/net_session.hpp"
#include "objects/game_object.hpp"
#include "objects/json_data.hpp"

#include <algorithm>
#include <iostream>

namespace {

constexpr const char* kLevelNames[] = {"easy", "normal", "hard"};

} // namespace

PlayGameState* GameSide::match() const {
    return dynamic_cast<PlayGameState*>(Engine::instance().states->state);
}

void GameSide::startMatch(const StartMessage& start, uint8_t self) {
    const Lineup& lineup = start.lineup;
    // Only a map of this machine's list: the name comes from another machine.
    const std::vector<std::string> maps = readMapList(loadJson("MapSetting"));
    if (std::find(maps.begin(), maps.end(), lineup.map) == maps.end()) {
        std::cout << "The host's match is on a map this machine does not have (\"" << lineup.map << "\")"
                  << std::endl;
        session->leave();
        return;
    }
    QuickMatch quick;
    quick.map = lineup.map;
    quick.players = lineup.players;
    quick.lives = lineup.lives;
    quick.seconds = lineup.seconds;
    quick.teams = start.teams;
    WriteQuickMatchSettings(quick);
    MatchSettings& settings = MatchSettings::instance();
    int localPeople = 0;
    for (int seat = 0; seat < 4; ++seat) {
        const SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
        const int n = seat + 1;
        const bool playing = seat < lineup.players;
        person[static_cast<size_t>(seat)] = playing && info.machine == self && !info.computer;
        const int scheme = person[static_cast<size_t>(seat)]
                               ? session->localSchemes()[static_cast<size_t>(localPeople++)]
                               : -1;
        settings.set(MatchSettings::playerKey("PlayerControl", n), std::to_string(scheme));
        settings.set(MatchSettings::playerKey("PlayerBot", n),
                     playing && info.computer ? kLevelNames[std::min<int>(info.level, 2)] : "");
        // Each seat as its own machine's player selection dressed it.
        const TrackChoice& track = kTrackChoices[info.look.track % kTrackChoices.size()];
        settings.set(MatchSettings::playerKey("PlayerFace", n),
                     kFaceChoices[info.look.face % kFaceChoices.size()].setting);
        settings.set(MatchSettings::playerKey("PlayerTurret", n),
                     kTurretChoices[info.look.turret % kTurretChoices.size()].setting);
        settings.set(MatchSettings::playerKey("PlayerTrack", n), track.setting);
        settings.set(MatchSettings::playerKey("PlayerTrackJump", n), track.jump);
        latches[static_cast<size_t>(seat)] = Latch{};
        takenOver[static_cast<size_t>(seat)].reset();
    }
    seed = start.seed;
    saved.reset();
    SoundManager::instance().setEffectLedger(nullptr);
    MatchRun& run = MatchRun::instance();
    run.fixedSeed = start.seed;
    run.online = session;
    Engine& engine = Engine::instance();
    // Every machine starts the match's fixed steps from nothing.
    if (!freshStepsBefore) {
        freshStepsBefore = engine.freshStepsOnSwitch;
    }
    engine.freshStepsOnSwitch = true;
    engine.pacer = session;
    requestState(GameStateId::Play);
}

void GameSide::readLocalInput() {
    PlayGameState* playing = match();
    if (playing == nullptr) {
        return;
    }
    const InputManager& input = InputManager::instance();
    for (int seat = 0; seat < playing->playerCount; ++seat) {
        const Player* p = playing->players[static_cast<size_t>(seat)];
        if (!person[static_cast<size_t>(seat)] || p == nullptr) {
            continue;
        }
        const PlayerActions now = readActions(p->controls, input);
        Latch& latch = latches[static_cast<size_t>(seat)];
        latch.held = now;
        latch.jump = latch.jump || now.jump;
        latch.special = latch.special || now.special;
        latch.shootKeyReleased = latch.shootKeyReleased || now.shootKeyReleased;
    }
}

uint16_t GameSide::sample(int seat, bool menuOpen) {
    PlayGameState* playing = match();
    if (playing == nullptr || seat < 0 || seat >= playing->playerCount) {
        return 0;
    }
    const auto slot = static_cast<size_t>(seat);
    Player* p = playing->players[slot];
    if (p == nullptr) {
        return 0;
    }
    ActionSource* computer = takenOver[slot] ? takenOver[slot].get() : playing->computers[slot].get();
    if (computer != nullptr) {
        // Asked only while its tank's behaviour runs, as in a match on one machine.
        const bool runs = p->enabled && p->owner != nullptr && p->owner->active;
        return runs ? PackActions(computer->actionsFor(*p)) : 0;
    }
    Latch& latch = latches[slot];
    PlayerActions actions = latch.held;
    actions.jump = latch.jump;
    actions.special = latch.special;
    actions.shootKeyReleased = latch.shootKeyReleased;
    latch.jump = latch.special = latch.shootKeyReleased = false;
    return menuOpen || !person[slot] ? 0 : PackActions(actions);
}

std::optional<uint64_t> GameSide::worldHash() {
    return HashWorld();
}

void GameSide::seatTakenOver(int seat, bool playedHere) {
    const auto slot = static_cast<size_t>(seat);
    person[slot] = false;
    PlayGameState* playing = match();
    if (playing != nullptr && seat < playing->playerCount && playing->players[slot] != nullptr) {
        playing->players[slot]->computer = true;
    }
    if (playedHere) {
        takenOver[slot] = std::make_unique<Bot>(BotLevel::Normal, seed + static_cast<uint32_t>(seat) + 101u);
    }
}

void GameSide::saveFrame(uint32_t frame) {
    if (match() == nullptr) {
        return;
    }
    if (!saved) {
        // Deep enough for the furthest guess the window and a relayed seat's allowance may come to.
        const bool rolling =
            session->pacer() != nullptr && session->pacer()->scheduler().rollbackWindow() > 0;
        saved = std::make_unique<SavedFrames>(static_cast<size_t>(rolling ? kMaxGuessedFrames : 0) + 2);
        effects.clear();
        SoundManager::instance().setEffectLedger(&effects);
    }
    saved->saveFrame(frame);
    effects.beginFrame(frame);
    ParticlePool::instance().holdNew = effects.simulatingAgain();
}

bool GameSide::loadFrame(uint32_t frame) {
    return match() != nullptr && saved && saved->loadFrame(frame);
}

void GameSide::framesFinal(uint32_t frames) {
    effects.settle(); // every frame simulated again has reached the present
    if (PlayGameState* playing = match()) {
        playing->framesFinal(frames);
    }
}

void GameSide::leaveMatch(bool toTitle) {
    saved.reset();
    SoundManager::instance().setEffectLedger(nullptr);
    effects.clear();
    ParticlePool::instance().holdNew = false;
    MatchRun& run = MatchRun::instance();
    run.online = nullptr;
    run.fixedSeed.reset();
    Engine& engine = Engine::instance();
    engine.pacer = nullptr;
    if (toTitle && freshStepsBefore) {
        engine.freshStepsOnSwitch = *freshStepsBefore; // matches on this machine alone, as before
    }
    requestState(toTitle ? GameStateId::MainMenu : GameStateId::OnlineWaiting);
}
