// Positions for the machine's turn, and a check of everything a turn may and may not change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.hpp"

namespace positions {

struct Placed {
    uint8_t row;
    uint8_t col;
    int16_t number;
};

// What dealt holds under the cells that are empty on the board, as if taken earlier: a search
// that reads dealt where it should read the board sees numbers there.
constexpr int16_t TAKEN_EARLIER = 13;

// Sets up a position with the machine to move, the marker at (row, col), the given scores and
// only the given numbers on the board. The search pools are left as they are.
void set_position(gridtake::GameState& state, uint8_t row, uint8_t col, int16_t machine_points,
                  int16_t player_points, const std::vector<Placed>& numbers);

// The board, marker and scores as text, for failure messages.
std::string describe(const gridtake::GameState& state);

// What is wrong with `after`, the state after one machine turn from `before` that should have
// taken `column` of the marker's row (0: no move at all); empty when nothing is. Also checks
// that every record is back in its pool (the records in the pools are all the heap_control
// allocations since its last reset) and that the pools stay within 16 nodes and 4 levels.
std::string turn_problem(const gridtake::GameState& before, const gridtake::GameState& after,
                         uint8_t column);

} // namespace positions
