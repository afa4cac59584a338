#include "game/machine_turn.hpp"

#include "console/console.hpp"
#include "game/machine_search.hpp"
#include "game/search_pools.hpp"

namespace gridtake {

namespace {

void search(GameState& state, TurnSearch& turn) {
    while (state.search_depth > 1) {
        while (turn.pending_node != nullptr && state.search_depth < state.search_depth_limit) {
            expand_node(state, turn);
        }
        advance_search(state, turn);
    }
}

} // namespace

void machine_turn(GameState& state) {
    console::write_text("Wait a minute. Im thinking.", 0);
    state.search_depth = 1;
    TurnSearch turn;
    turn.start_col = state.marker_col;

    SearchLevel* const root_level = take_level(state);
    SearchNode* const root = take_node(state);
    root->value = static_cast<int16_t>(state.machine_points - state.player_points);
    root->move = state.marker_row;
    root_level->current = root;
    root_level->best = MINIMISING_START;
    turn.top_level = root_level;

    expand_node(state, turn);
    if (turn.pending_node == nullptr) {
        state.game_over = true;
        return_node(state, root);
        return_level(state, root_level);
        return;
    }
    if (turn.pending_node->next == nullptr) {
        // A lone number is taken whatever its worth; expand_node has already moved onto it.
        turn.best_move = turn.pending_node->move;
        return_level(state, root_level);
        return_level(state, turn.top_level);
        return_node(state, root);
        return_node(state, turn.pending_node);
    } else {
        // Every node is folded and given back, and the board and marker are as they were.
        search(state, turn);
        return_level(state, root_level);
    }

    state.search_depth = 0;
    apply_search_move(state, turn.best_move);
    state.machine_points = static_cast<int16_t>(
        state.machine_points + cell(state.dealt, state.marker_row, turn.best_move));
    state.machine_to_move = false;
}

} // namespace gridtake
