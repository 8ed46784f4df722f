// The pseudo-random source of a run: a 64-bit linear congruential generator
// whose draws every random choice takes, in a fixed order, so a seeded run is
// repeatable.  Each run owns one; runs on different threads never share it.
#pragma once

#include <cstdint>

namespace vorn {

class Random {
 public:
  /// \brief Sets the generator state from a seed.
  void seedRandom(std::uint32_t seed);
  /// \brief The next draw: a non-negative 31-bit integer.
  int nextRandom();
  /// \brief A draw taken modulo n; 0 without drawing when n is 0 (|n| for negative n).
  int randomBelow(int n);

 private:
  std::uint64_t state_ = 0;
};

}  // namespace vorn
