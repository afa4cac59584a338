#include "game/game_state.hpp"

#include "game/random.hpp"

namespace gridtake {

namespace {

void fill(Grid& grid, int16_t value) {
    for (auto& row : grid) {
        row.fill(value);
    }
}

int16_t draw_number() {
    constexpr uint32_t NUMBER_COUNT = NUMBER_MAX - NUMBER_MIN + 1;
    return static_cast<int16_t>(static_cast<int32_t>(random_below(NUMBER_COUNT)) + NUMBER_MIN);
}

// The marker never starts in the last row or column, so both of its lines hold five numbers.
uint8_t draw_start_line() {
    return static_cast<uint8_t>(random_below(BOARD_SIZE - 1) + 1);
}

} // namespace

void reset_run_state(GameState& state) {
    state.machine_to_move = false;
    state.game_over = false;
    state.search_depth_limit = SEARCH_DEPTH_LIMIT;
    state.level_pool = nullptr;
    state.node_pool = nullptr;
    fill(state.dealt, CELL_EMPTY);
    fill(state.board, CELL_EMPTY);
}

void start_new_game(GameState& state) {
    state.game_over = false;
    fill(state.board, CELL_EMPTY);
    state.machine_points = 0;
    state.player_points = 0;
    deal_board(state);
}

void deal_board(GameState& state) {
    reseed_random();
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            const int16_t number = draw_number();
            cell(state.board, row, col) = number;
            cell(state.dealt, row, col) = number;
        }
    }
    state.marker_row = draw_start_line();
    state.marker_col = draw_start_line();
    cell(state.board, state.marker_row, state.marker_col) = CELL_MARKER;
    cell(state.dealt, state.marker_row, state.marker_col) = CELL_MARKER;
}

} // namespace gridtake
