// The one decoder of online packets: every message comes back as it was sent, and anything cut
// short, run on, oversized or out of range is refused whole.
#include "net/packet_codec.hpp"

#include <gtest/gtest.h>

namespace {

Lineup someLineup() {
    Lineup lineup;
    lineup.map = "Canyon";
    lineup.lives = 5;
    lineup.seconds = 300;
    lineup.players = 4;
    lineup.seats = {{{0, false, 1, 0, {3, 2, 4}},
                     {1, true, 2, 40, {1, 3, 0}},
                     {2, false, 1, 35, {2, 0, 2}},
                     {kNoMachine, false, 1, 0, {}}}};
    return lineup;
}

std::vector<Message> everyKind() {
    InputsMessage inputs;
    inputs.match = 65535;
    inputs.runs = {{1, 700, {0x7ff, 0, 81}}, {3, 2, std::vector<uint16_t>(kMaxFramesPerRun, 5)}};
    inputs.heardMask = 0b0101;
    inputs.heard = {12, 0, 900, 0};
    inputs.advantage = -7;
    InputsMessage ahead;
    ahead.advantage = 127;
    HelloMessage dressed{"1.0.0-abc", 0x1122334455667788ull, 2, 1, 2, {}};
    dressed.chosen = {{{false, 1, {3, 3, 4}}, {true, 2, {0, 1, 2}}, {}, {}}};
    return {HelloMessage{"1.0.0-abc", 0x1122334455667788ull, 2, 1, 2, {}},
            dressed,
            WelcomeMessage{3},
            RefuseMessage{RefuseReason::Data, "1.0.0-def", 42, 1},
            LineupMessage{someLineup()},
            StartMessage{someLineup(), 7, 0xdeadbeef, 10},
            StartMessage{someLineup(), 8, 1, 3, Teams{true, true, *ParseTeamLetters("BRBR")}},
            inputs,
            ahead,
            HashMessage{2, 3599, 0xfedcba9876543210ull},
            DesyncMessage{3, 1234},
            TakeoverMessage{4, 0b1010, 4000},
            AliveMessage{},
            LeaveMessage{}};
}

} // namespace

TEST(PacketCodec, EveryMessageComesBackAsSentAndNothingShorterOrLongerIsTaken) {
    for (const Message& message : everyKind()) {
        const std::vector<uint8_t> bytes = EncodeMessage(message);
        ASSERT_LE(bytes.size(), kMaxPacketBytes);
        std::optional<Message> back = DecodeMessage(bytes);
        ASSERT_TRUE(back.has_value()) << "kind " << message.index();
        EXPECT_EQ(*back, message) << "kind " << message.index();
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            DecodeFault fault = DecodeFault::None;
            EXPECT_FALSE(DecodeMessage(std::span(bytes).first(cut), &fault))
                << message.index() << " cut at " << cut;
            EXPECT_EQ(fault, DecodeFault::Malformed);
        }
        std::vector<uint8_t> longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(DecodeMessage(longer)) << "kind " << message.index() << " with a byte more";
    }
    DecodeFault fault = DecodeFault::None;
    EXPECT_FALSE(DecodeMessage(std::vector<uint8_t>(kMaxPacketBytes + 1, 10), &fault));
    EXPECT_EQ(fault, DecodeFault::Oversized);
}

// Each case changes one field of a good message to a value no honest machine sends.
TEST(PacketCodec, RefusesFieldsOutOfRange) {
    auto refused = [](const Message& message) { return !DecodeMessage(EncodeMessage(message)).has_value(); };
    auto inputsWith = [](SeatRun run) {
        InputsMessage m;
        m.runs = {std::move(run)};
        return m;
    };
    StartMessage start{someLineup(), 1, 1, 3};
    auto startWith = [&](auto change) {
        StartMessage changed = start;
        change(changed);
        return changed;
    };
    const std::vector<std::pair<const char*, Message>> cases = {
        {"seat 4", inputsWith({4, 0, {1}})},
        {"no frames", inputsWith({0, 0, {}})},
        {"too many frames", inputsWith({0, 0, std::vector<uint16_t>(kMaxFramesPerRun + 1, 0)})},
        {"an action bit beyond the last", inputsWith({0, 0, {0x800}})},
        {"a frame past any match", inputsWith({0, 1u << 30, {0}})},
        {"delay 11", startWith([](StartMessage& m) { m.delay = 11; })},
        {"no lives", startWith([](StartMessage& m) { m.lineup.lives = 0; })},
        {"one player", startWith([](StartMessage& m) { m.lineup.players = 1; })},
        {"no time", startWith([](StartMessage& m) { m.lineup.seconds = 0; })},
        {"machine 4", startWith([](StartMessage& m) { m.lineup.seats[1].machine = 4; })},
        {"level 3", startWith([](StartMessage& m) { m.lineup.seats[1].level = 3; })},
        {"face 4", startWith([](StartMessage& m) { m.lineup.seats[0].look.face = 4; })},
        {"turret 4", startWith([](StartMessage& m) { m.lineup.seats[2].look.turret = 4; })},
        {"track 5", startWith([](StartMessage& m) { m.lineup.seats[3].look.track = 5; })},
        {"a control byte in a name", startWith([](StartMessage& m) { m.lineup.map = "Mea\ndow"; })},
        {"a name too long",
         startWith([](StartMessage& m) { m.lineup.map = std::string(kMaxTextBytes + 1, 'a'); })},
        {"a team match with one side", startWith([](StartMessage& m) {
             m.teams = Teams{true, false, {}};
         })},
        {"five seats", HelloMessage{"b", 0, 5, 0, 1, {}}},
        {"more computers than seats", HelloMessage{"b", 0, 1, 2, 1, {}}},
        {"a face past the last", HelloMessage{"b", 0, 1, 0, 1, {{{{false, 1, {4, 0, 0}}, {}, {}, {}}}}}},
        {"a chosen computer of level 3", HelloMessage{"b", 0, 1, 0, 1, {{{{true, 3, {}}, {}, {}, {}}}}}},
        {"welcome as the host", WelcomeMessage{0}},
        {"no seat taken over", TakeoverMessage{1, 0, 10}},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_TRUE(refused(message)) << name;
    }
    // Two runs of one seat, and a kind byte no message has.
    InputsMessage twice;
    twice.runs = {{2, 0, {1}}, {2, 1, {1}}};
    EXPECT_TRUE(refused(twice));
    for (uint8_t kind : {uint8_t{0}, static_cast<uint8_t>(std::variant_size_v<Message> + 1), uint8_t{255}}) {
        EXPECT_FALSE(DecodeMessage(std::vector<uint8_t>{kind})) << int(kind);
    }
}
