#pragma once

// How the machines of an online match reach each other: connections to peers and packets on
// two channels. The game uses ENet over UDP (net/enet_transport.hpp); the tests use an
// in-memory network that delays, reorders and drops packets. Nothing above this interface knows
// sockets, so the lockstep and the session run the same on either.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class Channel : uint8_t {
    Inputs = 0,  // players' actions: sent often, each one making good the ones lost before it
    Control = 1, // everything else: reliable, in order
    // Reports sent again and again (the hashes of the world): unreliable, and never held back
    // behind a lost packet nor dropped for coming after a later one, so one getting through in a
    // while is enough whatever the link loses. They arrive as Inputs.
    Reports = 2,
};
// Channels on the wire: reports travel on the inputs channel.
constexpr int kChannelCount = 2;

using PeerId = uint32_t;

struct TransportEvent {
    enum class Kind { Connected, Disconnected, Received } kind = Kind::Received;
    PeerId peer = 0;
    Channel channel = Channel::Control;
    std::vector<uint8_t> packet;
    // Connected: what the peer sent with its request (see kProtocolMagic). Disconnected: why,
    // as the other end gave it (see DisconnectReason), 0 when the link just died.
    uint32_t data = 0;
};

// Why a connection is closed, as the other end sees it.
enum class DisconnectReason : uint32_t {
    None = 0,
    Protocol = 1, // not this game, or another version of its messages
    Full = 2,     // the host has three clients already
    Refused = 3,  // said why in a Refuse message first
    Leaving = 4,  // the other end left
    Busy = 5,     // the host has too many connections that have not said who they are
    Silent = 6,   // this machine did not say hello in time, or sent no actions while awaited
};

class Transport {
  public:
    virtual ~Transport() = default;
    // The next thing that happened, or false when nothing is waiting.
    virtual bool poll(TransportEvent& event) = 0;
    virtual void send(PeerId peer, Channel channel, std::span<const uint8_t> packet) = 0;
    // Closes the link after what was sent before has gone out; with reason None (a link that has
    // died) at once and without a word.
    virtual void disconnect(PeerId peer, DisconnectReason reason) = 0;
    // Sends what is queued now rather than at the next poll.
    virtual void flush() = 0;
    // The last measured round trip to the peer, in milliseconds.
    virtual uint32_t roundTripMs(PeerId peer) const = 0;
    // Where the peer is, for messages ("192.168.1.20:27115").
    virtual std::string peerAddress(PeerId peer) const = 0;
    // Every byte sent and received so far, with the transport's own headers.
    virtual uint64_t bytesSent() const = 0;
    virtual uint64_t bytesReceived() const = 0;
};
