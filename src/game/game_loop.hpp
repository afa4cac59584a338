// The loop that plays game after game until the user quits.
#pragma once

#include "game/game_state.hpp"

namespace gridtake {

void run_game_loop(GameState& state);
// One game's turns, from a freshly drawn board until the game is over or the user quits.
void play_turns(GameState& state);
// The result line under the final screen, then one key, which is not examined.
void announce_result(const GameState& state);
// Whether the marker's column still holds a number.
bool player_has_move(const GameState& state);

} // namespace gridtake
