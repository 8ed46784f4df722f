// A list of cubes read column-wise: per input and value, one bit per cube
// that holds that literal.
//
// Against such columns the questions the refinement asks of a whole list
// become a few word operations per literal of the asking cube, with no walk
// over the list and no tautology check:
// - the cubes a cube p meets: those holding no literal opposite to one of p;
// - the cubes inside p: those holding every literal of p;
// - the cubes a literal of p keeps out of p (its blocking row for EXPAND):
//   the column of the opposite literal.
// When the list is made of minterms (as the on- and off-sets of sampled
// functions are), "meets p" and "inside p" are the same question.  Sets of
// cubes are plain word spans (`BitSpan` below), one bit per cube, so that
// their unions, intersections and counts are the word passes of model/bits.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/bits.h"
#include "model/packed_cube.h"
#include "model/cube_list.h"

namespace vorn {

/// The set operations the columns are used with, composed from the word passes of model/bits.h;
/// spans hold one bit per cube and are `n` words long.
namespace bitspan {
inline void andInto(Word* a, const Word* b, std::size_t n) {
  bits::assignWords(a, static_cast<int>(n), [&](int w) { return a[w] & b[w]; });
}
inline void andNotInto(Word* a, const Word* b, std::size_t n) {
  bits::assignWords(a, static_cast<int>(n), [&](int w) { return a[w] & ~b[w]; });
}
inline void orInto(Word* a, const Word* b, std::size_t n) {
  bits::assignWords(a, static_cast<int>(n), [&](int w) { return a[w] | b[w]; });
}
inline bool any(const Word* a, std::size_t n) { return bits::anyBit(a, static_cast<int>(n)); }
inline int count(const Word* a, std::size_t n) { return bits::countBits(a, static_cast<int>(n)); }
/// \brief Number of bits set in both a and b.
inline int countBoth(const Word* a, const Word* b, std::size_t n) { return bits::countCommonBits(a, b, static_cast<int>(n)); }
/// \brief Number of bits set in a and not in b.
inline int countAndNot(const Word* a, const Word* b, std::size_t n) {
  return bits::countWords(static_cast<int>(n), [&](int w) { return a[w] & ~b[w]; });
}
inline bool test(const Word* a, int i) { return bits::testBit(a, i); }
inline void set(Word* a, int i) { bits::setBit(a, i); }
inline void reset(Word* a, int i) { bits::clearBit(a, i); }
/// \brief Calls fn(i) for every bit i set in the span, in increasing order.
template <typename Fn>
void forEach(const Word* a, std::size_t n, Fn&& fn) {
  bits::forEachBit(a, static_cast<int>(n), fn);
}
}  // namespace bitspan

class LiteralColumns {
 public:
  LiteralColumns() = default;
  /// \brief Columns for `cubes`, with room for `capacity` cubes (at least their number).
  explicit LiteralColumns(const CubeList& cubes, int capacity = 0);
  /// \brief Columns for no cube yet, with room for `capacity` cubes of `inputs` inputs (filled by add()).
  LiteralColumns(int inputs, int capacity);
  /// \brief True when columns for `cubes` cubes of `inputs` inputs stay within the memory bound.
  static bool fits(int inputs, int cubes);

  /// \brief Words per column (one bit per cube).
  std::size_t blocks() const { return blocks_; }
  /// \brief Number of cubes.
  int size() const { return count_; }
  /// \brief The cubes holding value v (0 or 1) at input i.
  const std::uint64_t* holds(int i, int v) const { return cols_.row(2 * i + v); }
  /// \brief The cubes a cube with value v at input i can never meet: those holding the opposite value.
  const std::uint64_t* blocked(int i, int v) const { return holds(i, 1 - v); }

  /// \brief Sets `out` (blocks() words) to the cubes that meet the packed cube p.
  void meeting(const std::uint64_t* p, std::uint64_t* out) const;
  /// \brief True when the packed cube p meets some cube of the set `among` (blocks() words); `scratch`
  /// (blocks() words) is overwritten.  With `among` an output's off-set cubes: p is not an implicant.
  bool meetsAnyOf(const std::uint64_t* p, const std::uint64_t* among, std::uint64_t* scratch) const;
  /// \brief Sets `out` (blocks() words) to the cubes inside the packed cube p.
  void inside(const std::uint64_t* p, std::uint64_t* out) const;
  /// \brief Cube k no longer holds value v at input i (it grew there).
  void free(int k, int i, int v) { bitspan::reset(col(i, v), k); }
  /// \brief Cube k now holds the packed cube p's literals (it held none before).
  void add(int k, const std::uint64_t* p);

 private:
  std::uint64_t* col(int i, int v) { return cols_.row(2 * i + v); }
  /// Sets `out` to every cube.
  void fillAll(std::uint64_t* out) const;
  /// Narrows `out` (holding its starting set) by step(words, input, value, first word, word count) per
  /// literal of p; false when it was emptied.
  template <typename Step>
  bool narrow(const std::uint64_t* p, std::uint64_t* out, Step&& step) const;

  int inputs_ = 0, words_ = 0, count_ = 0;
  std::size_t blocks_ = 0;
  WordRows cols_;  ///< per input: the zero column, then the one column
};

}  // namespace vorn
