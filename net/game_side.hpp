#pragma once

// The real game behind an online session: a match starts by writing its settings and switching
// the play state in with the session as the engine's frame pacer; this machine's people are
// sampled from their controls (every press between two samples counted once, so nothing is lost
// to a fast renderer nor doubled by a slow one) and its computers from the world as it stands.

#include "audio/effect_ledger.hpp"
#include "gameplay/bot.hpp"
#include "gameplay/player.hpp"
#include "match/saved_frames.hpp"
#include "net/online_game.hpp"

#include <array>
#include <memory>
#include <optional>

class NetSession;
class PlayGameState;

class GameSide : public OnlineGame {
  public:
    // The session whose matches these are (set before its first match).
    void setSession(NetSession* owner) { session = owner; }

    void startMatch(const StartMessage& start, uint8_t self) override;
    void readLocalInput() override;
    uint16_t sample(int seat, bool menuOpen) override;
    std::optional<uint64_t> worldHash() override;
    void seatTakenOver(int seat, bool playedHere) override;
    void saveFrame(uint32_t frame) override;
    bool loadFrame(uint32_t frame) override;
    void framesFinal(uint32_t frames) override;
    void leaveMatch(bool toTitle) override;

  private:
    // What a person did since their seat was last sampled: what is held now, and every press
    // and release in between.
    struct Latch {
        PlayerActions held;
        bool jump = false;
        bool special = false;
        bool shootKeyReleased = false;
    };
    PlayGameState* match() const;

    NetSession* session = nullptr;
    uint32_t seed = 0;
    // The engine's way of starting fixed steps at a state switch before the first online match.
    std::optional<bool> freshStepsBefore;
    std::array<bool, 4> person{}; // this machine's people, by seat
    std::array<Latch, 4> latches{};
    std::array<std::unique_ptr<Bot>, 4> takenOver; // the host's computers for seats whose machine went
    // The match's frames for rollback, made at its first save (deep enough for the window).
    std::unique_ptr<SavedFrames> saved;
    // Sounds of frames simulated again play once (set on the sound manager while rolling back).
    EffectLedger effects;
};
