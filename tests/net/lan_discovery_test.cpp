// Games on the local network, over real UDP on loopback: a host's beacon answers a finder with
// its game, a flood of queries is neither amplified nor answered past the rate, and the readers
// of both take nothing that is not exactly a query or an answer.
#include "net/lan_discovery.hpp"
#include "net/packet_codec.hpp"
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

DiscoveryAnswer someGame() {
    return {7, 0, "1.0.0-abc", "den", "Canyon", 1, 3, 27200};
}

// Polls the finder and the beacon together for a while of real time.
void exchange(GameFinder& finder, DiscoveryBeacon& beacon, const DiscoveryAnswer& about, uint32_t& now,
              uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) {
        now += 10;
        finder.poll(now);
        beacon.answer(about, now);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        finder.poll(now);
    }
}

} // namespace

TEST(DiscoveryCodec, TakesExactlyAQueryOrAnAnswerAndNothingElse) {
    const std::vector<uint8_t> query = EncodeDiscoveryQuery({0xdeadbeef});
    ASSERT_EQ(query.size(), kDiscoveryQueryBytes) << "padded to an answer's size: answering never amplifies";
    EXPECT_EQ(DecodeDiscoveryQuery(query), (DiscoveryQuery{0xdeadbeef}));
    const std::vector<uint8_t> answer = EncodeDiscoveryAnswer(someGame());
    ASSERT_LE(answer.size(), kMaxDiscoveryAnswerBytes);
    EXPECT_EQ(DecodeDiscoveryAnswer(answer), someGame());
    for (size_t cut = 0; cut < query.size(); ++cut) {
        EXPECT_FALSE(DecodeDiscoveryQuery(std::span(query).first(cut))) << cut;
    }
    for (size_t cut = 0; cut < answer.size(); ++cut) {
        EXPECT_FALSE(DecodeDiscoveryAnswer(std::span(answer).first(cut))) << cut;
    }
    std::vector<uint8_t> longer = query;
    longer.push_back(0);
    EXPECT_FALSE(DecodeDiscoveryQuery(longer));
    std::vector<uint8_t> dirty = query;
    dirty.back() = 1;
    EXPECT_FALSE(DecodeDiscoveryQuery(dirty)) << "padding other than zeros";
    EXPECT_FALSE(DecodeDiscoveryAnswer(query)) << "a query is not an answer";

    // Any machine name goes out, cut and made printable; out-of-range seats never come in.
    DiscoveryAnswer odd = someGame();
    odd.hostName = std::string(100, 'x') + "\n";
    const std::optional<DiscoveryAnswer> back = DecodeDiscoveryAnswer(EncodeDiscoveryAnswer(odd));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->hostName, std::string(kMaxHostNameText, 'x'));
    for (auto [free, seats, port] : {std::tuple{0, 1, 1}, {5, 4, 1}, {0, 5, 1}, {1, 2, 0}}) {
        DiscoveryAnswer bad = someGame();
        bad.freeSeats = static_cast<uint8_t>(free);
        bad.seats = static_cast<uint8_t>(seats);
        bad.port = static_cast<uint16_t>(port);
        EXPECT_FALSE(DecodeDiscoveryAnswer(EncodeDiscoveryAnswer(bad)))
            << free << "/" << seats << " port " << port;
    }
}

// A finder asking a beacon on loopback lists its game once, with another build marked, and
// forgets it three seconds after it stops answering.
TEST(LanDiscovery, AFinderListsTheGameABeaconAnswersWith) {
    std::unique_ptr<DiscoveryBeacon> beacon = DiscoveryBeacon::Open(0, "127.0.0.1");
    ASSERT_TRUE(beacon);
    const std::string at = "127.0.0.1:" + std::to_string(beacon->port());
    std::unique_ptr<GameFinder> finder = GameFinder::Open("1.0.0-abc", {at, at});
    ASSERT_TRUE(finder);
    uint32_t now = 1000;
    exchange(*finder, *beacon, someGame(), now, 300);
    ASSERT_EQ(finder->games().size(), 1u) << "asked twice, listed once";
    const FoundGame& game = finder->games()[0];
    EXPECT_EQ(game.address, "127.0.0.1:27200") << "the port to join, not the beacon's";
    EXPECT_NE(game.answer.gameId, 0u);
    EXPECT_EQ(game.answer.hostName, "den");
    EXPECT_EQ(game.answer.map, "Canyon");
    EXPECT_EQ(std::tuple(game.answer.freeSeats, game.answer.seats), std::tuple(uint8_t{1}, uint8_t{3}));
    EXPECT_TRUE(game.sameBuild);

    DiscoveryAnswer other = someGame();
    other.build = "2.0.0-def";
    exchange(*finder, *beacon, other, now, 1100);
    ASSERT_EQ(finder->games().size(), 1u);
    EXPECT_FALSE(finder->games()[0].sameBuild) << "listed as another version";

    for (uint32_t t = 0; t < 3200; t += 100) { // the beacon says nothing from now on
        finder->poll(now += 100);
    }
    EXPECT_TRUE(finder->games().empty()) << "a game that stopped answering is forgotten";
}

// A flood of queries from one address gets a few answers a second, each no larger than a query;
// packets that are not queries are counted and never answered; the beacon reads a bounded number
// of packets each time it is asked, so a flood cannot take a frame's time.
TEST(LanDiscovery, AFloodIsAnsweredAtAFewASecondAndNeverAmplified) {
    std::unique_ptr<DiscoveryBeacon> beacon = DiscoveryBeacon::Open(0, "127.0.0.1");
    ASSERT_TRUE(beacon);
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(beacon->port());
    const std::vector<uint8_t> query = EncodeDiscoveryQuery({1});
    const std::vector<uint8_t> junk(kDiscoveryQueryBytes + 40, 0x47);
    for (int i = 0; i < 120; ++i) { // what a socket's buffer holds at once
        const std::vector<uint8_t>& packet = i % 3 == 0 ? junk : query;
        sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    beacon->answer(someGame(), 5000);
    EXPECT_EQ(beacon->counts().answered + beacon->counts().refused + beacon->counts().limited, 64)
        << "one call reads a bounded number";
    for (int call = 0; call < 10; ++call) {
        beacon->answer(someGame(), 5000 + static_cast<uint32_t>(call));
    }
    EXPECT_EQ(beacon->counts().answered, 4) << "four answers a second to one address";
    EXPECT_EQ(beacon->counts().refused, 40);
    EXPECT_EQ(beacon->counts().limited, 76);
    beacon->answer(someGame(), 6000);
    uint8_t reply[2048];
    size_t replies = 0, biggest = 0;
    for (ssize_t size; (size = recv(fd, reply, sizeof reply, MSG_DONTWAIT)) > 0; ++replies) {
        biggest = std::max(biggest, static_cast<size_t>(size));
    }
    EXPECT_EQ(replies, 4u) << "the next second's budget has nothing left to answer";
    EXPECT_LE(biggest, kDiscoveryQueryBytes);
    close(fd);
}

// The command line's --find, as a script or a player at a terminal uses it: nothing hosted at the
// address says so and exits 1.
TEST(LanDiscovery, FindSaysWhenNoGameAnswers) {
    std::string out;
    EXPECT_EQ(RunCommand(std::string(GRUMBO_GAME_EXE) + " --find 127.0.0.1:9 2>/dev/null", out), 1) << out;
    EXPECT_EQ(out, "No game found at 127.0.0.1:9\n");
}
