// The supercube of the complement of a cofactor.
//
// The part of a cube c outside a union G is c intersected with the
// complement of G's cofactor with respect to c, so its supercube is c
// intersected with the supercube of that complement.  The latter follows the
// unate recursive paradigm without building the complement:
// - an empty list has the whole space as complement; a list holding the
//   universal cube has none;
// - a cube of a single literal x forces the complement into x' (cofactor on
//   x' and put the literal back);
// - a list with no binate variable left and no such cube has a complement
//   whose supercube is the whole space (for every variable both values occur
//   in it);
// - otherwise split on the most binate variable and take the supercube of
//   the two halves, each with its literal.
// Splits are bounded in depth and number: past the bounds a sub-list answers
// "whole space", which widens the result and keeps it sound for a reduction.
#include "unate/uncovered_supercube.h"

#include <vector>

#include "model/packed_cube.h"
#include "unate/cofactor.h"

namespace vorn {

namespace {

class Solver {
 public:
  Solver(int words, const UncoveredParams& p) : words_(words), stride_(2 * static_cast<std::size_t>(words)), params_(p) {}

  /// Supercube of the complement of s into out (packed); false when the complement is empty.
  bool solve(CubeList s, std::uint64_t* out, int depth) {
    std::fill(out, out + stride_, 0);
    // Single-literal cubes force the literal's opposite; apply them until none is left.
    for (;;) {
      if (s.empty()) return true;
      int forced = -1;
      bool forcedOne = false;
      if (!scan(s, forced, forcedOne)) return false;
      if (forced < 0) break;
      // The complement lies where the literal is false.
      s = cofactorOn(s, forced, !forcedOne);
      putLiteral(out, words_, forced, !forcedOne);
    }
    int v = -1;
    if (!mostBinate(s, v)) return true;  // unate: the supercube spans everything
    if (depth >= params_.maxDepth || splits_ >= params_.maxSplits) return true;
    ++splits_;
    std::vector<std::uint64_t> one(stride_), zero(stride_);
    const bool hasOne = solve(cofactorOn(s, v, true), one.data(), depth + 1);
    const bool hasZero = solve(cofactorOn(s, v, false), zero.data(), depth + 1);
    if (!hasOne && !hasZero) return false;
    if (hasOne && hasZero) {
      cubeSupercube(one.data(), zero.data(), words_);  // keep only the literals both halves agree on
    } else if (hasOne) {
      putLiteral(one.data(), words_, v, true);
    } else {
      one.swap(zero);
      putLiteral(one.data(), words_, v, false);
    }
    bits::assignWords(out, 2 * words_, [&](int w) { return out[w] | one[w]; });
    return true;
  }

 private:
  /// False when s holds the universal cube; else finds a single-literal cube (forced = its variable).
  bool scan(const CubeList& s, int& forced, bool& forcedOne) const {
    for (int k = 0; k < s.size(); ++k) {
      const std::uint64_t* c = s.cube(k);
      const int lits = cubeLiterals(c, words_);
      if (lits == 0) return false;
      if (lits == 1 && forced < 0)
        forEachLiteral(c, words_, [&](int v) {
          forced = v;
          forcedOne = literalIsOne(c, words_, v);
        });
    }
    return true;
  }

  /// The cofactor of s on variable v = value.
  CubeList cofactorOn(const CubeList& s, int v, bool value) const {
    CubeList r(s.inputs());
    appendLiteralCofactor(s, v, value, r);
    return r;
  }

  /// The binate variable with the most literals; false when there is none.
  bool mostBinate(const CubeList& s, int& v) {
    if (s.empty()) return false;
    LiteralUnion literals;
    literals.reset(words_);
    for (int k = 0; k < s.size(); ++k) literals.add(s.cube(k));
    v = mostLiterals(s.cube(0), s.size(), stride_, words_, [&](int w) { return literals.binate(w); }, counts_);
    return v >= 0;
  }

  int words_;
  std::size_t stride_;
  const UncoveredParams& params_;
  long long splits_ = 0;
  std::vector<int> counts_;
};

}  // namespace

bool UncoveredSupercube(const std::uint64_t* c, const CubeList& cover, std::uint64_t* out,
                        const UncoveredParams& params) {
  const int words = cover.words();
  CubeList cof(cover.inputs());
  AppendCofactor(cover, c, cof);
  Solver solver(words, params);
  if (!solver.solve(std::move(cof), out, 0)) return false;
  // The cofactor leaves c's literal positions free: put c's literals back.
  cubeIntersection(out, out, c, words);
  return true;
}

bool UncoveredSupercube(const Cube& c, const CubeList& cover, Cube& out, const UncoveredParams& params) {
  std::vector<std::uint64_t> packed(cover.stride()), result(cover.stride());
  packCube(c, cover.words(), packed.data());
  if (!UncoveredSupercube(packed.data(), cover, result.data(), params)) return false;
  out = unpackCube(result.data(), cover.inputs());
  return true;
}

}  // namespace vorn
