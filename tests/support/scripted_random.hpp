// A random source for tests, linked in place of the real one: it answers every draw by a
// rule or from a queue, and records what was asked of it.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace scripted_random {

enum class Mode {
    always_zero,    // random_below(n) yields 0
    always_highest, // random_below(n) yields n - 1
    queued,         // yields the queued draws in order; an empty queue fails the test
};

struct QueueExhausted : std::runtime_error {
    QueueExhausted() : std::runtime_error("the test drew a random number that was never queued") {}
};

void reset(Mode mode);
void queue_draws(const std::vector<uint32_t>& draws);

// The numbers of one board in the grid's layout (row by row), and the marker's start (1..5).
using Numbers = std::array<std::array<int16_t, 6>, 6>;
// Queues the 38 draws of one deal that produce `numbers` with the marker at (row, col).
void queue_deal(const Numbers& numbers, uint8_t marker_row, uint8_t marker_col);

// The n of every random_below since reset, in order, and the number of reseeds.
const std::vector<uint32_t>& requests();
int reseed_count();

} // namespace scripted_random
