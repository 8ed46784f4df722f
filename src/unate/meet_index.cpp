#include "unate/meet_index.h"

#include <algorithm>


namespace vorn {

namespace {
// Above this many column words (8 bytes each) the index is not worth its memory.
constexpr std::size_t kMaxColumnWords = std::size_t{1} << 22;
}  // namespace

MeetIndex::MeetIndex(const CubeList& cubes) : count_(cubes.size()) {
  const std::size_t inputs = static_cast<std::size_t>(cubes.inputs());
  blocks_ = bits::wordsFor(count_);
  if (count_ == 0 || 2 * inputs * static_cast<std::size_t>(blocks_) > kMaxColumnWords) return;
  indexed_ = true;
  zeroAt_ = WordRows(cubes.inputs(), blocks_);
  oneAt_ = WordRows(cubes.inputs(), blocks_);
  used_.assign(2 * inputs, 0);
  const int words = cubes.words();
  for (int k = 0; k < count_; ++k) {
    const Word* c = cubes.cube(k);
    forEachLiteral(c, words, [&](int i) {
      const bool one = literalIsOne(c, words, i);
      bits::setBit((one ? oneAt_ : zeroAt_).row(i), k);
      used_[2 * static_cast<std::size_t>(i) + one] = 1;
    });
  }
}

void MeetIndex::meeting(const CubeList& cubes, const Word* p, std::vector<int>& out) const {
  out.clear();
  const int words = cubes.words();
  if (!indexed_ || cubes.size() != count_) {
    for (int k = 0; k < cubes.size(); ++k)
      if (cubesMeet(cubes.cube(k), p, words)) out.push_back(k);
    return;
  }
  std::vector<Word> blocked(static_cast<std::size_t>(blocks_), 0);
  forEachLiteral(p, words, [&](int i) {
    // A 1 in p is blocked by cubes holding 0 there, a 0 by cubes holding 1.
    const bool one = literalIsOne(p, words, i);
    if (!used_[2 * static_cast<std::size_t>(i) + !one]) return;
    const Word* column = (one ? zeroAt_ : oneAt_).row(i);
    bits::assignWords(blocked.data(), blocks_, [&](int b) { return blocked[b] | column[b]; });
  });
  const Word lastWord = count_ & 63 ? bits::bitOf(count_) - 1 : ~Word{0};
  bits::forEachWordBit(
      blocks_, [&](int b) { return ~blocked[b] & (b + 1 == blocks_ ? lastWord : ~Word{0}); },
      [&](int k) { out.push_back(k); });
}

}  // namespace vorn
