#pragma once

// The transport of the game: ENet over UDP. A host listens on one port for up to three clients
// (a fourth is turned away as the host being full), with peer slots to spare so that connections
// that never finish their handshake cannot fill them: such a connection is reset after three
// seconds, and no one address holds more than four slots. No packet larger than the decoder
// takes (kMaxPacketBytes) is reassembled, nor more than a little waiting data kept per peer, so
// a hostile peer cannot make the host hold megabytes. A client has one peer, the host. Control
// packets are reliable and in order; inputs go unreliable and sequenced (ENet drops one that
// arrives after a later one), since each inputs packet carries every frame the receiver has not
// acknowledged and the next one makes good any that was lost. ENet gives up on a link only
// after twenty seconds without an answer, long enough for the other machine to load a match; the
// session decides much sooner whether a machine in a match has gone (see NetSession).

#include "net/transport.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

constexpr uint32_t kEnetTimeoutMs = 20000;
// A host that does not answer a request to join for this long is not there. Generous, since a
// host answers only once its window is up and its data loaded, and a friend may be quicker.
constexpr uint32_t kEnetConnectTimeoutMs = 15000;
// The host's peer slots: the three clients, and room for connections on their way in or out.
constexpr size_t kEnetPeerSlots = 16;
// A connection that has not finished ENet's handshake by then is reset.
constexpr uint32_t kEnetHandshakeWithinMs = 3000;

class EnetTransport : public Transport {
  public:
    ~EnetTransport() override;
    // Listens on the port on every interface; null, with one line, when it cannot.
    static std::unique_ptr<EnetTransport> Listen(uint16_t port);
    // Starts connecting to the host; null, with one line, when the address does not resolve.
    static std::unique_ptr<EnetTransport> Connect(const std::string& address, uint16_t port);

    bool poll(TransportEvent& event) override;
    void send(PeerId peer, Channel channel, std::span<const uint8_t> packet) override;
    void disconnect(PeerId peer, DisconnectReason reason) override;
    void flush() override;
    uint32_t roundTripMs(PeerId peer) const override;
    std::string peerAddress(PeerId peer) const override;
    uint64_t bytesSent() const override;
    uint64_t bytesReceived() const override;

  private:
    EnetTransport(_ENetHost* made, bool listening);
    _ENetPeer* peer(PeerId id) const;
    // Resets incoming connections stuck in the handshake for longer than kEnetHandshakeWithinMs.
    void resetHalfOpen();
    _ENetHost* host = nullptr;
    bool listening = false;
    // For each slot: the connection seen halfway in, and since when (ENet's clock).
    std::vector<std::pair<uint32_t, uint32_t>> halfOpenSince;
};
