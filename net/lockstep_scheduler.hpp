#pragma once

// The lockstep as a frame loop drives it, still without sockets: frames come due by the clock,
// this machine's seats are sampled once for each frame that comes due (their actions for that
// frame plus the delay), a frame is simulated once every seat's actions for it are known (or,
// with a rollback window, once every seat's are known for the frame that many before it), and
// what is new goes to every other machine once per rendered frame. The sampler and the sender
// are the game's and the network's; tests give it a toy simulation and an in-memory network.

#include "net/frame_clock.hpp"
#include "net/lockstep.hpp"
#include "net/time_sync.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What each frame of a seat's actions that comes pays back of the debt it held this machine up by.
constexpr uint32_t kHeldUpPaidPerFrameMs = 10 * 1000 / kOnlineFramesPerSecond;
// At most this much of the time between two checks counts as waiting for another machine: a
// longer gap is this machine's own stall (a slow first picture, a busy computer), not theirs.
constexpr uint32_t kHeldUpPerCheckMs = 250;

// The most frames any seat may be guessed ahead, whatever the window and the relay add: what the
// saved frames must reach back over.
constexpr uint32_t kMaxGuessedFrames = 20;

// A client's extra allowance for seats relayed by the host: its one-way time to the host in
// frames, rounded up, so that at most kMaxGuessedFrames are guessed in all.
uint32_t RelayedFrames(uint32_t roundTripMs, uint32_t window);

class LockstepScheduler {
  public:
    // This machine's seat's actions for a frame; called in frame order, once per seat and frame.
    using Sampler = std::function<uint16_t(int seat, uint32_t frame)>;
    using Sender = std::function<void(uint8_t machine, const InputsMessage& message)>;

    LockstepScheduler(Lockstep table, Sampler sampler, Sender sender);

    // The machines this one exchanges inputs with (the host: its clients; a client: the host).
    void addPeer(uint8_t machine);
    void removePeer(uint8_t machine);
    // The host plays a seat on, its machine having gone: from the first frame of it nobody has,
    // which it returns. Frames up to those this machine's seats have already acted in are idle.
    uint32_t takeOver(int seat);
    // What a machine sent; its runs that were refused, by why (see Lockstep::take).
    RunRefusals receive(uint8_t machine, const InputsMessage& message);

    // Before each simulated frame: true when the next frame is due and every seat's actions for it
    // are known. Samples this machine's seats for every frame that has come due.
    bool frameReady(uint32_t nowMs);
    // The frame has been simulated.
    void frameDone(uint32_t nowMs);
    // Rollback: frames may be simulated up to this many past the last frame every seat's actions
    // are known for, on predictions; 0, as made, simulates known frames only (lockstep).
    void setWindow(uint32_t frames) { window = frames; }
    uint32_t rollbackWindow() const { return window; }
    // A client hears the other clients' seats through the host, one more leg of the link later
    // than the host's own: with a window, those seats may be guessed this many frames further
    // (the client's one-way time to the host; see RelayedFrames), at most to kMaxGuessedFrames in
    // all. Without a window it changes nothing.
    void setRelayedExtra(uint32_t frames) { relayedExtra = frames; }
    // The furthest past a seat's last known frame this machine may simulate on guesses.
    uint32_t longestGuess() const { return allowance(true); }
    // Keeps this machine level with the others (rollback): tells each machine its frame advantage,
    // measures theirs, and slows its frames while ahead. Null, as made, does none of it.
    void setTimeSync(TimeSync* levels) { timeSync = levels; }
    // Goes back to simulate again from an earlier frame; the frames after it stay due.
    void rewind(uint32_t frame);
    // The frames simulated at least once: the next frame, unless rewound.
    uint32_t reachedFrame() const { return reached; }
    // Once per rendered frame: what is new, and the acknowledgements, to every peer (and at least
    // once a frame's time, so acknowledgements flow while nothing new is said). Whether it sent.
    bool send(uint32_t nowMs);
    // Every peer has acknowledged everything this machine tells it: a match that is over here
    // has nothing left to send.
    bool settled() const;

    // Frames simulated so far: the frame simulated next.
    uint32_t nextFrame() const { return next; }
    Lockstep& table() { return lockstep; }
    const Lockstep& table() const { return lockstep; }
    // The seat the next frame waits for, when it is due and waiting; -1 otherwise.
    int waitingFor() const { return stalledSince >= 0 ? seatHoldingBack() : -1; }
    // How long the next frame has been waiting, and the longest wait: of the waits that ended,
    // those of frames from countStallsFrom on, and the wait in progress whatever its frame.
    uint32_t stalledMs(uint32_t nowMs) const;
    uint32_t longestStallMs(uint32_t nowMs) const;
    uint32_t longestStallFrame(uint32_t nowMs) const;
    // How many times a due frame had to wait, counted as the longest wait is: a player sees each
    // as a picture that does not move on.
    uint32_t stallCount() const { return stalls; }
    // How long this machine has been held up by the seat, as a debt: it grows by the time spent
    // waiting for the seat's actions, and is paid back by the time spent not waiting for them and
    // by kHeldUpPaidPerFrameMs for each frame of them that comes. A seat whose actions stop runs
    // it up at once, and one that trickles a frame now and then keeps it growing, while a seat on
    // a poor link, which holds the match up often but briefly, pays its waits back.
    uint32_t heldUpMs(int seat) const { return heldUp[static_cast<size_t>(seat)]; }
    // Forgets the seat's debt (its first actions came, after its machine loaded the match).
    void forgiveHoldUp(int seat) { heldUp[static_cast<size_t>(seat)] = 0; }
    // Waits of frames before this one are not counted (the machines' loads end at different times).
    void countStallsFrom(uint32_t frame) { countFrom = frame; }

  private:
    // The first seat whose actions are too far behind for the next frame to be simulated, or -1.
    int seatHoldingBack() const;
    // How far past its last known frame a seat may be guessed: the window, and for a seat the host
    // relays to this client the extra leg too.
    uint32_t allowance(bool relayed) const;

    Lockstep lockstep;
    Sampler sample;
    Sender sendTo;
    FrameClock clock;
    std::vector<uint8_t> peers;
    uint32_t next = 0;
    uint32_t reached = 0;
    uint32_t window = 0;
    uint32_t relayedExtra = 0;
    TimeSync* timeSync = nullptr;
    uint32_t localNext = 0; // the first frame this machine's seats have not been sampled for
    bool fresh = false;     // something new to send
    uint32_t lastSentMs = 0;
    int64_t stalledSince = -1;
    std::array<uint32_t, kMaxSeats> heldUp{};
    std::optional<uint32_t> heldUpCheckedMs;
    int heldUpBy = -1; // the seat the next frame waited for at the last check
    uint32_t longestStall = 0;
    uint32_t longestStallAt = 0;
    uint32_t stalls = 0;
    uint32_t countFrom = 0;
};
