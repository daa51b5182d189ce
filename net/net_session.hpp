#pragma once

// One machine's part in an online game, from its first connection until it leaves: hosting, or
// joined to a host. The host takes up to three clients, checks each one's build and data
// (refusing a mismatch in one line on both ends), gives it the next free seats, and starts a
// match on every machine at once when every seat is filled, with its own map, lives and time.
// During a match the session is the engine's frame pacer: its match pacer (lockstep, or rollback
// with this machine's window; net/match_pacer.hpp) decides which frame is simulated and with which
// actions, this machine's seats are sampled as frames come due, and every second of final frames
// each client reports the hash of its world to the host. The host's world is the reference: a client
// whose world differs, or that sends actions but no hash for five seconds, leaves the match
// alone (it goes back to the waiting screen) while the others play on with computers in its
// seats. A machine that leaves, is not heard from for three seconds, or holds the others up for
// three seconds without its actions coming (see LockstepScheduler::heldUpMs), has its seats
// played on by the host's computers from a frame the host chooses and tells; if the host goes,
// or holds the clients up that long, the clients leave for the title. After each podium every
// machine returns to the waiting screen. The first match starts once every seat is filled; each
// one after it only once the host's players ask for it (askRematch), so nobody is thrown into a
// match they did not ask for, and by itself when the host's seats are all computers.
//
// Packets come through one bounded decoder; what it refuses, messages that come out of turn or
// speak for another machine's seats, and messages of another match than this one are counted
// and never acted on. A connection that has not said who it is within three seconds is dropped,
// so half-open and silent connections cannot keep friends out.

#include "engine/control_scheme.hpp"
#include "engine/engine.hpp"
#include "match/online_play.hpp"
#include "net/build_identity.hpp"
#include "net/lan_discovery.hpp"
#include "net/lockstep_scheduler.hpp"
#include "net/match_pacer.hpp"
#include "net/online_game.hpp"
#include "net/pacing_meter.hpp"
#include "net/transport.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SessionSetup {
    bool hosting = false;
    std::string address; // the host's address as given (a client), for its messages
    uint16_t port = kDefaultPort;
    int seats = 1;     // this machine's seats
    int computers = 0; // how many of them (the last) computers play
    uint8_t level = 1; // their level: 0 easy, 1 normal, 2 hard
    // This machine's seats in order, as its player selection set them (then computers and level
    // say nothing); none: the last `computers` are computers of `level`, and each seat takes the
    // look its number starts on.
    std::optional<std::array<SeatChoice, kMaxSeats>> chosen;
    // The controls of this machine's people, in the order of their seats.
    std::array<int, kMaxSeats> schemes{kSchemeKeyboardLeft, kSchemeKeyboardRight, 0, 1};
    // The host's matches.
    std::string map;
    int players = 2;
    int lives = 3;
    int seconds = 180;
    int delay = kDefaultInputDelay;
    // This machine's own rollback window (0: lockstep); see net/match_pacer.hpp.
    int rollback = kDefaultRollbackWindow;
    Teams teams; // the host's matches' sides (off: free-for-all)
};

// Packets and messages that were not acted on, by why.
struct SessionFaults {
    int oversized = 0;
    int malformed = 0;
    int outOfTurn = 0; // a message this machine does not take from that peer at this point
    RunRefusals runs;  // runs of actions refused, by why (see Lockstep::take)
    // What an honest machine does not send.
    int total() const { return oversized + malformed + outOfTurn + runs.total(); }
    // Messages of another match than this one: late ones of the last, early ones of the next.
    // Honest machines send them on any link that delays, so they are counted apart.
    int otherMatch = 0;
};

// How long a machine has to say who it is, to send its first actions of a match, and to hold
// the others up before it is handled as gone; and how long a client may send actions without a
// hash of its world.
constexpr uint32_t kHelloWithinMs = 3000;
constexpr uint32_t kLoadAllowanceMs = 20000;
constexpr uint32_t kHeldUpLimitMs = 3000;
// A machine's first frames of a match may come slowly (a busy machine draws its first pictures
// of a map slowly): until its actions reach this frame it may be silent, or hold the others up,
// for twice as long before it is handled as gone.
constexpr uint32_t kSettlingFrames = 2 * kOnlineFramesPerSecond;
constexpr uint32_t kHashWithinFrames = 5 * kOnlineFramesPerSecond;
// Connections that may wait to say who they are at once; more are turned away as busy.
constexpr int kMaxUnnamedConnections = 8;

