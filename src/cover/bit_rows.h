// Word-parallel bit sets over row or column indices.
//
// The cover matrix keeps every row as a bit set over the columns and every
// column as a bit set over the rows, so "which live rows cover this column",
// "does X cover every live column of R" and "how many live rows cover C" are
// a few AND/popcount operations per 64 entries instead of character loops.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

using Word = std::uint64_t;

/// \brief Number of 64-bit words that hold n bits.
inline int wordsFor(int n) { return (n + 63) / 64; }

/// A fixed-size bit set.
class BitSet {
 public:
  BitSet() = default;
  explicit BitSet(int bits) : words_(static_cast<std::size_t>(wordsFor(bits)), 0) {}

  bool test(int i) const { return (words_[static_cast<std::size_t>(i) >> 6] >> (i & 63)) & 1u; }
  void set(int i) { words_[static_cast<std::size_t>(i) >> 6] |= Word{1} << (i & 63); }
  void reset(int i) { words_[static_cast<std::size_t>(i) >> 6] &= ~(Word{1} << (i & 63)); }
  int wordCount() const { return static_cast<int>(words_.size()); }
  const Word* data() const { return words_.data(); }
  Word* data() { return words_.data(); }

 private:
  std::vector<Word> words_;
};

/// \brief Calls fn(index) for every bit set in a & b, lowest index first.
template <typename Fn>
void forEachCommonBit(const Word* a, const Word* b, int words, Fn&& fn) {
  for (int w = 0; w < words; ++w) {
    Word bits = a[w] & b[w];
    while (bits) {
      fn(w * 64 + __builtin_ctzll(bits));
      bits &= bits - 1;
    }
  }
}

/// \brief Number of bits set in a & b.
inline int countCommonBits(const Word* a, const Word* b, int words) {
  int n = 0;
  for (int w = 0; w < words; ++w) n += __builtin_popcountll(a[w] & b[w]);
  return n;
}

/// \brief True when a & b has any bit set.
inline bool anyCommonBit(const Word* a, const Word* b, int words) {
  for (int w = 0; w < words; ++w)
    if (a[w] & b[w]) return true;
  return false;
}

/// \brief True when a & b & c has any bit set.
inline bool anyCommonBit(const Word* a, const Word* b, const Word* c, int words) {
  for (int w = 0; w < words; ++w)
    if (a[w] & b[w] & c[w]) return true;
  return false;
}

/// \brief True when every bit of a & live is also set in b.
inline bool coveredWithin(const Word* a, const Word* live, const Word* b, int words) {
  for (int w = 0; w < words; ++w)
    if (a[w] & live[w] & ~b[w]) return false;
  return true;
}

}  // namespace vorn
