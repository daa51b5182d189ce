#include "net/online_start.hpp"

#include "graphics/debug_overlay.hpp"

#include "engine/engine.hpp"
#include "gameplay/bot.hpp"
#include "net/enet_transport.hpp"
#include "net/game_side.hpp"
#include "net/join_address.hpp"
#include "net/lan_discovery.hpp"
#include "net/net_session.hpp"
#include "platform/clock.hpp"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>

namespace {

GameSide& gameSide() {
    static auto* side = new GameSide();
    return *side;
}

std::unique_ptr<NetSession>& session() {
    static auto* made = new std::unique_ptr<NetSession>();
    return *made;
}

} // namespace

bool StartOnline(const OnlineOptions& options, bool fromMenus) {
    if (fromMenus) {
        StopOnline(); // one session at a time: ENet's port and the beacon's are the new one's
    }
    std::unique_ptr<DiscoveryBeacon> beacon;
    SessionSetup setup;
    setup.chosen = options.chosen;
    setup.schemes = options.schemes;
    setup.hosting = options.host;
    setup.seats = options.seats;
    setup.computers = options.shape.bots;
    setup.level = static_cast<uint8_t>(ParseBotLevel(options.shape.botLevel).value_or(BotLevel::Normal));
    setup.map = options.shape.map;
    setup.players = options.shape.players;
    setup.lives = options.shape.lives;
    setup.seconds = options.shape.seconds;
    setup.delay = options.delay;
    setup.rollback = options.rollback;
    setup.teams = options.shape.teams;
    std::unique_ptr<Transport> transport;
    if (options.host) {
        setup.port = options.port;
        transport = EnetTransport::Listen(options.port);
        if (transport) {
            std::cout << "Hosting an online match on UDP port " << options.port << std::endl;
        }
        beacon = transport ? DiscoveryBeacon::Open() : nullptr;
    } else {
        std::string address;
        uint16_t port = kDefaultPort;
        ParseJoinAddress(options.join, address, port);
        setup.address = address + ":" + std::to_string(port);
        setup.port = port;
        transport = EnetTransport::Connect(address, port);
        if (transport) {
            std::cout << "Joining " << setup.address << std::endl;
        }
    }
    if (!transport) {
        return false;
    }
    StartSession(setup, std::move(transport), ThisBuild()).setBeacon(std::move(beacon));
    if (fromMenus) {
        requestState(GameStateId::OnlineWaiting);
    }
    return true;
}

int FindGames(const std::string& address) {
    std::unique_ptr<GameFinder> finder = GameFinder::Open(
        ThisBuild().build, address.empty() ? std::vector<std::string>{} : std::vector{address});
    if (!finder) {
        return 1;
    }
    const uint32_t start = GetTickCount();
    // Asked twice in the two seconds, so one lost question or answer loses nothing.
    while (GetTickCount() - start < 2000) {
        finder->poll(GetTickCount());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (const FoundGame& game : finder->games()) {
        const DiscoveryAnswer& a = game.answer;
        std::cout << game.address << "  " << a.hostName << "  " << a.map << "  " << int(a.freeSeats) << "/"
                  << int(a.seats) << (game.sameBuild ? "" : "  (another version)") << std::endl;
    }
    if (finder->games().empty()) {
        std::cout << "No game found " << (address.empty() ? "on the local network" : "at " + address)
                  << std::endl;
    }
    return finder->games().empty() ? 1 : 0;
}

NetSession& StartSession(const SessionSetup& setup, std::unique_ptr<Transport> transport,
                         const BuildIdentity& identity) {
    session() = std::make_unique<NetSession>(setup, std::move(transport), identity, gameSide(),
                                             [] { return GetTickCount(); });
    gameSide().setSession(session().get());
    Engine::instance().firstState = GameStateId::OnlineWaiting;
    static bool panelAdded = false;
    if (!panelAdded) {
        panelAdded = true;
        // F3: what keeping the machines together costs, as it is played.
        DebugOverlay::instance().addTextPanel("Online", [] {
            std::vector<std::string> lines;
            if (const NetSession* online = OnlineSession(); online != nullptr && online->pacer() != nullptr) {
                const LockstepScheduler& frames = online->pacer()->scheduler();
                lines.push_back("frame " + std::to_string(frames.nextFrame()) + ", final " +
                                std::to_string(online->finalFrames()) + ", rollback window " +
                                std::to_string(frames.rollbackWindow()));
                lines.push_back(online->pacingMeter().line());
            }
            return lines;
        });
    }
    return *session();
}

NetSession* OnlineSession() {
    return session().get();
}

void StopOnline() {
    if (session()) {
        session()->leave();
        session().reset();
    }
}

std::vector<std::string> LocalAddresses() {
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
                continue;
            }
            char text[INET_ADDRSTRLEN] = {};
            const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
            if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
                found.emplace_back(text);
            }
        }
        freeifaddrs(list);
    }
    // Loopback reaches only this machine: it goes last.
    std::stable_partition(found.begin(), found.end(),
                          [](const std::string& a) { return a.rfind("127.", 0) != 0; });
    if (found.empty()) {
        found.emplace_back("127.0.0.1");
    }
    return found;
}
