// The pseudo-random source of the deal. Tests link a scripted source in place of the real one.
#pragma once

#include <cstdint>

namespace gridtake {

// Restarts the sequence from the system's millisecond clock.
void reseed_random();
// The next number of the sequence, uniform in 0..n-1; n must be at least 1.
uint32_t random_below(uint32_t n);

} // namespace gridtake
