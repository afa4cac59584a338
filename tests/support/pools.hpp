// Test helpers for the machine's search pools: count the records in each free list, and give
// every pooled record back to the heap at the end of a test, so that LeakSanitizer finds
// nothing. Add support/pools.cpp to a test's SOURCES to use them.
#pragma once

#include <cstddef>

#include "game/game_state.hpp"

namespace pools {

// The most records the search ever has out at once: the root and five per ply, and a level
// for each ply.
constexpr std::size_t MOST_NODES = 16;
constexpr std::size_t MOST_LEVELS = 4;

// Records in node_pool and level_pool. A list that loops is cut off past LIST_LIMIT records,
// so a broken link fails a bound check instead of hanging the test.
constexpr std::size_t LIST_LIMIT = 10000;
std::size_t node_count(const gridtake::GameState& state);
std::size_t level_count(const gridtake::GameState& state);

// Deletes every record of both lists and leaves both lists empty.
void release(gridtake::GameState& state);

} // namespace pools
