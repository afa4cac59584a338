#include "scripted_random.hpp"

#include <deque>
#include <string>

#include "game/random.hpp"

namespace scripted_random {

namespace {

Mode current_mode = Mode::always_zero; // NOLINT: the one source of the test process
std::deque<uint32_t> queue;            // NOLINT
std::vector<uint32_t> asked;           // NOLINT
int reseeds = 0;                       // NOLINT

} // namespace

void reset(Mode mode) {
    current_mode = mode;
    queue.clear();
    asked.clear();
    reseeds = 0;
}

void queue_draws(const std::vector<uint32_t>& draws) {
    queue.insert(queue.end(), draws.begin(), draws.end());
}

void queue_deal(const Numbers& numbers, uint8_t marker_row, uint8_t marker_col) {
    for (const auto& line : numbers) {
        for (const int16_t number : line) {
            queue.push_back(static_cast<uint32_t>(number + 15));
        }
    }
    queue.push_back(marker_row - 1u);
    queue.push_back(marker_col - 1u);
}

const std::vector<uint32_t>& requests() {
    return asked;
}
int reseed_count() {
    return reseeds;
}

} // namespace scripted_random

namespace gridtake {

void reseed_random() {
    ++scripted_random::reseeds;
}

uint32_t random_below(uint32_t n) {
    using namespace scripted_random;
    asked.push_back(n);
    switch (current_mode) {
    case Mode::always_zero:
        return 0;
    case Mode::always_highest:
        return n - 1;
    case Mode::queued:
        break;
    }
    if (queue.empty()) {
        throw QueueExhausted();
    }
    const uint32_t draw = queue.front();
    queue.pop_front();
    if (draw >= n) {
        throw std::logic_error("queued draw " + std::to_string(draw) + " is outside 0.." +
                               std::to_string(n - 1));
    }
    return draw;
}

} // namespace gridtake
