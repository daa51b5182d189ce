#pragma once

// The lockstep as a frame loop drives it, still without sockets: frames come due by the clock,
// this machine's seats are sampled once for each frame that comes due (their actions for that
// frame plus the delay), a frame is simulated once every seat's actions for it are known, and
// what is new goes to every other machine once per rendered frame. The sampler and the sender
// are the game's and the network's; tests give it a toy simulation and an in-memory network.

#include "net/frame_clock.hpp"
#include "net/lockstep.hpp"

#include <cstdint>
#include <functional>
#include <vector>

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
    // What a machine sent; how many of its runs were refused (see Lockstep::take).
    int receive(uint8_t machine, const InputsMessage& message);

    // Before each simulated frame: true when the next frame is due and every seat's actions for it
    // are known. Samples this machine's seats for every frame that has come due.
    bool frameReady(uint32_t nowMs);
    // The frame has been simulated.
    void frameDone(uint32_t nowMs);
    // Once per rendered frame: what is new, and the acknowledgements, to every peer (and at least
    // once a frame's time, so acknowledgements flow while nothing new is said).
    void send(uint32_t nowMs);

    // Frames simulated so far: the frame simulated next.
    uint32_t nextFrame() const { return next; }
    Lockstep& table() { return lockstep; }
    const Lockstep& table() const { return lockstep; }
    // The seat the next frame waits for, when it is due and waiting; -1 otherwise.
    int waitingFor() const { return stalledSince >= 0 ? lockstep.waitingFor(next) : -1; }
    // How long the next frame has been waiting, and the longest wait of any frame from `from` on.
    uint32_t stalledMs(uint32_t nowMs) const;
    uint32_t longestStallMs() const { return longestStall; }
    uint32_t longestStallFrame() const { return longestStallAt; }
    // Waits of frames before this one are not counted (the machines' loads end at different times).
    void countStallsFrom(uint32_t frame) { countFrom = frame; }

  private:
    Lockstep lockstep;
    Sampler sample;
    Sender sendTo;
    FrameClock clock;
    std::vector<uint8_t> peers;
    uint32_t next = 0;
    uint32_t localNext = 0; // the first frame this machine's seats have not been sampled for
    bool fresh = false;     // something new to send
    uint32_t lastSentMs = 0;
    int64_t stalledSince = -1;
    uint32_t longestStall = 0;
    uint32_t longestStallAt = 0;
    uint32_t countFrom = 0;
};
