// The two free lists of search records in GameState: records are taken from and given back
// to them, and come from the heap only when a list is empty. They are never freed. The list
// operations are inline because the search runs them for every node.
#pragma once

#include "game/game_state.hpp"
#include "game/search_records.hpp"

namespace gridtake {

// A fresh record from the heap, its link null; a heap that cannot supply one ends the program
// with a fatal report.
SearchNode* allocate_node();
SearchLevel* allocate_level();

// Each hands out a record whose link (next or parent) is null; the caller sets the rest.
inline SearchNode* take_node(GameState& state) {
    SearchNode* const node = state.node_pool;
    if (node == nullptr) {
        return allocate_node();
    }
    state.node_pool = node->next;
    node->next = nullptr;
    return node;
}

inline SearchLevel* take_level(GameState& state) {
    SearchLevel* const level = state.level_pool;
    if (level == nullptr) {
        return allocate_level();
    }
    state.level_pool = level->parent;
    level->parent = nullptr;
    return level;
}

// Put a record back at the head of its list.
inline void return_node(GameState& state, SearchNode* node) {
    node->next = state.node_pool;
    state.node_pool = node;
}

inline void return_level(GameState& state, SearchLevel* level) {
    level->parent = state.level_pool;
    state.level_pool = level;
}

} // namespace gridtake
