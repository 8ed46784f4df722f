#include "model/random.h"

#include <cstdlib>

namespace vorn {

namespace {
thread_local std::uint64_t state = 0;
constexpr std::uint64_t kMultiplier = (std::uint64_t{0x15A} << 32) | 0x4E35;
}  // namespace

void seedRandom(std::uint32_t seed) { state = static_cast<std::uint32_t>(seed * 22695477u + 1u); }

int nextRandom() {
  state = state * kMultiplier + 1;
  return static_cast<int>((state >> 32) & 0x7FFFFFFFu);
}

int randomBelow(int n) {
  if (n == 0) return 0;
  const long long range = std::llabs(static_cast<long long>(n));
  return static_cast<int>(nextRandom() % range);
}

}  // namespace vorn
