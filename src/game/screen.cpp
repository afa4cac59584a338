#include "game/screen.hpp"

#include "console/console.hpp"

namespace gridtake {

namespace {

constexpr int32_t CELL_WIDTH = 6;
constexpr int32_t MARGIN_WIDTH = 7; // up to and including the board's left border
constexpr int32_t ROW_NUMBER_WIDTH = 5;

void draw_instructions() {
    console::write_text("Take a number from a row, from the column where the #### tile is.", 0);
    console::end_line();
    console::write_text("Press the number keys 1-", 0);
    console::write_int(BOARD_SIZE, 0);
    console::write_text(" to select a row. The machine will then select a number from somewhere",
                        0);
    console::end_line();
    console::write_text("from column.Push q to Quit the game", 0);
    console::end_line();
}

void draw_header() {
    console::write_char(' ', MARGIN_WIDTH);
    for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
        console::write_int(col, CELL_WIDTH);
    }
    console::end_line();
    console::write_char(' ', MARGIN_WIDTH);
    for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
        console::write_text("______", 0);
    }
    console::end_line();
}

void draw_cell(int16_t value) {
    if (value == CELL_EMPTY) {
        console::write_char(' ', CELL_WIDTH);
    } else if (value == CELL_MARKER) {
        console::write_text("####", CELL_WIDTH);
    } else {
        console::write_int(value, CELL_WIDTH);
    }
}

void draw_rows(const Grid& board) {
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        console::write_int(row, ROW_NUMBER_WIDTH);
        console::write_char('!', 2);
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            draw_cell(cell(board, row, col));
        }
        console::end_line();
        console::write_char('!', MARGIN_WIDTH);
        console::end_line();
    }
}

void draw_scores(const GameState& state) {
    console::write_text("Machines Point: ", 0);
    console::write_int(state.machine_points, 0);
    console::write_text(" Players Point: ", 0);
    console::write_int(state.player_points, 0);
    console::end_line();
}

} // namespace

void draw_screen(const GameState& state) {
    console::clear_screen();
    draw_instructions();
    draw_header();
    draw_rows(state.board);
    draw_scores(state);
}

} // namespace gridtake
