// The loop that plays game after game until the user quits.
#pragma once

#include "game/game_state.hpp"

namespace gridtake {

void run_game_loop(GameState& state);
// Whether the marker's column still holds a number.
bool player_has_move(const GameState& state);

} // namespace gridtake