class NetSession : public FramePacer, public OnlinePlay {
  public:
    // clockMs reads the millisecond clock the frames are due by.
    NetSession(SessionSetup setup, std::unique_ptr<Transport> transport, BuildIdentity identity,
               OnlineGame& game, std::function<uint32_t()> clockMs);
    ~NetSession() override;
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Once per frame outside a match (the waiting screen): the network, and the host's start.
    void update();
    // The waiting screen is back: the match that was played is over.
    void matchFinished();
    // Leaves: tells the other machines and closes every link (the game goes to the title).
    void leave() override;
    // The host's answer to machines looking for games on the local network, kept up to date.
    void setBeacon(std::unique_ptr<DiscoveryBeacon> made) { beacon = std::move(made); }
    const DiscoveryBeacon* lanBeacon() const { return beacon.get(); }

    // The engine's frame pacer during a match.
    void beginFrame() override;
    bool frameReady() override;
    void frameDone() override;
    void endFrame() override;
    float frameSeconds() const override;

    // What the play state needs of the match.
    ActionSource& seatActions() override { return actionsOfSeats; }
    void podiumReached(const std::vector<int32_t>& ranks) override;
    std::string notice() const override;
    std::string pacingLine() const override;
    void setMenuOpen(bool open) override { menuOpen = open; }
    // The host's players ask for the next match (its podium or its waiting screen): once every
    // seat is filled the countdown runs. Only the host's ask counts; a client's changes nothing.
    void askRematch() override;
    std::string nextMatchLine() const override;

    bool hosting() const { return setup.hosting; }
    uint16_t port() const { return setup.port; }
    // The controls of this machine's people, in the order of their seats.
    const std::array<int, kMaxSeats>& localSchemes() const { return setup.schemes; }
    // How many of this machine's seats people play (their controls are the first localSchemes).
    int localPeople() const { return setup.seats - setup.computers; }
    // Whether the host waits for its players to ask before the next match starts.
    bool rematchAwaited() const;
    const std::string& address() const { return setup.address; }
    bool closed() const { return phase == Phase::Closed; }
    bool playing() const { return phase == Phase::Playing; }
    uint8_t machine() const { return self; }
    MatchNumber matchNumber() const { return match; }
    const Lineup& seats() const { return lineup; }
    const SessionFaults& faults() const { return counted; }
    // The host's hash of its world after a frame of the match, while it keeps it (the last 30 s).
    std::optional<uint64_t> ownHash(uint32_t frame) const;
    // The scheduler of the match being played, or null.
    const LockstepScheduler* lockstep() const { return scheduler; }
    // The pacer of the match being played (lockstep or rollback), or null.
    const MatchPacer* pacer() const { return pacing.get(); }
    // A seat's packed actions for the frame being simulated (known or predicted).
    uint16_t frameActions(int seat);
    // Frames of the match from 0 simulated with every seat's actions known, for good.
    uint32_t finalFrames() const { return pacing ? pacing->finalFrames() : 0; }
    // The waiting screen's lines: one per seat, then where friends join and what happens next.
    std::vector<std::string> waitingLines() const;
    // What rollback costs in the match being played (or the last): rollbacks per second and
    // frames simulated again per rendered frame.
    const PacingMeter& pacingMeter() const { return meter; }

  private:
    enum class Phase { Connecting, Waiting, Countdown, Playing, Closed };
    struct Peer {
        PeerId id = 0;
        uint8_t machine = kNoMachine; // until its Hello is taken
        std::string address;
        uint32_t connectedMs = 0;
        uint32_t heardMs = 0;
        bool heardInMatch = false; // its first inputs of this match have come
        bool inMatch = false;      // it plays its seats in the match being played
        int64_t hashedFrame = -1;  // the last frame of this match it sent the hash of (host)
    };
    // The seats' actions for the frame being simulated.
    class SeatActions : public ActionSource {
      public:
        explicit SeatActions(NetSession& owner) : session(owner) {}
        PlayerActions actionsFor(const Player& player) override;

      private:
        NetSession& session;
    };
    struct Notice {
        uint32_t frame;
        std::string text;
    };

