// Bit operations on runs of 64-bit words, written once and composed.
//
// Every packed structure of the minimizer (the masks of a cube, a set of
// outputs, a row or a column of the cover matrix) is a run of words, and
// every question asked of them is one pass over the words combining one word
// of each operand: "is some bit left", "how many bits", "which bits".  The
// passes are written here once, taking the per-word combination as a small
// function of the word index, so a test such as "a meets b" is spelled as the
// word it checks and the loop is never written again.  The combinations are
// inlined, so a composed test costs what the hand-written loop did.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

namespace vorn {

using Word = std::uint64_t;

/// The passes over words and the bit-set questions built from them.
namespace bits {

/// \brief Number of 64-bit words that hold n bits.
constexpr int wordsFor(int n) { return (n + 63) / 64; }
/// \brief The word holding bit i.
constexpr int wordOf(int i) { return i >> 6; }
/// \brief The mask of bit i within its word.
constexpr Word bitOf(int i) { return Word{1} << (i & 63); }

/// \brief Bits set in a word (the build enables the popcount instruction where it exists).
inline int popcount(Word x) { return __builtin_popcountll(x); }

/// \brief True when word(w) is non-zero for some w below `words`.
template <typename WordFn>
inline bool anyWord(int words, WordFn&& word) {
  for (int w = 0; w < words; ++w)
    if (word(w)) return true;
  return false;
}

/// \brief The number of bits set in word(w) over every w below `words`.
template <typename WordFn>
inline int countWords(int words, WordFn&& word) {
  int n = 0;
  for (int w = 0; w < words; ++w) n += popcount(word(w));
  return n;
}

/// \brief Calls fn(bit index) for every bit set in word(w), lowest index first.
template <typename WordFn, typename Fn>
inline void forEachWordBit(int words, WordFn&& word, Fn&& fn) {
  for (int w = 0; w < words; ++w)
    for (Word bits = word(w); bits; bits &= bits - 1) fn(w * 64 + __builtin_ctzll(bits));
}

/// \brief The lowest bit index set in some word(w), w below `words`; -1 when every word is zero.
template <typename WordFn>
inline int firstWordBit(int words, WordFn&& word) {
  for (int w = 0; w < words; ++w)
    if (const Word x = word(w)) return w * 64 + __builtin_ctzll(x);
  return -1;
}

/// \brief Calls fn(bit index) for the bits set in word(w), lowest index first, until fn returns true;
/// returns that index, or -1 when fn returned true for none.
template <typename WordFn, typename Fn>
inline int findWordBit(int words, WordFn&& word, Fn&& fn) {
  for (int w = 0; w < words; ++w)
    for (Word bits = word(w); bits; bits &= bits - 1) {
      const int i = w * 64 + __builtin_ctzll(bits);
      if (fn(i)) return i;
    }
  return -1;
}

/// \brief to[w] = word(w) for every w below `words`.
template <typename WordFn>
inline void assignWords(Word* to, int words, WordFn&& word) {
  for (int w = 0; w < words; ++w) to[w] = word(w);
}

// The bit-set questions every packed structure asks, composed from the passes above.

/// \brief True when bit i of the run is set.
inline bool testBit(const Word* a, int i) { return (a[wordOf(i)] & bitOf(i)) != 0; }
inline void setBit(Word* a, int i) { a[wordOf(i)] |= bitOf(i); }
inline void clearBit(Word* a, int i) { a[wordOf(i)] &= ~bitOf(i); }
/// \brief True when a has some bit set.
inline bool anyBit(const Word* a, int words) {
  return anyWord(words, [&](int w) { return a[w]; });
}
/// \brief An FNV-1a hash of the n words of a (for hashed sets of packed cubes).
inline std::size_t hashWords(const Word* a, std::size_t n) {
  std::size_t h = 1469598103934665603ull;
  for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<std::size_t>(a[i])) * 1099511628211ull;
  return h;
}
/// \brief Number of bits set in a.
inline int countBits(const Word* a, int words) {
  return countWords(words, [&](int w) { return a[w]; });
}
/// \brief True when a & b has some bit set.
inline bool anyCommonBit(const Word* a, const Word* b, int words) {
  return anyWord(words, [&](int w) { return a[w] & b[w]; });
}
/// \brief True when a & b & c has some bit set.
inline bool anyCommonBit(const Word* a, const Word* b, const Word* c, int words) {
  return anyWord(words, [&](int w) { return a[w] & b[w] & c[w]; });
}
/// \brief Number of bits set in a & b.
inline int countCommonBits(const Word* a, const Word* b, int words) {
  return countWords(words, [&](int w) { return a[w] & b[w]; });
}
/// \brief True when every bit of a is set in b.
inline bool isSubset(const Word* a, const Word* b, int words) {
  return !anyWord(words, [&](int w) { return a[w] & ~b[w]; });
}
/// \brief True when every bit of a & live is also set in b.
inline bool coveredWithin(const Word* a, const Word* live, const Word* b, int words) {
  return !anyWord(words, [&](int w) { return a[w] & live[w] & ~b[w]; });
}
/// \brief The lowest index set in both a and b; -1 when none is.
inline int firstCommonBit(const Word* a, const Word* b, int words) {
  return firstWordBit(words, [&](int w) { return a[w] & b[w]; });
}
/// \brief The index of the one bit set in a & b: -1 when none is, -2 when more than one is.
///
/// Looks no further than the word where a second bit shows.
inline int soleCommonBit(const Word* a, const Word* b, int words) {
  int only = -1;
  for (int w = 0; w < words; ++w)
    if (const Word x = a[w] & b[w]) {
      if (only >= 0 || (x & (x - 1))) return -2;
      only = w * 64 + __builtin_ctzll(x);
    }
  return only;
}
/// \brief The lowest index i set in both a and b for which pred(i) holds; -1 when there is none.
/// A word of b is read when the pass reaches it, so pred may clear bits of b beyond the current word.
template <typename Pred>
inline int findCommonBit(const Word* a, const Word* b, int words, Pred&& pred) {
  return findWordBit(words, [&](int w) { return a[w] & b[w]; }, pred);
}
/// \brief The index of the bit set `nth` (from 0) in a; a must hold more than `nth` bits, else -1.
inline int nthBit(const Word* a, int words, int nth) {
  for (int w = 0; w < words; ++w) {
    const int here = popcount(a[w]);
    if (nth >= here) {
      nth -= here;
      continue;
    }
    Word word = a[w];
    for (; nth > 0; --nth) word &= word - 1;
    return w * 64 + __builtin_ctzll(word);
  }
  return -1;
}
/// \brief Calls fn(index) for every bit set in a, lowest index first.
template <typename Fn>
inline void forEachBit(const Word* a, int words, Fn&& fn) {
  forEachWordBit(words, [&](int w) { return a[w]; }, fn);
}
/// \brief Calls fn(index) for every bit set in a & b, lowest index first.
template <typename Fn>
inline void forEachCommonBit(const Word* a, const Word* b, int words, Fn&& fn) {
  forEachWordBit(words, [&](int w) { return a[w] & b[w]; }, fn);
}

/// \brief Number of bits set in a & b over the `n` words whose indices `at` lists.
inline int countCommonBitsAt(const Word* a, const Word* b, const int* at, int n) {
  return countWords(n, [&](int k) { return a[at[k]] & b[at[k]]; });
}
/// \brief Keeps, of the `n` word indices `at` lists, those where a is not zero (in order); returns
/// how many are left.  Spans that only shrink are then read on their live words alone.
inline int keepLiveWords(const Word* a, int* at, int n) {
  int kept = 0;
  for (int k = 0; k < n; ++k) {
    at[kept] = at[k];
    kept += a[at[k]] != 0;
  }
  return kept;
}

/// \brief Transposes the 64 x 64 bit matrix held in the 64 words of m, in place: bit c of word r
/// goes to bit r of word c.  Six rounds of swapping ever smaller off-diagonal blocks, a few word
/// operations per word each, instead of one test per bit.
inline void transpose64(Word* m) {
  Word mask = 0x00000000FFFFFFFFull;
  for (int j = 32; j != 0; j >>= 1, mask ^= mask << j)
    for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
      const Word t = ((m[k] >> j) ^ m[k | j]) & mask;
      m[k] ^= t << j;
      m[k | j] ^= t;
    }
}

}  // namespace bits

