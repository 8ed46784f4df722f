// The one pseudo-random source of the system: a 64-bit linear congruential
// generator whose draws every random choice takes, in a fixed order, so a
// seeded run is repeatable.
#pragma once

#include <cstdint>

namespace vorn {

/// \brief Sets the generator state from a seed.
void seedRandom(std::uint32_t seed);
/// \brief The next draw: a non-negative 31-bit integer.
int nextRandom();
/// \brief A draw taken modulo n; 0 without drawing when n is 0 (|n| for negative n).
int randomBelow(int n);

}  // namespace vorn
