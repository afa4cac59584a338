#include "state_checks.hpp"

#include "pools.hpp"

namespace state_checks {

using gridtake::BOARD_SIZE;
using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::GameState;
using gridtake::Grid;

namespace {

std::string at(uint8_t row, uint8_t col) {
    return " at row " + std::to_string(row) + ", column " + std::to_string(col);
}

bool is_number(int16_t value) {
    return value >= gridtake::NUMBER_MIN && value <= gridtake::NUMBER_MAX;
}

std::string check_marker(const GameState& state) {
    if (state.marker_row < 1 || state.marker_row > BOARD_SIZE || state.marker_col < 1 ||
        state.marker_col > BOARD_SIZE) {
        return "the marker is off the board" + at(state.marker_row, state.marker_col);
    }
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            const bool marker_here = row == state.marker_row && col == state.marker_col;
            if ((cell(state.board, row, col) == CELL_MARKER) != marker_here) {
                return "the board's marker tile and the marker disagree" + at(row, col);
            }
        }
    }
    return {};
}

// A cell only moves forward within a game: from its number to the marker to empty.
bool moved_forward(int16_t before, int16_t now) {
    if (before == CELL_EMPTY) {
        return now == CELL_EMPTY;
    }
    if (before == CELL_MARKER) {
        return now == CELL_MARKER || now == CELL_EMPTY;
    }
    return now == before || now == CELL_MARKER || now == CELL_EMPTY;
}

std::string check_cells(const GameState& state, const GameTrace& trace) {
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            const int16_t now = cell(state.board, row, col);
            const int16_t dealt = cell(trace.deal, row, col);
            if (cell(state.dealt, row, col) != dealt) {
                return "dealt differs from the deal" + at(row, col);
            }
            if (now != dealt && now != CELL_EMPTY && now != CELL_MARKER) {
                return "the board holds " + std::to_string(now) + " where " +
                       std::to_string(dealt) + " was dealt" + at(row, col);
            }
            if (!moved_forward(cell(trace.board, row, col), now)) {
                return "a cell went back from " + std::to_string(cell(trace.board, row, col)) +
                       " to " + std::to_string(now) + at(row, col);
            }
        }
    }
    return {};
}

// Every move empties the cell the marker leaves, and every number taken is scored once, so
// the empty cells count the moves and the taken cells' numbers add up to both scores.
std::string check_scores(const GameState& state, const GameTrace& trace) {
    int empty = 0;
    int taken = 0;
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            const int16_t now = cell(state.board, row, col);
            const int16_t dealt = cell(trace.deal, row, col);
            empty += now == CELL_EMPTY ? 1 : 0;
            if (!gridtake::holds_number(now) && is_number(dealt)) {
                taken += dealt;
            }
        }
    }
    const int scores = state.player_points + state.machine_points;
    for (const int points : {int{state.player_points}, int{state.machine_points}}) {
        if (points < LOWEST_SCORE || points > HIGHEST_SCORE) {
            return "a score of " + std::to_string(points) + " is out of range";
        }
    }
    if (trace.counts_moves) {
        // A machine's turn that finds no number ends the game without a move.
        const bool machine_stuck = state.game_over && state.machine_to_move;
        const int moves = trace.player_moves + trace.machine_turns - (machine_stuck ? 1 : 0);
        if (moves > MOST_MOVES) {
            return std::to_string(moves) + " moves in one game";
        }
        if (empty != moves) {
            return std::to_string(empty) + " empty cells after " + std::to_string(moves) + " moves";
        }
    }
    if (scores != taken) {
        return "the scores add up to " + std::to_string(scores) + " but the numbers taken to " +
               std::to_string(taken);
    }
    return {};
}

} // namespace

void start_trace(GameTrace& trace, const Grid& deal) {
    trace.deal = deal;
    trace.board = deal;
    trace.player_moves = 0;
    trace.machine_turns = 0;
}

std::string check_game(const GameState& state, GameTrace& trace) {
    std::string fault = check_marker(state);
    if (fault.empty()) {
        fault = check_cells(state, trace);
    }
    if (fault.empty()) {
        fault = check_scores(state, trace);
    }
    trace.board = state.board;
    return fault;
}

std::string check_pools(const GameState& state, std::size_t nodes_made, std::size_t levels_made) {
    const std::size_t nodes = pools::node_count(state);
    const std::size_t levels = pools::level_count(state);
    if (nodes != nodes_made || levels != levels_made) {
        return "the pools hold " + std::to_string(nodes) + " of " + std::to_string(nodes_made) +
               " nodes and " + std::to_string(levels) + " of " + std::to_string(levels_made) +
               " levels between turns";
    }
    if (nodes > MOST_NODES || levels > MOST_LEVELS) {
        return "the pools grew to " + std::to_string(nodes) + " nodes and " +
               std::to_string(levels) + " levels";
    }
    return {};
}

std::string check_game_is_over(const GameState& state) {
    for (uint8_t i = 1; i <= BOARD_SIZE; ++i) {
        const int16_t value = state.machine_to_move ? cell(state.board, state.marker_row, i)
                                                    : cell(state.board, i, state.marker_col);
        if (gridtake::holds_number(value)) {
            return std::string("the game ended while the ") +
                   (state.machine_to_move ? "machine" : "player") + " still had a number" +
                   (state.machine_to_move ? at(state.marker_row, i) : at(i, state.marker_col));
        }
    }
    return {};
}

} // namespace state_checks
