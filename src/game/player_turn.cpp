#include "game/player_turn.hpp"

#include "console/console.hpp"
#include "game/messages.hpp"

namespace gridtake {

namespace {

constexpr uint8_t QUIT_KEY = 'q';

// The row that a key chooses, or 0 when it chooses none. The keys 7 to 9 name rows the board
// does not have, so they are refused like every other key rather than read past the grid.
uint8_t row_of_key(uint8_t code) {
    if (code >= '1' && code < '1' + BOARD_SIZE) {
        return static_cast<uint8_t>(code - '0');
    }
    return 0;
}

} // namespace

void read_player_move(GameState& state) {
    bool moved = false;
    while (!moved) {
        const uint8_t code = console::read_key();
        if (code == QUIT_KEY) {
            state.quit_requested = true;
        } else if (const uint8_t row = row_of_key(code); row != 0) {
            moved = apply_player_choice(state, row);
        } else {
            say("Push Buttons 1 - 9.");
        }
    }
}

bool apply_player_choice(GameState& state, uint8_t row) {
    const uint8_t col = state.marker_col;
    const int16_t value = cell(state.board, row, col);
    if (value == CELL_EMPTY) {
        say("You Cant Selecet the Empty!");
        return false;
    }
    if (value == CELL_MARKER) {
        say("You Cant Select the ####!");
        return false;
    }
    state.player_points = static_cast<int16_t>(state.player_points + value);
    cell(state.board, state.marker_row, col) = CELL_EMPTY;
    state.marker_row = row;
    cell(state.board, row, col) = CELL_MARKER;
    state.machine_to_move = true;
    return true;
}

} // namespace gridtake
