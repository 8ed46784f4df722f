// Tautology of a cube list by the unate recursive paradigm.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "unate/cube_list.h"

namespace vorn {

/// Work done by tautology checks, summed over calls.
struct TautologyStats {
  long long checks = 0;  ///< calls
  long long splits = 0;  ///< binate splits
  long long leaves = 0;  ///< sub-lists decided without a split
};

/// A tautology checker for packed cube lists of one width; keeps its buffers between checks.
class TautologyChecker {
 public:
  /// \brief A checker for cubes of `words` words per mask.
  explicit TautologyChecker(int words);
  /// \brief True when the union of `count` packed cubes, back to back, is the whole space.
  bool check(const std::uint64_t* cubes, int count);
  TautologyStats stats;

 private:
  struct Frame {
    int first;  ///< its first cube's row in the arena
    int count;
  };
  enum class Verdict { Tautology, NotTautology, Split };

  std::uint64_t* at(int row) { return arena_.row(row); }
  std::size_t rowBytes() const { return static_cast<std::size_t>(arena_.words()) * sizeof(std::uint64_t); }
  /// \brief Decides the frame when it can (after dropping cubes with unate literals), else picks a split variable.
  Verdict examine(Frame& f, int& split);
  /// \brief Drops the cubes with a literal in a unate variable.
  void dropUnateCubes(Frame& f);
  /// \brief The binate variable with the most literals.
  int mostBinate(const Frame& f);
  /// \brief Replaces the frame by its two cofactors on variable v.
  void splitFrame(const Frame& f, int v);

  int words_;
  WordRows arena_;  ///< the sub-lists of the pending frames, one packed cube a row
  LiteralUnion literals_;
  std::vector<int> counts_;
  std::vector<Frame> frames_;
};

/// \brief True when the union of the cubes of s is the whole input space.
bool Tautology(const CubeList& s, TautologyStats* stats = nullptr);
/// \brief The same for `count` packed cubes of `words` words per mask, back to back.
bool TautologyPacked(const std::uint64_t* cubes, int count, int words, TautologyStats* stats = nullptr);

}  // namespace vorn
