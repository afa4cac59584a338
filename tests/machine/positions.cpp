#include "positions.hpp"

#include <sstream>

#include "heap_control.hpp"
#include "pools.hpp"

namespace positions {

using gridtake::BOARD_SIZE;
using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::GameState;

namespace {

std::string board_problem(const GameState& before, const GameState& after, uint8_t column) {
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            int16_t expected = cell(before.board, row, col);
            if (column != 0 && row == before.marker_row) {
                if (col == before.marker_col) {
                    expected = CELL_EMPTY;
                } else if (col == column) {
                    expected = CELL_MARKER;
                }
            }
            if (cell(after.board, row, col) != expected) {
                std::ostringstream out;
                out << "board cell (" << int{row} << "," << int{col} << ") is "
                    << cell(after.board, row, col) << ", expected " << expected;
                return out.str();
            }
        }
    }
    return after.dealt == before.dealt ? "" : "dealt changed";
}

std::string pool_problem(const GameState& after) {
    const std::size_t nodes = pools::node_count(after);
    const std::size_t levels = pools::level_count(after);
    std::ostringstream out;
    if (nodes > pools::MOST_NODES || levels > pools::MOST_LEVELS) {
        out << "pools hold " << nodes << " nodes and " << levels << " levels";
    } else if (nodes + levels != heap_control::allocations()) {
        out << (heap_control::allocations() - nodes - levels) << " records are not in a pool";
    }
    return out.str();
}

} // namespace

void set_position(GameState& state, uint8_t row, uint8_t col, int16_t machine_points,
                  int16_t player_points, const std::vector<Placed>& numbers) {
    for (auto& line : state.board) {
        line.fill(CELL_EMPTY);
    }
    for (auto& line : state.dealt) {
        line.fill(TAKEN_EARLIER);
    }
    for (const Placed& placed : numbers) {
        cell(state.board, placed.row, placed.col) = placed.number;
        cell(state.dealt, placed.row, placed.col) = placed.number;
    }
    cell(state.board, row, col) = CELL_MARKER;
    state.marker_row = row;
    state.marker_col = col;
    state.machine_points = machine_points;
    state.player_points = player_points;
    state.search_depth = 0;
    state.search_depth_limit = gridtake::SEARCH_DEPTH_LIMIT;
    state.machine_to_move = true;
    state.game_over = false;
    state.quit_requested = false;
}

std::string describe(const GameState& state) {
    std::ostringstream out;
    out << "machine " << state.machine_points << ", player " << state.player_points << ", marker ("
        << int{state.marker_row} << "," << int{state.marker_col} << ")\n";
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            const int16_t value = cell(state.board, row, col);
            out.width(5);
            if (value == CELL_EMPTY) {
                out << '.';
            } else if (value == CELL_MARKER) {
                out << '#';
            } else {
                out << value;
            }
        }
        out << '\n';
    }
    return out.str();
}

std::string turn_problem(const GameState& before, const GameState& after, uint8_t column) {
    std::ostringstream out;
    const int16_t taken = column == 0 ? 0 : cell(before.dealt, before.marker_row, column);
    if (column == 0 && !(after.game_over && after.machine_to_move)) {
        out << "no move, yet game_over " << after.game_over << " and machine_to_move "
            << after.machine_to_move;
    } else if (column != 0 && (after.game_over != before.game_over || after.machine_to_move ||
                               after.search_depth != 0)) {
        out << "moved, yet game_over " << after.game_over << ", machine_to_move "
            << after.machine_to_move << ", search_depth " << after.search_depth;
    } else if (after.marker_row != before.marker_row ||
               after.marker_col != (column == 0 ? before.marker_col : column)) {
        out << "marker at (" << int{after.marker_row} << "," << int{after.marker_col}
            << "), expected column " << int{column};
    } else if (after.machine_points != before.machine_points + taken ||
               after.player_points != before.player_points) {
        out << "scores " << after.machine_points << " and " << after.player_points
            << ", expected machine " << before.machine_points + taken;
    } else if (after.quit_requested != before.quit_requested ||
               after.search_depth_limit != before.search_depth_limit) {
        out << "a field the turn does not own changed";
    } else {
        out << board_problem(before, after, column) << pool_problem(after);
    }
    return out.str();
}

} // namespace positions
