#include "pools.hpp"

#include "game/search_records.hpp"

namespace pools {

std::size_t node_count(const gridtake::GameState& state) {
    std::size_t count = 0;
    for (const gridtake::SearchNode* node = state.node_pool; node != nullptr && count < LIST_LIMIT;
         node = node->next) {
        ++count;
    }
    return count;
}

std::size_t level_count(const gridtake::GameState& state) {
    std::size_t count = 0;
    for (const gridtake::SearchLevel* level = state.level_pool;
         level != nullptr && count < LIST_LIMIT; level = level->parent) {
        ++count;
    }
    return count;
}

void release(gridtake::GameState& state) {
    while (state.node_pool != nullptr) {
        gridtake::SearchNode* const node = state.node_pool;
        state.node_pool = node->next;
        delete node;
    }
    while (state.level_pool != nullptr) {
        gridtake::SearchLevel* const level = state.level_pool;
        state.level_pool = level->parent;
        delete level;
    }
}

} // namespace pools
