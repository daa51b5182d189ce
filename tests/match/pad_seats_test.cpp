// Which seat plays with which pad as pads come and go: the rules alone, without a match.
#include "match/pad_seats.hpp"

#include <gtest/gtest.h>

namespace {

using Pads = std::array<bool, kMaxPads>;
constexpr uint32_t kNoPad = kMaxPads;

std::vector<std::pair<int, uint32_t>> took(int seat, uint32_t pad) {
    return {{seat, pad}};
}

} // namespace

TEST(PadSeats, ALostPadIsToldOnceAndItsOwnPadComingBackEndsIt) {
    PadSeats seats;
    seats.Seat({kNoPad, 1, 2}); // a keyboard half, then pads 1 and 2
    EXPECT_TRUE(seats.Follow({false, true, true, false}).lost.empty());

    PadSeats::Changes changes = seats.Follow({false, true, false, false});
    EXPECT_EQ(changes.lost, std::vector<int>{2});
    EXPECT_TRUE(seats.Missing(2));
    EXPECT_FALSE(seats.Missing(0) || seats.Missing(1) || seats.Missing(7));
    EXPECT_EQ(seats.MissingText(), "Player 3's pad is missing");
    EXPECT_TRUE(seats.Follow({false, true, false, false}).lost.empty()) << "told once, not every frame";

    changes = seats.Follow({false, true, true, false});
    EXPECT_EQ(changes.took, took(2, 2));
    EXPECT_FALSE(seats.AnyMissing());
    EXPECT_EQ(seats.MissingText(), "");
}

TEST(PadSeats, ANewPadTakesTheFirstMissingSeatButNeverAnotherSeatsOwnPad) {
    PadSeats seats;
    seats.Seat({2, 3, 1});                   // pad 1 is seat 3's, though it has never answered
    seats.Follow({true, false, true, true}); // pad 0 lies about, nobody's
    seats.Follow({true, false, false, false});
    EXPECT_EQ(seats.MissingText(), "Players 1 and 2: pads missing");
    EXPECT_FALSE(seats.Missing(2)) << "a pad that never answered is not missing";

    // Seat 3's own pad arrives: it stays with seat 3, and the spare pad 0 takes nobody.
    PadSeats::Changes changes = seats.Follow({true, true, false, false});
    EXPECT_TRUE(changes.took.empty());
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

TEST(PadSeats, SeatsWithoutPadsAreNeverMissingAndSeatingAgainForgetsTheOldMatch) {
    PadSeats seats;
    seats.Seat({kNoPad, 4, 5, 0xFFFFFFFFu});
    seats.Follow({true, true, true, true});
    PadSeats::Changes changes = seats.Follow({false, false, false, false});
    EXPECT_TRUE(changes.lost.empty());
    EXPECT_FALSE(seats.AnyMissing());

    seats.Seat({0, 1, 2, 3});
    seats.Follow({true, true, true, true});
    seats.Follow({false, false, false, true});
    EXPECT_EQ(seats.MissingText(), "Players 1, 2 and 3: pads missing");
    seats.Seat({0});
    EXPECT_FALSE(seats.AnyMissing());
    EXPECT_TRUE(seats.Follow({false, false, false, false}).lost.empty()) << "pad 0 never answered this match";
}