    void poll();
    void handle(const TransportEvent& event);
    void handleMessage(Peer& peer, const Message& message);
    void hostTakes(Peer& peer, const Message& message);
    void clientTakes(const Message& message);
    void welcome(Peer& peer, const HelloMessage& hello);
    void refuse(Peer& peer, RefuseReason reason, int freeSeats);
    void peerGone(PeerId id, const std::string& why);
    // The host's computers play the machine's seats on from the first frame nobody has of them,
    // which it returns; lent seats go back to the machine after the match.
    uint32_t takeOverSeats(uint8_t machine, bool lend);
    // A client out of step with the host's world, or silent about it: it leaves the match alone.
    void dropFromMatch(Peer& peer, uint32_t frame, const std::string& why);
    void checkLinks();
    // During a match: machines that hold the others up, and clients that send no hashes.
    void checkProgress();
    void hostStartsWhenFull();
    void beginMatch(const StartMessage& start);
    void endMatch(const std::string& line, bool toTitle);
    void close(const std::string& line);
    void reportHash(uint32_t frame, uint64_t hash);
    // Hashes and the end line wait until their frame is final: a frame simulated on a guess may
    // yet be simulated again.
    void reportFinal();
    void compareHashes();
    void sendTo(uint8_t machine, const Message& message, Channel channel);
    void sendToAll(const Message& message, uint8_t except = kNoMachine);
    // Between matches: the last match's last actions and acknowledgements, until every machine
    // has them all.
    void settleLastMatch();
    void keepAlive();
    void printMatchStats();

    Peer* peerById(PeerId id);
    Peer* peerOf(uint8_t machine);
    const Peer* peerOf(uint8_t machine) const;
    int joinedMachines() const;
    int freeSeats() const;
    bool seatsFull() const;
    // Whether a machine of the match is still in its first frames (see kSettlingFrames).
    bool settling(uint8_t machine) const;

    SessionSetup setup;
    std::unique_ptr<Transport> net;
    std::unique_ptr<DiscoveryBeacon> beacon;
    BuildIdentity identity;
    OnlineGame& game;
    std::function<uint32_t()> now;
    Phase phase = Phase::Connecting;
    uint8_t self = kHostMachine;
    std::vector<Peer> peers;
    Lineup lineup;
    // The match being played, or the last one played (0 before the first), and its scheduler.
    MatchNumber match = 0;
    std::unique_ptr<MatchPacer> pacing;
    LockstepScheduler* scheduler = nullptr;      // the pacer's
    std::map<uint32_t, uint64_t> hashesToReport; // by frame, until final
    struct PodiumLine {
        uint32_t frame;
        std::string text;
    };
    std::optional<PodiumLine> podiumLine; // until final
    PacingMeter meter;
    std::string pacingNote;      // what the waiting screen says of the last match's rollbacks
    bool answerOwed = false;     // between matches: a peer sent the last match's actions
    bool leftMatchAlone = false; // this client was out of step: nothing more of its match
    std::array<std::optional<SeatInfo>, kMaxSeats> lentSeats; // host: given back after the match
    SeatActions actionsOfSeats{*this};
    bool menuOpen = false;
    uint32_t countdownStart = 0;
    bool rematchAsked = false; // host: its players asked for the next match (since the last began)
    uint32_t lastAliveMs = 0;
    uint32_t lastLineupMs = 0;
    std::vector<Notice> notices;
    std::string waitingNote; // what the waiting screen says of the last match
    SessionFaults counted;
    // Hashes of the world after a frame: this machine's, and the clients' (host only), of the
    // match being played or the last one, until the next starts.
    std::map<uint32_t, uint64_t> ownHashes;
    std::map<std::pair<uint8_t, uint32_t>, uint64_t> clientHashes;
    std::vector<HashMessage> recentHashes; // a client's last few, sent again with each new one
    bool podiumTold = false;
    // What the match cost and how fast it simulated.
    uint32_t matchStartMs = 0;
    uint64_t sentAtStart = 0;
    double cpuAtStart = 0.0; // the process's CPU seconds when the match began
    uint64_t receivedAtStart = 0;
    double simulatedSeconds = 0.0;
    uint32_t simulatedFrames = 0;
    double frameStartedAt = 0.0;
};
