// The machine's look-ahead over plies 2 to 4, as operations on the live board and on one
// record of the turn. Ply 1 is the position at the start of the turn; even plies are the
// machine's moves along the marker's row, odd plies the player's along the marker's column.
#pragma once

#include <cstdint>

#include "game/game_state.hpp"
#include "game/search_pools.hpp"
#include "game/search_records.hpp"

namespace gridtake {

// Where a level's best starts: below every value at the machine's plies, above every value at
// the player's.
constexpr int16_t MAXIMISING_START = -32767;
constexpr int16_t MINIMISING_START = 32767;

// What the search operations of one machine turn share.
struct TurnSearch {
    uint8_t start_col = 0;              // marker_col at the start of the turn
    SearchLevel* top_level = nullptr;   // the level of ply search_depth; parents lead to the root
    SearchNode* pending_node = nullptr; // the node the next expansion expands, or null
    uint8_t best_move = 0;              // the column chosen so far at ply 2
};

// The small operations are inline: the search runs them for every node.

inline bool is_even_ply(const GameState& state) {
    return state.search_depth % 2 == 0;
}

// The player's plies move along the marker's column, the machine's along its row.
inline bool ply_moves_along_column(const GameState& state) {
    return !is_even_ply(state);
}

namespace detail {

// The marker goes onto `coordinate` of the current ply's line.
inline void place_marker(GameState& state, uint8_t coordinate) {
    if (ply_moves_along_column(state)) {
        state.marker_row = coordinate;
    } else {
        state.marker_col = coordinate;
    }
    cell(state.board, state.marker_row, state.marker_col) = CELL_MARKER;
}

} // namespace detail

// A move of the ply search_depth to `coordinate` of its line: the marker's cell empties and
// the marker stands on the new cell. Scores are not touched; node values carry them.
inline void apply_search_move(GameState& state, uint8_t coordinate) {
    cell(state.board, state.marker_row, state.marker_col) = CELL_EMPTY;
    detail::place_marker(state, coordinate);
}

// Undoes a move of the ply search_depth: the dealt number comes back under the marker, and the
// marker returns to `coordinate`, where it stood along the same line before the move.
inline void take_back_move(GameState& state, uint8_t coordinate) {
    cell(state.board, state.marker_row, state.marker_col) =
        cell(state.dealt, state.marker_row, state.marker_col);
    detail::place_marker(state, coordinate);
}

// Folds top_level->current into its level's best and gives the node back. Strict comparisons
// keep the lowest move among equal values.
inline void fold_current(GameState& state, TurnSearch& turn) {
    SearchLevel* const level = turn.top_level;
    SearchNode* const node = level->current;
    const int16_t value = node->value;
    if (is_even_ply(state)) {
        if (value > level->best) {
            level->best = value;
            if (state.search_depth == 2) {
                turn.best_move = node->move;
            }
        }
    } else if (value < level->best) {
        level->best = value;
    }
    level->current = node->next;
    return_node(state, node);
}

// Makes the nodes of the next ply below top_level->current and plays the first of them; with
// no number on that ply's line, multiplies the current node's value by ten instead.
void expand_node(GameState& state, TurnSearch& turn);
// Hands the best of top_level to the node above, removes the level, folds that node and takes
// its move back. Does nothing at ply 1.
void close_level(GameState& state, TurnSearch& turn);
// Backs up after the leaf ply, after an expansion that found no number, or out of exhausted
// levels, and plays the next node to expand.
void advance_search(GameState& state, TurnSearch& turn);

} // namespace gridtake
