// A small UDP relay for trying online play over a poor network on one machine: clients send to
// the relay's port, and it passes every packet on to the host and back, dropping some and
// holding each one for a random while (so packets also overtake each other). Each client gets
// its own socket towards the host, so the host sees them as separate machines.
//   grumbo_udp_relay LISTEN_PORT HOST_PORT [DROP_PERCENT] [MIN_MS] [MAX_MS] [SEED]
// On SIGINT or SIGTERM it prints what it passed on and dropped, and ends.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <queue>
#include <random>
#include <vector>

namespace {

volatile std::sig_atomic_t stopping = 0;

struct Held {
    double due;
    uint64_t order;
    int socket;
    sockaddr_in to;
    std::vector<char> bytes;
    bool operator>(const Held& other) const {
        return due != other.due ? due > other.due : order > other.order;
    }
};

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int udpSocket(uint16_t port) {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(port);
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("relay: socket");
        std::exit(1);
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LISTEN_PORT HOST_PORT [DROP_PERCENT] [MIN_MS] [MAX_MS] [SEED]\n",
                     argv[0]);
        return 2;
    }
    const auto listenPort = static_cast<uint16_t>(std::atoi(argv[1]));
    const sockaddr_in host = loopback(static_cast<uint16_t>(std::atoi(argv[2])));
    const double drop = argc > 3 ? std::atof(argv[3]) / 100.0 : 0.05;
    const double minMs = argc > 4 ? std::atof(argv[4]) : 20.0;
    const double maxMs = argc > 5 ? std::atof(argv[5]) : 80.0;
    std::mt19937 random(argc > 6 ? static_cast<uint32_t>(std::atoi(argv[6])) : 1u);
    std::signal(SIGINT, [](int) { stopping = 1; });
    std::signal(SIGTERM, [](int) { stopping = 1; });

    const int front = udpSocket(listenPort);
    std::map<uint64_t, int> towardsHost; // client address -> its socket towards the host
    std::map<int, sockaddr_in> clientOf; // that socket -> the client
    std::priority_queue<Held, std::vector<Held>, std::greater<>> held;
    uint64_t order = 0;
    long passed = 0;
    long dropped = 0;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_real_distribution<double> delay(minMs, maxMs);

    while (!stopping) {
        std::vector<pollfd> watched{{front, POLLIN, 0}};
        for (const auto& [socket, client] : clientOf) {
            watched.push_back({socket, POLLIN, 0});
        }
        const int wait = held.empty() ? 50 : std::max(0, static_cast<int>(held.top().due - nowMs()));
        poll(watched.data(), watched.size(), std::min(wait, 50));
        for (const pollfd& p : watched) {
            if ((p.revents & POLLIN) == 0) {
                continue;
            }
            char buffer[65536];
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n =
                recvfrom(p.fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (n < 0) {
                continue;
            }
            Held packet{nowMs() + delay(random), order++, 0, {}, std::vector<char>(buffer, buffer + n)};
            if (p.fd == front) {
                const uint64_t key = (static_cast<uint64_t>(from.sin_addr.s_addr) << 16) | from.sin_port;
                if (towardsHost.count(key) == 0) {
                    const int s = udpSocket(0);
                    towardsHost[key] = s;
                    clientOf[s] = from;
                }
                packet.socket = towardsHost[key];
                packet.to = host;
            } else {
                packet.socket = front;
                packet.to = clientOf[p.fd];
            }
            if (chance(random) < drop) {
                ++dropped;
            } else {
                held.push(std::move(packet));
            }
        }
        while (!held.empty() && held.top().due <= nowMs()) {
            const Held& packet = held.top();
            sendto(packet.socket, packet.bytes.data(), packet.bytes.size(), 0,
                   reinterpret_cast<const sockaddr*>(&packet.to), sizeof packet.to);
            ++passed;
            held.pop();
        }
    }
    std::printf("Relay: passed %ld packets on, dropped %ld (%.1f %%)\n", passed, dropped,
                passed + dropped > 0
                    ? 100.0 * static_cast<double>(dropped) / static_cast<double>(passed + dropped)
                    : 0.0);
    return 0;
}
