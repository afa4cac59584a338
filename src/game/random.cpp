// The real pseudo-random source: a Mersenne twister seeded from the monotonic millisecond clock.
#include <chrono>
#include <limits>
#include <random>

#include "game/random.hpp"
#include "game/random_seed.hpp"

namespace gridtake {

namespace {

std::mt19937 generator; // NOLINT: the run's one sequence

} // namespace

void seed_random(uint32_t seed) {
    generator.seed(seed);
}

void reseed_random() {
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
    seed_random(static_cast<uint32_t>(millis)); // truncated to 32 bits, as the clock wraps
}

uint32_t random_below(uint32_t n) {
    // Draws in the top, incomplete stretch of the 32-bit range would favour low results.
    constexpr uint64_t RANGE = uint64_t{std::numeric_limits<uint32_t>::max()} + 1;
    const uint64_t limit = RANGE - RANGE % n;
    uint64_t draw = 0;
    do {
        draw = generator();
    } while (draw >= limit);
    return static_cast<uint32_t>(draw % n);
}

} // namespace gridtake
