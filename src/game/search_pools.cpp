#include "game/search_pools.hpp"

#include <new>

#include "console/console.hpp"

namespace gridtake {

namespace {

constexpr std::string_view NO_MEMORY = "out of memory for the machine's search";

} // namespace

SearchNode* allocate_node() {
    SearchNode* const node = new (std::nothrow) SearchNode{};
    if (node == nullptr) {
        console::fatal_error(NO_MEMORY);
    }
    return node;
}

SearchLevel* allocate_level() {
    SearchLevel* const level = new (std::nothrow) SearchLevel{};
    if (level == nullptr) {
        console::fatal_error(NO_MEMORY);
    }
    return level;
}

} // namespace gridtake
