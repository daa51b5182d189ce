#include "net/lan_discovery.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iostream>
#include <optional>
#include <random>
#include <span>

namespace {

// Packets read in one call: a flood waits in the socket's buffer, where the system drops what
// does not fit, rather than taking a frame's time.
constexpr int kMostReadsPerCall = 64;
constexpr int kAnswersPerAddressPerSecond = 4;
constexpr int kAnswersPerSecond = 40;
constexpr size_t kAddressesRemembered = 32;
constexpr uint32_t kAskEveryMs = 1000;
constexpr uint32_t kForgetAfterMs = 3000;

int openUdp(bool broadcast) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (broadcast) {
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    }
    return fd;
}

std::string addressText(const sockaddr_in& address, uint16_t port) {
    char ip[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &address.sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(port);
}

// "ADDRESS" or "ADDRESS:PORT" as an IPv4 socket address (names resolved); false when it is not.
bool resolve(const std::string& target, sockaddr_in& out) {
    std::string host = target;
    uint16_t port = kDiscoveryPort;
    if (const size_t colon = target.rfind(':'); colon != std::string::npos) {
        host = target.substr(0, colon);
        unsigned value = 0;
        const std::string digits = target.substr(colon + 1);
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 65535) {
            return false;
        }
        port = static_cast<uint16_t>(value);
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    out = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    out.sin_port = htons(port);
    freeaddrinfo(found);
    return true;
}

// The next packet waiting, into a buffer one byte longer than any packet taken, so a longer one
// shows (MSG_TRUNC gives its whole size); its size, or none when nothing is waiting.
std::optional<size_t> receive(int socket, std::span<uint8_t> buffer, sockaddr_in& from) {
    socklen_t length = sizeof from;
    const ssize_t size = recvfrom(socket, buffer.data(), buffer.size(), MSG_TRUNC,
                                  reinterpret_cast<sockaddr*>(&from), &length);
    return size < 0 ? std::nullopt : std::optional(static_cast<size_t>(size));
}

} // namespace

std::string MachineName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "unnamed";
    }
    return name;
}

std::vector<std::string> LocalNetworkTargets() {
    std::vector<std::string> targets;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
                (entry->ifa_flags & IFF_BROADCAST) == 0 || (entry->ifa_flags & IFF_UP) == 0 ||
                entry->ifa_broadaddr == nullptr) {
                continue;
            }
            char ip[INET_ADDRSTRLEN] = {};
            const auto* broadcast = reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr);
            if (inet_ntop(AF_INET, &broadcast->sin_addr, ip, sizeof ip) != nullptr &&
                std::find(targets.begin(), targets.end(), ip) == targets.end()) {
                targets.emplace_back(ip);
            }
        }
        freeifaddrs(list);
    }
    targets.emplace_back("127.0.0.1"); // games hosted on this machine
    return targets;
}

// ---- The host's beacon ----

DiscoveryBeacon::DiscoveryBeacon(int fd, uint16_t port)
    : socket(fd), boundPort(port), machineName(MachineName()), gameId(std::random_device{}() | 1u) {}

DiscoveryBeacon::~DiscoveryBeacon() {
    if (socket >= 0) {
        ::close(socket);
    }
}

std::unique_ptr<DiscoveryBeacon> DiscoveryBeacon::Open(uint16_t port, const std::string& address) {
    const int fd = openUdp(false);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (fd < 0 || inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        std::cout << "Games on the local network will not list this one: UDP port " << port
                  << " cannot be opened (" << std::strerror(errno) << ")" << std::endl;
        if (fd >= 0) {
            ::close(fd);
        }
        return nullptr;
    }
    socklen_t length = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    return std::unique_ptr<DiscoveryBeacon>(new DiscoveryBeacon(fd, ntohs(local.sin_port)));
}

