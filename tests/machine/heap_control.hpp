// The machine tests replace the nothrow operator new, which alone supplies the search
// records: it counts the blocks it hands out, remembers them, and fails on demand.
#pragma once

#include <cstddef>
#include <vector>

namespace heap_control {

// Forgets earlier blocks, and makes the `fail_at`-th nothrow allocation from now on fail
// (1 is the next one; 0 lets every allocation succeed).
void reset(std::size_t fail_at = 0);
// Blocks handed out since the last reset.
std::size_t allocations();
const std::vector<void*>& blocks();
// Gives back every block handed out since the last reset, wherever it is linked; for tests
// whose search was cut short, leaving records outside the pools.
void free_blocks();

} // namespace heap_control
