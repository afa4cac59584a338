// The machine's move: a three-ply look-ahead along the marker's row.
#pragma once

#include "game/game_state.hpp"

namespace gridtake {

// Writes "Wait a minute. Im thinking." and either takes the best number of the marker's row,
// or, when the row holds none, sets game_over and leaves machine_to_move set.
void machine_turn(GameState& state);

} // namespace gridtake
