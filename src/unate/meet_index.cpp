#include "unate/meet_index.h"

#include <algorithm>

#include "unate/cofactor.h"

namespace vorn {

namespace {
// Above this many column words (8 bytes each) the index is not worth its memory.
constexpr std::size_t kMaxColumnWords = std::size_t{1} << 22;
}  // namespace

MeetIndex::MeetIndex(const CubeList& cubes) : count_(cubes.size()) {
  const std::size_t inputs = static_cast<std::size_t>(cubes.inputs());
  blocks_ = (static_cast<std::size_t>(count_) + 63) / 64;
  if (count_ == 0 || 2 * inputs * blocks_ > kMaxColumnWords) return;
  indexed_ = true;
  zeroAt_.assign(inputs * blocks_, 0);
  oneAt_.assign(inputs * blocks_, 0);
  used_.assign(2 * inputs, 0);
  const int words = cubes.words();
  for (int k = 0; k < count_; ++k) {
    const std::uint64_t* c = cubes.cube(k);
    const std::uint64_t bit = std::uint64_t{1} << (k & 63);
    const std::size_t block = static_cast<std::size_t>(k >> 6);
    for (int w = 0; w < words; ++w) {
      for (std::uint64_t b = c[w]; b; b &= b - 1) {
        const std::size_t i = static_cast<std::size_t>(w) * 64 + static_cast<std::size_t>(__builtin_ctzll(b));
        zeroAt_[i * blocks_ + block] |= bit;
        used_[2 * i] = 1;
      }
      for (std::uint64_t b = c[words + w]; b; b &= b - 1) {
        const std::size_t i = static_cast<std::size_t>(w) * 64 + static_cast<std::size_t>(__builtin_ctzll(b));
        oneAt_[i * blocks_ + block] |= bit;
        used_[2 * i + 1] = 1;
      }
    }
  }
}

void MeetIndex::meeting(const CubeList& cubes, const std::uint64_t* p, std::vector<int>& out) const {
  out.clear();
  const int words = cubes.words();
  if (!indexed_ || cubes.size() != count_) {
    for (int k = 0; k < cubes.size(); ++k)
      if (packedMeet(cubes.cube(k), p, words)) out.push_back(k);
    return;
  }
  std::vector<std::uint64_t> blocked(blocks_, 0);
  auto block = [&](const std::vector<std::uint64_t>& column, std::size_t i) {
    const std::uint64_t* col = column.data() + i * blocks_;
    for (std::size_t b = 0; b < blocks_; ++b) blocked[b] |= col[b];
  };
  for (int w = 0; w < words; ++w) {
    // A 1 in p is blocked by cubes holding 0 there, a 0 by cubes holding 1.
    for (std::uint64_t b = p[words + w]; b; b &= b - 1) {
      const std::size_t i = static_cast<std::size_t>(w) * 64 + static_cast<std::size_t>(__builtin_ctzll(b));
      if (used_[2 * i]) block(zeroAt_, i);
    }
    for (std::uint64_t b = p[w]; b; b &= b - 1) {
      const std::size_t i = static_cast<std::size_t>(w) * 64 + static_cast<std::size_t>(__builtin_ctzll(b));
      if (used_[2 * i + 1]) block(oneAt_, i);
    }
  }
  for (std::size_t b = 0; b < blocks_; ++b) {
    std::uint64_t free = ~blocked[b];
    if (b + 1 == blocks_ && (count_ & 63)) free &= (std::uint64_t{1} << (count_ & 63)) - 1;
    for (; free; free &= free - 1) out.push_back(static_cast<int>(b * 64) + __builtin_ctzll(free));
  }
}

}  // namespace vorn
