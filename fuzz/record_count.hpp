// Counts the search records the game takes from the heap. The records, and nothing else in
// the game, come from the nothrow operator new, which this file replaces for the whole
// program; the blocks still come from the usual allocator, so the sanitizers see them.
#pragma once

#include <cstddef>

namespace record_count {

// Records allocated since the last reset.
std::size_t nodes();
std::size_t levels();
void reset();

} // namespace record_count
