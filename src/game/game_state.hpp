// The one state record of a run, its grids, and the operations that reset and deal it.
#pragma once

#include <array>
#include <cstdint>

namespace gridtake {

constexpr uint8_t BOARD_SIZE = 6;
// A cell whose number has been taken, and every cell before the first deal.
constexpr int16_t CELL_EMPTY = INT16_MIN;
// The cell under the marker tile.
constexpr int16_t CELL_MARKER = INT16_MAX;
// Dealt numbers lie in NUMBER_MIN..NUMBER_MAX.
constexpr int16_t NUMBER_MIN = -15;
constexpr int16_t NUMBER_MAX = 14;
constexpr int16_t SEARCH_DEPTH_LIMIT = 4;

// Rows and columns are 1-based everywhere; cells are stored row by row.
using Grid = std::array<std::array<int16_t, BOARD_SIZE>, BOARD_SIZE>;

constexpr int16_t& cell(Grid& grid, uint8_t row, uint8_t col) {
    return grid[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
}
constexpr int16_t cell(const Grid& grid, uint8_t row, uint8_t col) {
    return grid[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
}
constexpr bool holds_number(int16_t value) {
    return value != CELL_EMPTY && value != CELL_MARKER;
}

struct SearchNode;
struct SearchLevel;

struct GameState {
    bool quit_requested = false;
    SearchLevel* level_pool = nullptr; // free list of search levels, linked through parent
    SearchNode* node_pool = nullptr;   // free list of search nodes, linked through next
    int16_t machine_points = 0;
    int16_t player_points = 0;
    int16_t search_depth = 0;
    int16_t search_depth_limit = 0;
    bool machine_to_move = false;
    bool game_over = false;
    uint8_t marker_row = 0;
    uint8_t marker_col = 0;
    Grid dealt{}; // the numbers as dealt, CELL_MARKER where the marker started
    Grid board{}; // the live board
};

// Once per run, before the first game.
void reset_run_state(GameState& state);
// Before every game: clears the board and scores and deals. Leaves machine_to_move,
// quit_requested and the search pools as they are.
void start_new_game(GameState& state);
// Fills board and dealt from a freshly reseeded generator and places the marker.
void deal_board(GameState& state);

} // namespace gridtake
