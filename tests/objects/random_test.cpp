// The game's random generator: the very numbers the C library's rand() gives after srand() with
// the same seed (the matches recorded and hashed so far were played with those), and a state
// that can be read and put back.
#include "objects/random.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

TEST(RandomGenerator, DrawsWhatTheCLibraryDrawsForEverySeed) {
    // 0 acts as 1; seeds past 2^31 - 1 enter the C library's arithmetic as negative numbers.
    for (uint32_t seed : {0u, 1u, 2u, 2026u, 2147483647u, 2147483648u, 4000000000u, 4294967295u}) {
        RandomGenerator generator(seed);
        std::srand(seed);
        for (int draw = 0; draw < 5000; ++draw) {
            ASSERT_EQ(generator.next(), std::rand()) << "seed " << seed << ", draw " << draw;
        }
    }
}

TEST(RandomGenerator, TheGamesDrawsFollowTheSeedAndAStatePutBackDrawsTheSameAgain) {
    seedRandom(99);
    std::srand(99);
    for (int draw = 0; draw < 1000; ++draw) {
        ASSERT_EQ(gameRand(), (std::rand() >> 16) & kRandomMax) << draw;
    }

    const RandomState saved = GameRandom().state();
    std::vector<int> ahead;
    for (int draw = 0; draw < 100; ++draw) {
        ahead.push_back(gameRand());
    }
    EXPECT_NE(GameRandom().state(), saved);
    GameRandom().setState(saved);
    RandomGenerator other;
    other.setState(saved);
    for (int draw = 0; draw < 100; ++draw) {
        EXPECT_EQ(gameRand(), ahead[static_cast<size_t>(draw)]) << draw;
        EXPECT_EQ((other.next() >> 16) & kRandomMax, ahead[static_cast<size_t>(draw)]) << draw;
    }

    // A state from elsewhere whose front lies past the words is taken without harm.
    RandomState odd = saved;
    odd.front = 1000;
    other.setState(odd);
    EXPECT_LT(other.state().front, RandomState::kWords);
    other.next();
}
