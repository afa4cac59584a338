#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "game/random.hpp"
#include "game/random_seed.hpp"

namespace {

std::vector<uint32_t> draws_after_seed(uint32_t seed) {
    gridtake::seed_random(seed);
    std::vector<uint32_t> draws;
    for (int i = 0; i < 38; ++i) {
        draws.push_back(gridtake::random_below(i < 36 ? 30 : 5));
    }
    return draws;
}

TEST(RandomSource, TheSameSeedGivesTheSameSequenceAndAReseedRestartsIt) {
    const auto first = draws_after_seed(123456);
    gridtake::random_below(30); // whatever was drawn in between does not matter
    EXPECT_EQ(draws_after_seed(123456), first);
    EXPECT_NE(draws_after_seed(123457), first);
}

TEST(RandomSource, StaysInRangeAndCoversEveryValue) {
    gridtake::seed_random(7);
    for (const uint32_t n : {1u, 2u, 5u, 30u, 1000u}) {
        std::vector<int> seen(n, 0);
        for (uint32_t i = 0; i < 200 * n; ++i) {
            const uint32_t draw = gridtake::random_below(n);
            ASSERT_LT(draw, n);
            ++seen[draw];
        }
        for (uint32_t v = 0; v < n; ++v) {
            EXPECT_GT(seen[v], 0) << "value " << v << " of " << n << " never drawn";
        }
    }
}

TEST(RandomSource, IsUniformOverThirty) {
    // A chi-square test with 29 degrees of freedom: 58.3 is its 0.1% critical value, so a fair
    // source fails this about once in a thousand seeds, and this seed is fixed.
    gridtake::seed_random(2026);
    constexpr int DRAWS = 300000;
    std::array<int, 30> counts{};
    for (int i = 0; i < DRAWS; ++i) {
        ++counts[gridtake::random_below(30)];
    }
    const double expected = DRAWS / 30.0;
    double chi_square = 0;
    for (const int count : counts) {
        chi_square += (count - expected) * (count - expected) / expected;
    }
    EXPECT_LT(chi_square, 58.3);
}

TEST(RandomSource, HasNoModuloBiasForARangeThatDoesNotDivideTheWord) {
    // With n = 3 * 2^30, plain modulo of a 32-bit word would draw values below 2^30 twice as
    // often as the rest; without bias, a third of the draws fall below 2^30.
    gridtake::seed_random(99);
    constexpr uint32_t n = 3u << 30;
    constexpr int DRAWS = 90000;
    int low = 0;
    for (int i = 0; i < DRAWS; ++i) {
        low += gridtake::random_below(n) < (1u << 30) ? 1 : 0;
    }
    EXPECT_NEAR(low, DRAWS / 3, 900);
}

} // namespace
