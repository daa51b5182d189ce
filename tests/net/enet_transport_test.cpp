// The real transport over a link with a jittery delay (the project's relay on loopback).
#include "net/enet_transport.hpp"
#include "tests/support/hostile_peer.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

// Takes every event waiting; how many packets came unreliable (reports arrive as inputs).
int drain(Transport& net, PeerId* connected = nullptr) {
    int packets = 0;
    TransportEvent event;
    while (net.poll(event)) {
        if (event.kind == TransportEvent::Kind::Connected && connected != nullptr) {
            *connected = event.peer;
        }
        packets += event.kind == TransportEvent::Kind::Received && event.channel == Channel::Inputs;
    }
    return packets;
}

} // namespace

// Keep-alives and the world's hashes travel unreliable and unsequenced, so that on a jittery
// internet link neither a lost reliable packet nor a later packet overtaking them holds them back
// or drops them. Through a relay holding each packet 100-250 ms, so that they overtake each other
// all the time, all but the odd one arrive (sequenced, about half would be dropped as stale).
TEST(EnetTransport, ReportsGetThroughAJitteryLinkInWhateverOrder) {
    const uint16_t port = FreeUdpPort();
    const uint16_t relayPort = FreeUdpPort();
    const pid_t relay = fork();
    if (relay == 0) {
        const std::string listen = std::to_string(relayPort), to = std::to_string(port);
        execl(GRUMBO_RELAY_EXE, GRUMBO_RELAY_EXE, listen.c_str(), to.c_str(), "0", "100", "250", "5",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    auto host = EnetTransport::Listen(port);
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the relay binds its port
    auto client = EnetTransport::Connect("127.0.0.1", relayPort);
    ASSERT_TRUE(host && client);
    PeerId atHost = UINT32_MAX, atClient = UINT32_MAX;
    const std::vector<uint8_t> bytes(40, 7);
    int sent = 0, received = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < 60 * 8; ++tick) { // 8 s at 60 frames a second, as a match sends
        drain(*host, &atHost);
        const int came = drain(*client, &atClient);
        if (atHost != UINT32_MAX && atClient != UINT32_MAX) {
            host->send(atHost, Channel::Control, bytes); // reliable traffic alongside, as in a match
            const bool counted = std::chrono::steady_clock::now() - start > std::chrono::seconds(4);
            host->send(atHost, Channel::Reports, bytes);
            sent += counted;
            received += counted ? came : 0;
        }
        host->flush();
        client->flush();
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    kill(relay, SIGTERM);
    waitpid(relay, nullptr, 0);
    ASSERT_GT(sent, 100);
    EXPECT_GE(received, sent * 9 / 10) << received << " of " << sent;
}
