// Per-term bit sets over the outputs of a function.
//
// FC-Min asks the same questions of the source's output parts over and over:
// how many outputs of a term hold an uncovered '1' under the group's '1's,
// does a term have '0' where an implicant has '1'.  Holding each term's '1',
// '0' and '~' positions as 64-bit words turns every such question into a few
// AND/popcount operations instead of a walk over the output characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/function.h"

namespace vorn {

/// Fixed-width bit sets, one row per term (or one row alone).
class BitRows {
 public:
  BitRows() = default;
  BitRows(int rows, int bits) : words_((bits + 63) / 64), data_(static_cast<std::size_t>(rows) * words_, 0) {}

  int words() const { return words_; }
  std::uint64_t* row(int r) { return data_.data() + static_cast<std::size_t>(r) * words_; }
  const std::uint64_t* row(int r) const { return data_.data() + static_cast<std::size_t>(r) * words_; }

 private:
  int words_ = 0;
  std::vector<std::uint64_t> data_;
};

inline void setBit(std::uint64_t* row, int i) { row[i >> 6] |= std::uint64_t{1} << (i & 63); }
inline void clearBit(std::uint64_t* row, int i) { row[i >> 6] &= ~(std::uint64_t{1} << (i & 63)); }

/// \brief Bits set in a word (the build enables the popcount instruction where it exists).
inline int bitCount(std::uint64_t x) { return __builtin_popcountll(x); }

/// \brief Number of bits set in both rows.
inline int countCommon(const std::uint64_t* a, const std::uint64_t* b, int words) {
  int n = 0;
  for (int w = 0; w < words; ++w) {
    const std::uint64_t common = a[w] & b[w];
    if (common) n += bitCount(common);  // mostly empty: skip the count
  }
  return n;
}

/// \brief True when some bit is set in both rows.
inline bool anyCommon(const std::uint64_t* a, const std::uint64_t* b, int words) {
  for (int w = 0; w < words; ++w)
    if (a[w] & b[w]) return true;
  return false;
}

/// \brief Sets in `row` (cleared first) the positions of `text` that hold `c`.
inline void markChar(std::uint64_t* row, int words, const std::string& text, int n, char c) {
  for (int w = 0; w < words; ++w) row[w] = 0;
  for (int j = 0; j < n && j < static_cast<int>(text.size()); ++j)
    if (text[j] == c) setBit(row, j);
}

/// The terms of a function in list order with their outputs as bit sets.
struct OutputMasks {
  std::vector<const TPfnct*> terms;
  BitRows ones, zeros, tildes;
  /// The positions of the terms holding some '0', in list order: only they can contradict an
  /// implicant's '1's, and a source given mostly as on-set has few of them.
  std::vector<int> withZero;
};

/// \brief Position of the `nth` set bit (from 0) of a row of `words` words; the row must hold more than `nth`.
inline int nthSetBit(const std::uint64_t* row, int words, int nth) {
  for (int w = 0; w < words; ++w) {
    const int here = bitCount(row[w]);
    if (nth >= here) {
      nth -= here;
      continue;
    }
    std::uint64_t bits = row[w];
    for (; nth > 0; --nth) bits &= bits - 1;
    return w * 64 + __builtin_ctzll(bits);
  }
  return -1;
}

/// \brief Indexes the output parts of f's terms; a missing output character counts as '~'.
OutputMasks indexOutputs(const TBoolFnct& f);

}  // namespace vorn
