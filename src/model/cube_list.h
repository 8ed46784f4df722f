// A list of cubes packed back to back: the container every cube algorithm
// works on.
//
// Tautology, containment and the supercube of an uncovered part split a cube
// list again and again on single variables; each split copies most of the
// list.  A row is therefore the input part as two planes (packed_cube.h),
// optionally followed by an output part of one bit per output (the outputs a
// cube belongs to or is connected to), all rows in one array, so that a
// cofactor is one pass of word operations over a contiguous block and never
// allocates per cube.  Input parts hold no '~'.
#pragma once

#include <cstddef>
#include <vector>

#include "model/bits.h"
#include "model/cube.h"
#include "model/packed_cube.h"

namespace vorn {

class CubeList {
 public:
  CubeList() = default;
  /// \brief An empty list of cubes over n inputs, each with an output part over `outputs` outputs.
  explicit CubeList(int n, int outputs = 0);

  /// \brief Number of inputs.
  int inputs() const { return inputs_; }
  /// \brief Words per input plane.
  int words() const { return words_; }
  /// \brief Number of outputs of the output part (0: no output part).
  int outputs() const { return outputs_; }
  /// \brief Number of cubes.
  int size() const { return rows_.rows(); }
  bool empty() const { return size() == 0; }
  /// \brief Words per row: the zero plane, the one plane, then the output part.
  std::size_t stride() const { return static_cast<std::size_t>(rows_.words()); }

  /// \brief The input part of cube k (its zero plane; the one plane follows at +words()).
  const Word* cube(int k) const { return rows_.row(k); }
  Word* cube(int k) { return rows_.row(k); }
  /// \brief The output part of cube k (wordsFor(outputs()) words).
  const Word* out(int k) const { return rows_.row(k) + 2 * words_; }
  Word* out(int k) { return rows_.row(k) + 2 * words_; }

  /// \brief Appends the input part of c (its first inputs() positions) with an empty output part.
  void push(const Cube& c) {
    const int have = c.words() < words_ ? c.words() : words_;
    const Word* zero = c.zero();
    const Word* one = c.one();
    rows_.pushWords([&](int w) {
      if (w < words_) return w < have ? zero[w] : Word{0};
      w -= words_;
      return w < have ? one[w] : Word{0};
    });
  }
  /// \brief Appends a whole row given packed (stride() words, not inside this list).
  void push(const Word* packed) { rows_.push(packed); }
  /// \brief Appends a zero row ('-' everywhere, no outputs) and returns it.
  Word* grow() { return rows_.grow(); }
  /// \brief Keeps the first k cubes.
  void truncate(int k) { rows_.truncate(k); }
  /// \brief Makes room for `cubes` cubes in all.
  void reserve(int cubes) { rows_.reserve(cubes); }
  /// \brief Removes every cube.
  void clear() { rows_.clear(); }
  /// \brief Keeps, in order, the cubes whose row satisfies keep(row).
  template <typename Pred>
  void keepIf(Pred&& keep) {
    rows_.keepIf(keep);
  }
  /// \brief Cube k's input part as a Cube of inputs() positions.
  Cube get(int k) const;

  /// \brief The rows back to back.
  const std::vector<Word>& raw() const { return rows_.raw(); }

 private:
  int inputs_ = 0;
  int words_ = 0;
  int outputs_ = 0;
  WordRows rows_;
};

/// \brief Appends to out the cubes of s that meet v = value, each with '-' at v.
void appendLiteralCofactor(const CubeList& s, int v, bool value, CubeList& out);

/// \brief Packs the input part of c into `words` words per plane (zero, then one); '~' is left out.
void packCube(const Cube& c, int words, Word* out);
/// \brief The cube of n inputs held by a packed input part.
Cube unpackCube(const Word* packed, int n);

}  // namespace vorn
