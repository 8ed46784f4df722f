#include "model/random.h"

#include <cstdlib>

namespace vorn {

namespace {
constexpr std::uint64_t kMultiplier = (std::uint64_t{0x15A} << 32) | 0x4E35;
}  // namespace

void Random::seedRandom(std::uint32_t seed) { state_ = static_cast<std::uint32_t>(seed * 22695477u + 1u); }

int Random::nextRandom() {
  state_ = state_ * kMultiplier + 1;
  return static_cast<int>((state_ >> 32) & 0x7FFFFFFFu);
}

int Random::randomBelow(int n) {
  if (n == 0) return 0;
  const long long range = std::llabs(static_cast<long long>(n));
  return static_cast<int>(nextRandom() % range);
}

}  // namespace vorn
