#include "game/search_pools.hpp"

#include <new>

#include "console/console.hpp"

namespace gridtake {

SearchNode* take_node(GameState& state) {
    SearchNode* node = state.node_pool;
    if (node == nullptr) {
        node = new (std::nothrow) SearchNode{};
        if (node == nullptr) {
            console::fatal_error("out of memory for the machine's search");
        }
        return node;
    }
    state.node_pool = node->next;
    node->next = nullptr;
    return node;
}

SearchLevel* take_level(GameState& state) {
    SearchLevel* level = state.level_pool;
    if (level == nullptr) {
        level = new (std::nothrow) SearchLevel{};
        if (level == nullptr) {
            console::fatal_error("out of memory for the machine's search");
        }
        return level;
    }
    state.level_pool = level->parent;
    level->parent = nullptr;
    return level;
}

void return_node(GameState& state, SearchNode* node) {
    node->next = state.node_pool;
    state.node_pool = node;
}

void return_level(GameState& state, SearchLevel* level) {
    level->parent = state.level_pool;
    state.level_pool = level;
}

} // namespace gridtake
