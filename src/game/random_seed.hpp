// The real generator's seed, apart from the clock, so that its contract can be tested.
#pragma once

#include <cstdint>

namespace gridtake {

void seed_random(uint32_t seed);

} // namespace gridtake
