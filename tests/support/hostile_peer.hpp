#pragma once

// A client of our own that speaks the game's wire format to a real host over ENet on loopback,
// and misbehaves on purpose: it connects and never finishes the handshake (when service() is
// never called), connects and never says hello, or says hello and then sends what no honest
// machine sends. It binds to a loopback address of its own choosing (all of 127.0.0.0/8 reaches
// this machine), so several can look like machines of different addresses.

#include "net/packet_codec.hpp"
#include "net/transport.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

class HostilePeer {
  public:
    explicit HostilePeer(const std::string& localAddress = "127.0.0.1");
    ~HostilePeer();
    HostilePeer(const HostilePeer&) = delete;
    HostilePeer& operator=(const HostilePeer&) = delete;

    // Asks the host on 127.0.0.1:port to connect, with the game's magic; the handshake goes on
    // only while service() runs.
    void connect(uint16_t port);
    // Runs ENet for a while (0: what is waiting now): handshakes, acknowledgements, and the
    // messages the host sends, kept in order.
    void service(uint32_t ms = 0);
    bool connected() const { return isConnected; }
    bool disconnected() const { return wasDisconnected; }

    void send(const Message& message, Channel channel = Channel::Control);
    void sendBytes(std::span<const uint8_t> bytes, Channel channel, bool reliable);
    // The host's first Start, when it came.
    std::optional<StartMessage> start() const;

    std::vector<Message> received;

  private:
    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    bool isConnected = false;
    bool wasDisconnected = false;
};

// A UDP port on loopback that nothing listens on now.
uint16_t FreeUdpPort();
// Bytes the process has on its heap now (the sanitizer's count when it runs under one).
size_t HeapBytesInUse();
