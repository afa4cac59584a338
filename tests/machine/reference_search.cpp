#include "reference_search.hpp"

#include <algorithm>

namespace reference_search {

using gridtake::BOARD_SIZE;
using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::Grid;

namespace {

struct Position {
    Grid board;
    uint8_t row;
    uint8_t col;
    int difference; // machine minus player
};

// The position after the side to move takes the number at (row, col).
Position take(Position position, uint8_t row, uint8_t col, bool machine) {
    const int number = cell(position.board, row, col);
    position.difference += machine ? number : -number;
    cell(position.board, position.row, position.col) = CELL_EMPTY;
    cell(position.board, row, col) = CELL_MARKER;
    position.row = row;
    position.col = col;
    return position;
}

// The value of `position` with `moves` moves still to look at, the machine moving along the
// marker's row and the player along its column. A side left without a number ends the game,
// which counts ten times the difference.
int value(const Position& position, int moves, bool machine, Evaluation& evaluation) {
    if (moves == 0) {
        return position.difference;
    }
    std::optional<int> best;
    for (uint8_t i = 1; i <= BOARD_SIZE; ++i) {
        const uint8_t row = machine ? position.row : i;
        const uint8_t col = machine ? i : position.col;
        if (!gridtake::holds_number(cell(position.board, row, col))) {
            continue;
        }
        const int line = value(take(position, row, col, machine), moves - 1, !machine, evaluation);
        best = !best ? line : machine ? std::max(*best, line) : std::min(*best, line);
    }
    if (best) {
        return *best;
    }
    ++(machine ? evaluation.machine_stuck : evaluation.player_stuck);
    return 10 * position.difference;
}

} // namespace

Evaluation evaluate(const gridtake::GameState& state) {
    Evaluation evaluation;
    const Position start{state.board, state.marker_row, state.marker_col,
                         state.machine_points - state.player_points};
    for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
        if (gridtake::holds_number(cell(state.board, start.row, col))) {
            ++evaluation.candidates;
            evaluation.column = evaluation.column == 0 ? col : evaluation.column;
        }
    }
    if (evaluation.candidates < 2) {
        return evaluation;
    }
    std::optional<int> best;
    for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
        if (!gridtake::holds_number(cell(state.board, start.row, col))) {
            continue;
        }
        const int line = value(take(start, start.row, col, true), 2, false, evaluation);
        evaluation.values[col] = line;
        if (!best || line > *best) {
            best = line;
            evaluation.column = col;
        }
    }
    return evaluation;
}

} // namespace reference_search
