// The machine's look-ahead over plies 2 to 4, as operations on the live board and on one
// record of the turn. Ply 1 is the position at the start of the turn; even plies are the
// machine's moves along the marker's row, odd plies the player's along the marker's column.
#pragma once

#include <cstdint>

#include "game/game_state.hpp"
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

bool is_even_ply(const GameState& state);
// The player's plies move along the marker's column, the machine's along its row.
bool ply_moves_along_column(const GameState& state);

// A move of the ply search_depth to `coordinate` of its line: the marker's cell empties and
// the marker stands on the new cell. Scores are not touched; node values carry them.
void apply_search_move(GameState& state, uint8_t coordinate);
// Undoes a move of the ply search_depth: the dealt number comes back under the marker, and the
// marker returns to `coordinate`, where it stood along the same line before the move.
void take_back_move(GameState& state, uint8_t coordinate);

// Makes the nodes of the next ply below top_level->current and plays the first of them; with
// no number on that ply's line, multiplies the current node's value by ten instead.
void expand_node(GameState& state, TurnSearch& turn);
// Folds top_level->current into its level's best and gives the node back.
void fold_current(GameState& state, TurnSearch& turn);
// Hands the best of top_level to the node above, removes the level, folds that node and takes
// its move back. Does nothing at ply 1.
void close_level(GameState& state, TurnSearch& turn);
// Backs up after the leaf ply, after an expansion that found no number, or out of exhausted
// levels, and plays the next node to expand.
void advance_search(GameState& state, TurnSearch& turn);

} // namespace gridtake
