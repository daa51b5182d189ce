#include "tests/support/hostile_peer.hpp"

#include <enet/enet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of what is allocated: its allocator stands in for glibc's, whose
// counters then stay at zero.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

HostilePeer::HostilePeer(const std::string& localAddress) {
    enet_initialize();
    ENetAddress address{};
    enet_address_set_host(&address, localAddress.c_str());
    address.port = 0;
    host = enet_host_create(&address, 1, kChannelCount, 0, 0);
}

HostilePeer::~HostilePeer() {
    if (host != nullptr) {
        enet_host_destroy(host);
    }
}

void HostilePeer::connect(uint16_t port) {
    ENetAddress target{};
    enet_address_set_host(&target, "127.0.0.1");
    target.port = port;
    peer = enet_host_connect(host, &target, kChannelCount, kProtocolMagic);
    enet_host_flush(host);
}

void HostilePeer::service(uint32_t ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        ENetEvent event;
        while (enet_host_service(host, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                isConnected = true;
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                isConnected = false;
                wasDisconnected = true;
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                if (std::optional<Message> message =
                        DecodeMessage(std::span(event.packet->data, event.packet->dataLength))) {
                    received.push_back(*message);
                }
                enet_packet_destroy(event.packet);
            }
        }
        if (ms > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    } while (std::chrono::steady_clock::now() < until);
}

void HostilePeer::send(const Message& message, Channel channel) {
    const std::vector<uint8_t> bytes = EncodeMessage(message);
    sendBytes(bytes, channel, channel == Channel::Control);
}

void HostilePeer::sendBytes(std::span<const uint8_t> bytes, Channel channel, bool reliable) {
    if (peer == nullptr) {
        return;
    }
    ENetPacket* packet =
        enet_packet_create(bytes.data(), bytes.size(), reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (enet_peer_send(peer, static_cast<enet_uint8>(channel == Channel::Control ? 1 : 0), packet) != 0) {
        enet_packet_destroy(packet);
    }
    enet_host_flush(host);
}

std::optional<StartMessage> HostilePeer::start() const {
    for (const Message& message : received) {
        if (const auto* start = std::get_if<StartMessage>(&message)) {
            return *start;
        }
    }
    return std::nullopt;
}

uint16_t FreeUdpPort() {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

size_t HeapBytesInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}
