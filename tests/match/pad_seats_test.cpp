// Which seat plays with which pad as pads come and go: the rules alone, without a match.
#include "match/pad_seats.hpp"

#include <gtest/gtest.h>

namespace {

using Pads = std::array<bool, kMaxPads>;
constexpr Pads kAllPads{true, true, true, true};

std::vector<std::pair<int, uint32_t>> took(int seat, uint32_t pad) {
    return {{seat, pad}};
}

} // namespace

// How a real match follows these rules is in pad_loss_test; here the cases a match rarely meets.
TEST(PadSeats, APadGoneBeforeTheMatchIsLostInItAndANewPadTakesTheFirstMissingSeat) {
    PadSeats seats;
    seats.Seat({2, 3, 1},
               {true, false, true, true}); // seat 3's pad went in the level select; pad 0 is nobody's
    PadSeats::Changes changes = seats.Follow({true, false, true, true});
    EXPECT_EQ(changes.lost, std::vector<int>{2}) << "gone before the match counts as lost in it";
    EXPECT_TRUE(changes.took.empty()) << "a pad lying about since before takes no seat";
    seats.Follow({true, false, false, false});
    EXPECT_EQ(seats.MissingText(), "Players 1, 2 and 3: pads missing");

    // Seat 3's own pad comes back to seat 3, never to the first missing seat.
    changes = seats.Follow({true, true, false, false});
    EXPECT_EQ(changes.took, took(2, 1));
    EXPECT_TRUE(seats.Missing(0) && seats.Missing(1));

    // Pad 0 leaves and comes back: now it has just come, so the first missing seat takes it.
    seats.Follow({false, true, false, false});
    changes = seats.Follow({true, true, false, false});
    EXPECT_EQ(changes.took, took(0, 0));
    EXPECT_EQ(seats.MissingText(), "Player 2's pad is missing");

    // Seat 1 plays on pad 0 now: losing that one makes it missing again; pad 2 is nobody's.
    changes = seats.Follow({false, true, false, false});
    EXPECT_EQ(changes.lost, std::vector<int>{0});
    changes = seats.Follow({false, true, true, false});
    EXPECT_EQ(changes.took, took(0, 2));
}

// Seats without pads (the keyboard's, the computers') are in pad_loss_test.
TEST(PadSeats, ASeatThatIsOutFreesItsPadAndSeatingAgainForgetsTheOldMatch) {
    // A seat that is out needs no pad: it is not named, and its pad is free for another seat.
    PadSeats seats;
    seats.Seat({0, 1, 2, 3}, kAllPads);
    seats.Follow({false, false, false, true});
    seats.Leave(0);
    EXPECT_EQ(seats.MissingText(), "Players 2 and 3: pads missing");
    EXPECT_EQ(seats.Follow({true, false, false, true}).took, took(1, 0));

    seats.Seat({0}, kAllPads);
    EXPECT_FALSE(seats.AnyMissing());
    EXPECT_TRUE(seats.Follow(kAllPads).lost.empty());
}
