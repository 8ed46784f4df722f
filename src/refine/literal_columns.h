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
// their unions, intersections and counts are loops over words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "unate/cube_list.h"

namespace vorn {

/// Word-span set operations over `n` words; the spans hold one bit per cube.
namespace bitspan {
inline void andInto(std::uint64_t* a, const std::uint64_t* b, std::size_t n) {
  for (std::size_t w = 0; w < n; ++w) a[w] &= b[w];
}
inline void andNotInto(std::uint64_t* a, const std::uint64_t* b, std::size_t n) {
  for (std::size_t w = 0; w < n; ++w) a[w] &= ~b[w];
}
inline void orInto(std::uint64_t* a, const std::uint64_t* b, std::size_t n) {
  for (std::size_t w = 0; w < n; ++w) a[w] |= b[w];
}
inline bool any(const std::uint64_t* a, std::size_t n) {
  for (std::size_t w = 0; w < n; ++w)
    if (a[w]) return true;
  return false;
}
/// \brief Some bit is set in both spans.
inline bool meets(const std::uint64_t* a, const std::uint64_t* b, std::size_t n) {
  for (std::size_t w = 0; w < n; ++w)
    if (a[w] & b[w]) return true;
  return false;
}
inline int count(const std::uint64_t* a, std::size_t n) {
  int c = 0;
  for (std::size_t w = 0; w < n; ++w) c += __builtin_popcountll(a[w]);
  return c;
}
/// \brief Number of bits set in a and not in b.
inline int countAndNot(const std::uint64_t* a, const std::uint64_t* b, std::size_t n) {
  int c = 0;
  for (std::size_t w = 0; w < n; ++w) c += __builtin_popcountll(a[w] & ~b[w]);
  return c;
}
inline bool test(const std::uint64_t* a, int i) { return (a[i >> 6] >> (i & 63)) & 1; }
inline void set(std::uint64_t* a, int i) { a[i >> 6] |= std::uint64_t{1} << (i & 63); }
inline void reset(std::uint64_t* a, int i) { a[i >> 6] &= ~(std::uint64_t{1} << (i & 63)); }
/// \brief Calls fn(i) for every bit i set in the span, in increasing order.
template <typename Fn>
void forEach(const std::uint64_t* a, std::size_t n, Fn&& fn) {
  for (std::size_t w = 0; w < n; ++w)
    for (std::uint64_t b = a[w]; b; b &= b - 1) fn(static_cast<int>(w * 64) + __builtin_ctzll(b));
}
}  // namespace bitspan

class LiteralColumns {
 public:
  LiteralColumns() = default;
  /// \brief Columns for `cubes`, with room for `capacity` cubes (at least their number).
  explicit LiteralColumns(const CubeList& cubes, int capacity = 0);
  /// \brief True when columns for `cubes` cubes of `inputs` inputs stay within the memory bound.
  static bool fits(int inputs, int cubes);

  /// \brief Words per column (one bit per cube).
  std::size_t blocks() const { return blocks_; }
  /// \brief Number of cubes.
  int size() const { return count_; }
  /// \brief The cubes holding value v (0 or 1) at input i.
  const std::uint64_t* holds(int i, int v) const { return cols_.data() + (2 * static_cast<std::size_t>(i) + static_cast<std::size_t>(v)) * blocks_; }
  /// \brief The cubes a cube with value v at input i can never meet: those holding the opposite value.
  const std::uint64_t* blocked(int i, int v) const { return holds(i, 1 - v); }

  /// \brief Sets `out` (blocks() words) to the cubes that meet the packed cube p.
  void meeting(const std::uint64_t* p, std::uint64_t* out) const;
  /// \brief Sets `out` (blocks() words) to the cubes inside the packed cube p.
  void inside(const std::uint64_t* p, std::uint64_t* out) const;
  /// \brief Cube k no longer holds value v at input i (it grew there).
  void free(int k, int i, int v) { bitspan::reset(col(i, v), k); }
  /// \brief Cube k now holds the packed cube p's literals (it held none before).
  void add(int k, const std::uint64_t* p);

 private:
  std::uint64_t* col(int i, int v) { return cols_.data() + (2 * static_cast<std::size_t>(i) + static_cast<std::size_t>(v)) * blocks_; }

  int inputs_ = 0, words_ = 0, count_ = 0;
  std::size_t blocks_ = 0;
  std::vector<std::uint64_t> cols_;  ///< per input: the zero column, then the one column
};

/// \brief Calls fn(i, v) for every literal of the packed cube p (words per mask): input i holds value v.
template <typename Fn>
void forEachLiteral(const std::uint64_t* p, int words, Fn&& fn) {
  for (int w = 0; w < words; ++w) {
    for (std::uint64_t b = p[w]; b; b &= b - 1) fn(w * 64 + __builtin_ctzll(b), 0);
    for (std::uint64_t b = p[words + w]; b; b &= b - 1) fn(w * 64 + __builtin_ctzll(b), 1);
  }
}

}  // namespace vorn
