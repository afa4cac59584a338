#include "game/machine_search.hpp"

#include "game/search_pools.hpp"

namespace gridtake {

namespace {

constexpr int16_t NO_MOVE_FACTOR = 10;

// Where the marker stood along the line of top_level's ply before that ply's move: two plies
// up, or the start column for the machine's first move.
uint8_t coordinate_before_move(const GameState& state, const TurnSearch& turn) {
    if (state.search_depth == 2) {
        return turn.start_col;
    }
    return turn.top_level->parent->parent->current->move;
}

} // namespace

void expand_node(GameState& state, TurnSearch& turn) {
    turn.pending_node = nullptr;
    state.search_depth = static_cast<int16_t>(state.search_depth + 1);
    SearchNode* const parent = turn.top_level->current;
    const bool machine_moves = is_even_ply(state);
    // The machine scores what it takes, the player's numbers count against it.
    const int16_t sign = machine_moves ? 1 : -1;
    const int16_t parent_value = parent->value;
    const uint8_t row = state.marker_row;
    const uint8_t col = state.marker_col;
    SearchNode** link = &turn.pending_node;
    for (uint8_t i = 1; i <= BOARD_SIZE; ++i) {
        const int16_t number =
            machine_moves ? cell(state.board, row, i) : cell(state.board, i, col);
        if (!holds_number(number)) {
            continue;
        }
        SearchNode* const node = take_node(state);
        node->value = static_cast<int16_t>(parent_value + sign * number);
        node->move = i;
        *link = node;
        link = &node->next;
    }
    if (turn.pending_node == nullptr) {
        // The side to move here has no number: the game would end, and the position counts
        // tenfold.
        state.search_depth = static_cast<int16_t>(state.search_depth - 1);
        parent->value = static_cast<int16_t>(NO_MOVE_FACTOR * parent->value);
        return;
    }
    SearchLevel* const level = take_level(state);
    level->parent = turn.top_level;
    level->current = turn.pending_node;
    level->best = machine_moves ? MAXIMISING_START : MINIMISING_START;
    apply_search_move(state, turn.pending_node->move);
    turn.top_level = level;
}

void close_level(GameState& state, TurnSearch& turn) {
    if (state.search_depth <= 1) {
        return;
    }
    SearchLevel* const closed = turn.top_level;
    closed->parent->current->value = closed->best;
    turn.top_level = closed->parent;
    return_level(state, closed);
    state.search_depth = static_cast<int16_t>(state.search_depth - 1);
    fold_current(state, turn);
    if (state.search_depth > 1) {
        take_back_move(state, coordinate_before_move(state, turn));
    }
}

void advance_search(GameState& state, TurnSearch& turn) {
    if (state.search_depth == state.search_depth_limit) {
        // Leaves are valued from their numbers alone; only the first one was played.
        while (turn.top_level->current != nullptr) {
            fold_current(state, turn);
        }
        take_back_move(state, coordinate_before_move(state, turn));
        close_level(state, turn);
        if (turn.top_level->current != nullptr) {
            apply_search_move(state, turn.top_level->current->move);
        }
        turn.pending_node = turn.top_level->current;
        return;
    }
    if (turn.top_level->current == nullptr) {
        while (turn.top_level->current == nullptr && state.search_depth > 1) {
            close_level(state, turn);
        }
    } else {
        // The last expansion found no number below the current node and multiplied its value.
        fold_current(state, turn);
        take_back_move(state, coordinate_before_move(state, turn));
    }
    turn.pending_node = turn.top_level->current;
    if (state.search_depth > 1 && turn.pending_node != nullptr) {
        apply_search_move(state, turn.pending_node->move);
    }
}

} // namespace gridtake
