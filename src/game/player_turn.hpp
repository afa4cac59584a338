// The player's move: a row of the marker's column, chosen by its number key.
#pragma once

#include <cstdint>

#include "game/game_state.hpp"

namespace gridtake {

// Reads keys until a valid move has been made; "q" on the way records a request to quit.
void read_player_move(GameState& state);
// Takes the number in `row` of the marker's column, or refuses the cell with a message.
bool apply_player_choice(GameState& state, uint8_t row);

} // namespace gridtake