/// A fixed-size set of bit indices: the outputs of a term, the rows or
/// columns of the cover matrix still live.
class BitSet {
 public:
  BitSet() = default;
  /// \brief An empty set over indices below `bits`.
  explicit BitSet(int size) : w_(static_cast<std::size_t>(bits::wordsFor(size)), 0) {}

  bool test(int i) const { return bits::testBit(data(), i); }
  void set(int i) { bits::setBit(data(), i); }
  void reset(int i) { bits::clearBit(data(), i); }
  /// \brief True when some index is in the set.
  bool any() const { return bits::anyBit(data(), wordCount()); }
  /// \brief Number of indices in the set.
  int count() const { return bits::countBits(data(), wordCount()); }
  /// \brief Every index of this set is in `o` (of the same size).
  bool subsetOf(const BitSet& o) const { return bits::isSubset(data(), o.data(), wordCount()); }
  /// \brief Some index is in both sets.
  bool meets(const BitSet& o) const { return bits::anyCommonBit(data(), o.data(), wordCount()); }
  /// \brief Removes the indices of `o`.
  void remove(const BitSet& o) {
    bits::assignWords(data(), wordCount(), [&](int w) { return w_[w] & ~o.w_[w]; });
  }
  /// \brief Adds the indices of `o`.
  void unite(const BitSet& o) {
    bits::assignWords(data(), wordCount(), [&](int w) { return w_[w] | o.w_[w]; });
  }
  /// \brief Calls fn(i) for every index of the set, in increasing order.
  template <typename Fn>
  void forEach(Fn&& fn) const {
    bits::forEachBit(data(), wordCount(), fn);
  }
  bool operator==(const BitSet& o) const { return w_ == o.w_; }
  bool operator!=(const BitSet& o) const { return w_ != o.w_; }

