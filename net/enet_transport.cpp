#include "net/enet_transport.hpp"

#include "net/packet_codec.hpp"

#include <enet/enet.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

// ENet is set up once for the process, on first use, and torn down at its exit.
bool enetReady() {
    static const bool ready = [] {
        if (enet_initialize() != 0) {
            std::cout << "Online play is not available: the network library did not start" << std::endl;
            return false;
        }
        std::atexit(enet_deinitialize);
        return true;
    }();
    return ready;
}

std::string addressText(const ENetAddress& address) {
    char ip[64] = "?";
    enet_address_get_host_ip(&address, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(address.port);
}

// Friends behind one router share its address: three of them, and one reconnecting.
constexpr size_t kSlotsPerAddress = kMaxClients + 1;
// Reliable control messages held back behind a lost one; far more than an honest peer queues.
constexpr size_t kMaxWaitingData = 256 * kMaxPacketBytes;

// Nothing larger than the decoder takes is reassembled, nor much held per peer.
void limitPackets(ENetHost* host) {
    host->maximumPacketSize = kMaxPacketBytes;
    host->maximumWaitingData = kMaxWaitingData;
}

} // namespace

EnetTransport::EnetTransport(ENetHost* made, bool listens)
    : host(made), listening(listens), halfOpenSince(made->peerCount) {
    limitPackets(host);
}

EnetTransport::~EnetTransport() {
    if (host != nullptr) {
        for (size_t i = 0; i < host->peerCount; ++i) {
            if (host->peers[i].state == ENET_PEER_STATE_CONNECTED) {
                enet_peer_disconnect_now(&host->peers[i], static_cast<uint32_t>(DisconnectReason::Leaving));
            }
        }
        enet_host_flush(host);
        enet_host_destroy(host);
    }
}

std::unique_ptr<EnetTransport> EnetTransport::Listen(uint16_t port) {
    if (!enetReady()) {
        return nullptr;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    ENetHost* made = enet_host_create(&address, kEnetPeerSlots, kChannelCount, 0, 0);
    if (made == nullptr) {
        std::cout << "Cannot host on UDP port " << port << ": it is in use or not allowed" << std::endl;
        return nullptr;
    }
    made->duplicatePeers = kSlotsPerAddress;
    return std::unique_ptr<EnetTransport>(new EnetTransport(made, true));
}

std::unique_ptr<EnetTransport> EnetTransport::Connect(const std::string& address, uint16_t port) {
    if (!enetReady()) {
        return nullptr;
    }
    ENetAddress target{};
    if (enet_address_set_host(&target, address.c_str()) != 0) {
        std::cout << "Cannot join " << address << ": no such address" << std::endl;
        return nullptr;
    }
    target.port = port;
    ENetHost* made = enet_host_create(nullptr, 1, kChannelCount, 0, 0);
    if (made == nullptr) {
        std::cout << "Cannot join " << address << ": no UDP socket could be opened" << std::endl;
        return nullptr;
    }
    ENetPeer* host = enet_host_connect(made, &target, kChannelCount, kProtocolMagic);
    if (host == nullptr) {
        enet_host_destroy(made);
        std::cout << "Cannot join " << address << ": the connection could not be started" << std::endl;
        return nullptr;
    }
    enet_peer_timeout(host, 0, kEnetConnectTimeoutMs, kEnetConnectTimeoutMs);
    return std::unique_ptr<EnetTransport>(new EnetTransport(made, false));
}

ENetPeer* EnetTransport::peer(PeerId id) const {
    return id < host->peerCount ? &host->peers[id] : nullptr;
}

void EnetTransport::resetHalfOpen() {
    const uint32_t t = enet_time_get();
    for (size_t i = 0; i < host->peerCount; ++i) {
        ENetPeer& slot = host->peers[i];
        auto& [connection, since] = halfOpenSince[i];
        const bool halfOpen = slot.state == ENET_PEER_STATE_ACKNOWLEDGING_CONNECT ||
                              slot.state == ENET_PEER_STATE_CONNECTION_PENDING;
        if (!halfOpen) {
            since = 0;
        } else if (since == 0 || connection != slot.connectID) {
            connection = slot.connectID;
            since = std::max<uint32_t>(t, 1); // 0 means none
        } else if (t - since > kEnetHandshakeWithinMs) {
            enet_peer_reset(&slot);
            since = 0;
        }
    }
}

bool EnetTransport::poll(TransportEvent& event) {
    if (listening) {
        resetHalfOpen();
    }
    ENetEvent e;
    while (enet_host_service(host, &e, 0) > 0) {
        event = TransportEvent{};
        event.peer = static_cast<PeerId>(e.peer - host->peers);
        event.data = e.data;
        switch (e.type) {
        case ENET_EVENT_TYPE_CONNECT:
            enet_peer_timeout(e.peer, 0, kEnetTimeoutMs, kEnetTimeoutMs);
            event.kind = TransportEvent::Kind::Connected;
            return true;
        case ENET_EVENT_TYPE_DISCONNECT:
            event.kind = TransportEvent::Kind::Disconnected;
            return true;
        case ENET_EVENT_TYPE_RECEIVE:
            event.kind = TransportEvent::Kind::Received;
            event.channel = e.channelID == 0 ? Channel::Inputs : Channel::Control;
            event.packet.assign(e.packet->data, e.packet->data + e.packet->dataLength);
            enet_packet_destroy(e.packet);
            return true;
        default:
            break;
        }
    }
    return false;
}

void EnetTransport::send(PeerId id, Channel channel, std::span<const uint8_t> packet) {
    ENetPeer* to = peer(id);
    if (to == nullptr || to->state != ENET_PEER_STATE_CONNECTED) {
        return;
    }
    const enet_uint32 flags = channel == Channel::Control   ? ENET_PACKET_FLAG_RELIABLE
                              : channel == Channel::Reports ? ENET_PACKET_FLAG_UNSEQUENCED
                                                            : 0;
    const auto wire = static_cast<enet_uint8>(channel == Channel::Control ? 1 : 0);
    ENetPacket* made = enet_packet_create(packet.data(), packet.size(), flags);
    if (made != nullptr && enet_peer_send(to, wire, made) != 0) {
        enet_packet_destroy(made);
    }
}

void EnetTransport::disconnect(PeerId id, DisconnectReason reason) {
    ENetPeer* to = peer(id);
    if (to == nullptr) {
        return;
    }
    if (reason == DisconnectReason::None) {
        enet_peer_reset(to); // a dead link: nothing would answer a goodbye
    } else {
        enet_peer_disconnect_later(to, static_cast<uint32_t>(reason));
    }
}

void EnetTransport::flush() {
    enet_host_flush(host);
}

uint32_t EnetTransport::roundTripMs(PeerId id) const {
    const ENetPeer* to = peer(id);
    return to != nullptr ? to->roundTripTime : 0;
}

std::string EnetTransport::peerAddress(PeerId id) const {
    const ENetPeer* to = peer(id);
    return to != nullptr ? addressText(to->address) : "?";
}

uint64_t EnetTransport::bytesSent() const {
    return host->totalSentData;
}

uint64_t EnetTransport::bytesReceived() const {
    return host->totalReceivedData;
}