bool DiscoveryBeacon::allowed(uint32_t from, uint32_t nowMs) {
    const uint32_t second = nowMs / 1000;
    auto spend = [second](Budget& budget, int most) {
        if (budget.second != second) {
            budget.second = second;
            budget.used = 0;
        }
        return budget.used < most;
    };
    auto mine =
        std::find_if(budgets.begin(), budgets.end(), [from](const Budget& b) { return b.address == from; });
    if (mine == budgets.end()) {
        if (budgets.size() >= kAddressesRemembered) {
            budgets.erase(budgets.begin()); // the longest remembered goes
        }
        budgets.push_back({from, second, 0});
        mine = budgets.end() - 1;
    }
    if (!spend(everyone, kAnswersPerSecond) || !spend(*mine, kAnswersPerAddressPerSecond)) {
        return false;
    }
    ++everyone.used;
    ++mine->used;
    return true;
}

void DiscoveryBeacon::answer(DiscoveryAnswer about, uint32_t nowMs) {
    if (about.hostName.empty()) {
        about.hostName = machineName;
    }
    uint8_t packet[kDiscoveryQueryBytes + 1];
    for (int read = 0; read < kMostReadsPerCall; ++read) {
        sockaddr_in from{};
        const std::optional<size_t> size = receive(socket, packet, from);
        if (!size) {
            return; // nothing more waiting
        }
        const std::optional<DiscoveryQuery> query =
            *size <= kDiscoveryQueryBytes ? DecodeDiscoveryQuery(std::span(packet, *size)) : std::nullopt;
        if (!query) {
            ++counted.refused;
            continue;
        }
        if (!allowed(from.sin_addr.s_addr, nowMs)) {
            ++counted.limited;
            continue;
        }
        about.nonce = query->nonce;
        about.gameId = gameId;
        const std::vector<uint8_t> bytes = EncodeDiscoveryAnswer(about);
        sendto(socket, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&from), sizeof from);
        ++counted.answered;
    }
}

// ---- Looking for games ----

GameFinder::GameFinder(int fd, std::string build, std::vector<std::string> targets)
    : socket(fd), ownBuild(std::move(build)), asked(std::move(targets)), nonce(std::random_device{}()) {}

GameFinder::~GameFinder() {
    if (socket >= 0) {
        ::close(socket);
    }
}

std::unique_ptr<GameFinder> GameFinder::Open(const std::string& build, std::vector<std::string> targets) {
    const int fd = openUdp(true);
    if (fd < 0) {
        std::cout << "Cannot look for games on the local network: no UDP socket could be opened" << std::endl;
        return nullptr;
    }
    return std::unique_ptr<GameFinder>(
        new GameFinder(fd, build, targets.empty() ? LocalNetworkTargets() : std::move(targets)));
}

void GameFinder::poll(uint32_t nowMs) {
    if (!asking || nowMs - askedMs >= kAskEveryMs) {
        ++nonce;
        const std::vector<uint8_t> query = EncodeDiscoveryQuery({nonce});
        for (const std::string& target : asked) {
            sockaddr_in to{};
            if (resolve(target, to)) {
                sendto(socket, query.data(), query.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                       sizeof to);
            }
        }
        asking = true;
        askedMs = nowMs;
    }
    uint8_t packet[kMaxDiscoveryAnswerBytes + 1];
    for (int read = 0; read < kMostReadsPerCall; ++read) {
        sockaddr_in from{};
        const std::optional<size_t> size = receive(socket, packet, from);
        if (!size) {
            break;
        }
        std::optional<DiscoveryAnswer> answer = *size <= kMaxDiscoveryAnswerBytes
                                                    ? DecodeDiscoveryAnswer(std::span(packet, *size))
                                                    : std::nullopt;
        // Only answers to this finder's own last question count: older ones would time wrongly.
        if (!answer || answer->nonce != nonce) {
            continue;
        }
        const std::string where = addressText(from, answer->port);
        auto known =
            std::find_if(found.begin(), found.end(), [&](const FoundGame& g) { return g.address == where; });
        if (known == found.end()) {
            found.push_back({{}, {}, false, 0, 0});
            known = found.end() - 1;
        }
        if (known->address.empty()) {
            known->address = where;
        }
        known->answer = std::move(*answer);
        known->sameBuild = known->answer.build == ownBuild;
        known->roundTripMs = nowMs - askedMs;
        known->seenMs = nowMs;
    }
    std::erase_if(found, [nowMs](const FoundGame& g) { return nowMs - g.seenMs > kForgetAfterMs; });
}