  int wordCount() const { return static_cast<int>(w_.size()); }
  const Word* data() const { return w_.data(); }
  Word* data() { return w_.data(); }

 private:
  std::vector<Word> w_;
};

/// Rows of equal width held back to back in one array: a bit matrix, or the
/// packed cubes of a list.  Appending a row never allocates per row.
class WordRows {
 public:
  WordRows() = default;
  /// \brief `rows` rows of `words` words each, all zero.
  WordRows(int rows, int words) : words_(words), rows_(rows), w_(static_cast<std::size_t>(rows) * words, 0) {}

  /// \brief Words per row.
  int words() const { return words_; }
  /// \brief Number of rows.
  int rows() const { return rows_; }
  const Word* row(int r) const { return w_.data() + static_cast<std::size_t>(r) * words_; }
  Word* row(int r) { return w_.data() + static_cast<std::size_t>(r) * words_; }

  // Rows are appended word by word: push_back's fast path is inlined, where
  // a resize or a range insert per row is an out-of-line call that costs
  // more than the row itself in the cofactor and packing loops.

  /// \brief Appends a zero row and returns it.
  Word* grow() {
    return pushWords([](int) { return Word{0}; });
  }
  /// \brief Appends a copy of the row at `from` (words() words, not inside this array).
  void push(const Word* from) {
    pushWords([from](int w) { return from[w]; });
  }
  /// \brief Appends the row whose word w is word(w) and returns it.
  template <typename WordFn>
  Word* pushWords(WordFn&& word) {
    for (int w = 0; w < words_; ++w) w_.push_back(word(w));
    return row(rows_++);
  }
  /// \brief Makes room for `rows` rows in all without moving them again.
  void reserve(int rows) { w_.reserve(static_cast<std::size_t>(rows) * words_); }
  /// \brief Makes the array `rows` rows long; rows it adds are zero.
  void resize(int rows) {
    rows_ = rows < 0 ? 0 : rows;
    w_.resize(static_cast<std::size_t>(rows_) * words_);
  }
  /// \brief Replaces the rows by copies of `count` rows back to back at `from` (not inside this array).
  void assign(const Word* from, int count) {
    rows_ = count < 0 ? 0 : count;
    w_.assign(from, from + static_cast<std::size_t>(rows_) * words_);
  }
  /// \brief Keeps the first k rows.
  void truncate(int k) {
    if (k >= rows_) return;
    rows_ = k < 0 ? 0 : k;
    w_.resize(static_cast<std::size_t>(rows_) * words_);
  }
  /// \brief Removes every row.
  void clear() { truncate(0); }
  /// \brief Removes every row and makes rows `words` words wide, keeping the memory for reuse.
  void reshape(int words) {
    words_ = words;
    rows_ = 0;
    w_.clear();
  }
  /// \brief Sorts the rows by their words (word 0 first) and keeps one row of each value.
  void sortUnique() {
    if (words_ == 1) {
      std::sort(w_.begin(), w_.end());
      w_.erase(std::unique(w_.begin(), w_.end()), w_.end());
      rows_ = static_cast<int>(w_.size());
      return;
    }
    if (words_ == 0 || rows_ < 2) return;
    const std::size_t k = static_cast<std::size_t>(words_);
    std::vector<std::size_t> at(static_cast<std::size_t>(rows_));
    std::iota(at.begin(), at.end(), std::size_t{0});
    auto less = [&](std::size_t a, std::size_t b) {
      return std::lexicographical_compare(w_.begin() + a * k, w_.begin() + (a + 1) * k, w_.begin() + b * k,
                                          w_.begin() + (b + 1) * k);
    };
    std::sort(at.begin(), at.end(), less);
    std::vector<Word> kept;
    kept.reserve(w_.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
      if (i > 0 && !less(at[i - 1], at[i])) continue;
      kept.insert(kept.end(), w_.begin() + at[i] * k, w_.begin() + (at[i] + 1) * k);
    }
    w_.swap(kept);
    rows_ = static_cast<int>(w_.size() / k);
  }
  /// \brief Sets every word of every row to zero.
  void zero() { std::fill(w_.begin(), w_.end(), Word{0}); }
  /// \brief Keeps, in order, the rows r for which keep(row(r)) is true.
  template <typename Pred>
  void keepIf(Pred&& keep) {
    Word* to = w_.data();
    const Word* from = w_.data();
    int kept = 0;
    for (int r = 0; r < rows_; ++r, from += words_) {
      if (!keep(from)) continue;
      if (to != from) std::copy(from, from + words_, to);
      to += words_;
      ++kept;
    }
    truncate(kept);
  }
  /// \brief The words of every row, back to back.
  const std::vector<Word>& raw() const { return w_; }

 private:
  int words_ = 0;
  int rows_ = 0;
  std::vector<Word> w_;
};

}  // namespace vorn
