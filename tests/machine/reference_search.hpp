// A plain recursive valuation of the machine's choice, independent of the game's search: it
// plays every line three moves deep on copies of the board. The machine tests check the
// game's choice against it, and the benchmark compares their speed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "game/game_state.hpp"

namespace reference_search {

struct Evaluation {
    uint8_t column = 0; // the column to take; 0 when the marker's row holds no number
    // The value of each column (index 1..6) of the marker's row holding a number, computed
    // only when there are two or more of them.
    std::array<std::optional<int>, 7> values{};
    int candidates = 0;
    int player_stuck = 0;  // lines valued tenfold because the player had no number
    int machine_stuck = 0; // lines valued tenfold because the machine had no number
};

// The machine's choice in `state`, which is read only.
Evaluation evaluate(const gridtake::GameState& state);

} // namespace reference_search
