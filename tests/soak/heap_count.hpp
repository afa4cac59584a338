// Counts the heap as the soak's process uses it. This file replaces operator new and delete
// for the whole program (every form but the over-aligned ones, which nothing here uses), so
// that a count covers the game, its test seams and the libraries alike.
#pragma once

#include <cstddef>

namespace heap_count {

struct Figures {
    std::size_t allocations = 0;   // blocks handed out since the process began
    std::size_t live_blocks = 0;   // blocks not yet given back
    std::size_t live_bytes = 0;    // their usable size
    std::size_t record_nodes = 0;  // nothrow blocks of a SearchNode's size: the search nodes
    std::size_t record_levels = 0; // and of a SearchLevel's size: the search levels
};

Figures now();

} // namespace heap_count
