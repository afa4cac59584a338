// The game screen: instructions, the board and both scores, drawn whole on a cleared console.
#pragma once

#include "game/game_state.hpp"

namespace gridtake {

void draw_screen(const GameState& state);

} // namespace gridtake
