// A list of input cubes of one output, packed for the recursive cube-list
// algorithms.
//
// Tautology, containment and the supercube of an uncovered part split a
// cube list again and again on single variables; each split copies most of
// the list.  The cubes are therefore held as in Cube (a `zero` and a `one`
// bit mask per 64 inputs; a position in neither is '-'), but back to back in
// one array, so that a cofactor is one pass of word operations over a
// contiguous block and never allocates per cube.  Input parts hold no '~'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/cube.h"

namespace vorn {

class CubeList {
 public:
  CubeList() = default;
  /// \brief An empty list of cubes over n inputs.
  explicit CubeList(int n);

  /// \brief Number of inputs.
  int inputs() const { return inputs_; }
  /// \brief Words per mask.
  int words() const { return words_; }
  /// \brief Number of cubes.
  int size() const { return count_; }
  bool empty() const { return count_ == 0; }
  /// \brief Words per cube: the zero mask, then the one mask.
  std::size_t stride() const { return 2 * static_cast<std::size_t>(words_); }

  /// \brief The zero mask of cube k; its one mask follows at +words().
  const std::uint64_t* cube(int k) const { return data_.data() + static_cast<std::size_t>(k) * stride(); }
  std::uint64_t* cube(int k) { return data_.data() + static_cast<std::size_t>(k) * stride(); }

  /// \brief Appends the input part of c (its first inputs() positions).
  void push(const Cube& c);
  /// \brief Appends a cube given as its packed masks (stride() words).
  void push(const std::uint64_t* packed);
  /// \brief Removes every cube.
  void clear() {
    data_.clear();
    count_ = 0;
  }
  /// \brief Cube k as a Cube of inputs() positions.
  Cube get(int k) const;

  /// \brief The packed words of every cube, back to back.
  const std::vector<std::uint64_t>& raw() const { return data_; }
  /// \brief Appends room for one cube and returns it, zero-filled.
  std::uint64_t* grow();
  /// \brief Keeps the first k cubes.
  void truncate(int k);

 private:
  int inputs_ = 0;
  int words_ = 0;
  int count_ = 0;
  std::vector<std::uint64_t> data_;
};

/// \brief Packs the input part of c into stride words (zero masks, then one masks).
void packCube(const Cube& c, int words, std::uint64_t* out);
/// \brief The cube of n inputs held by packed masks.
Cube unpackCube(const std::uint64_t* packed, int n);

}  // namespace vorn
