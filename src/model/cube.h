// A cube over n positions, each '0', '1', '-' or '~'.
//
// The cube is held as the three planes of a packed cube (packed_cube.h):
// `zero` (the position is '0'), `one` ('1') and `tilde` ('~'); a position in
// none of them is '-'.  Its tests are the kernel's packed-cube operations, a
// few word operations per 64 positions.  Callers see only characters through
// get() and set().  Up to 128 positions live inside the object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/packed_cube.h"

namespace vorn {

class Cube {
 public:
  Cube() = default;
  /// \brief A cube of n positions, every one holding `fill`.
  explicit Cube(int n, char fill = '-');
  /// \brief A cube whose positions are the characters of `text`.
  explicit Cube(std::string_view text);

  /// \brief Number of positions.
  int size() const { return size_; }
  /// \brief The character at position i.
  char get(int i) const;
  /// \brief Puts character c ('0', '1', '~'; anything else means '-') at position i.
  void set(int i, char c);
  /// \brief True when position i holds '0' or '1'.
  bool isLiteral(int i) const;

  /// \brief No position holds '0' in one cube and '1' in the other ('~' conflicts with nothing).
  bool intersects(const Cube& other) const { return cubesMeet(data(), other.data(), words_); }
  /// \brief Every position of this cube is '-' or equals the same position of `other`.
  bool contains(const Cube& other) const { return cubeContains(data(), other.data(), words_, 3); }
  /// \brief Puts '-' wherever this cube and `other` differ; returns *this.
  Cube& supercube(const Cube& other);
  /// \brief Number of positions holding '0' or '1'.
  int countLiterals() const;
  /// \brief Number of positions holding '-'.
  int countDashes() const;

  /// \brief The cube as a text of size() characters.
  std::string str() const;
  bool operator==(const Cube& other) const;
  bool operator!=(const Cube& other) const { return !(*this == other); }
  /// \brief A hash of the characters, for hashed sets of cubes.
  std::size_t hash() const;

  /// \brief Words per plane; the planes are zero(), one(), tilde(), back to back from data().
  int words() const { return words_; }
  const std::uint64_t* data() const { return bits(); }
  const std::uint64_t* zero() const { return bits(); }
  const std::uint64_t* one() const { return bits() + words_; }
  const std::uint64_t* tilde() const { return bits() + 2 * words_; }

 private:
  static constexpr int kInlineWords = 2;
  const std::uint64_t* bits() const { return words_ <= kInlineWords ? inline_ : heap_.data(); }
  std::uint64_t* bits() { return words_ <= kInlineWords ? inline_ : heap_.data(); }

  int size_ = 0;
  int words_ = 0;
  std::uint64_t inline_[3 * kInlineWords] = {};
  std::vector<std::uint64_t> heap_;  ///< used only above kInlineWords words
};

struct CubeHash {
  std::size_t operator()(const Cube& c) const { return c.hash(); }
};

}  // namespace vorn
