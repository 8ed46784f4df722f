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
      const int w = forced >> 6;
      const std::uint64_t bit = std::uint64_t{1} << (forced & 63);
      // The complement lies where the literal is false.
      s = cofactorOn(s, w, bit, !forcedOne);
      if (forcedOne)
        out[w] |= bit;
      else
        out[words_ + w] |= bit;
    }
    int v = -1;
    if (!mostBinate(s, v)) return true;  // unate: the supercube spans everything
    if (depth >= params_.maxDepth || splits_ >= params_.maxSplits) return true;
    ++splits_;
    const int w = v >> 6;
    const std::uint64_t bit = std::uint64_t{1} << (v & 63);
    std::vector<std::uint64_t> one(stride_), zero(stride_);
    const bool hasOne = solve(cofactorOn(s, w, bit, true), one.data(), depth + 1);
    const bool hasZero = solve(cofactorOn(s, w, bit, false), zero.data(), depth + 1);
    if (!hasOne && !hasZero) return false;
    std::vector<std::uint64_t> r(stride_);
    if (hasOne && hasZero) {
      // Supercube: keep only the literals both halves agree on.
      for (int k = 0; k < words_; ++k) {
        r[k] = one[k] & zero[k];
        r[words_ + k] = one[words_ + k] & zero[words_ + k];
      }
    } else if (hasOne) {
      r = one;
      r[words_ + w] |= bit;
    } else {
      r = zero;
      r[w] |= bit;
    }
    for (std::size_t k = 0; k < stride_; ++k) out[k] |= r[k];
    return true;
  }

 private:
  /// False when s holds the universal cube; else finds a single-literal cube (forced = its variable).
  bool scan(const CubeList& s, int& forced, bool& forcedOne) const {
    for (int k = 0; k < s.size(); ++k) {
      const std::uint64_t* c = s.cube(k);
      int lits = 0, var = -1;
      bool isOne = false;
      for (int w = 0; w < words_ && lits < 2; ++w) {
        const std::uint64_t l = c[w] | c[words_ + w];
        const int n = __builtin_popcountll(l);
        if (n == 1 && lits == 0) {
          var = w * 64 + __builtin_ctzll(l);
          isOne = (c[words_ + w] & l) != 0;
        }
        lits += n;
      }
      if (lits == 0) return false;
      if (lits == 1 && forced < 0) {
        forced = var;
        forcedOne = isOne;
      }
    }
    return true;
  }

  /// The cofactor of s on variable (w, bit) = value.
  CubeList cofactorOn(const CubeList& s, int w, std::uint64_t bit, bool value) const {
    CubeList r(s.inputs());
    const std::size_t blocked = value ? 0 : static_cast<std::size_t>(words_);
    for (int k = 0; k < s.size(); ++k) {
      const std::uint64_t* c = s.cube(k);
      if (c[blocked + w] & bit) continue;
      r.push(c);
      std::uint64_t* d = r.cube(r.size() - 1);
      d[w] &= ~bit;
      d[words_ + w] &= ~bit;
    }
    return r;
  }

  /// The binate variable with the most literals; false when there is none.
  bool mostBinate(const CubeList& s, int& v) {
    std::vector<std::uint64_t> z(static_cast<std::size_t>(words_), 0), o(static_cast<std::size_t>(words_), 0);
    for (int k = 0; k < s.size(); ++k)
      for (int w = 0; w < words_; ++w) {
        z[w] |= s.cube(k)[w];
        o[w] |= s.cube(k)[words_ + w];
      }
    counts_.assign(static_cast<std::size_t>(words_) * 64, 0);
    bool any = false;
    for (int k = 0; k < s.size(); ++k)
      for (int w = 0; w < words_; ++w)
        for (std::uint64_t b = (s.cube(k)[w] | s.cube(k)[words_ + w]) & z[w] & o[w]; b; b &= b - 1) {
          ++counts_[static_cast<std::size_t>(w) * 64 + static_cast<std::size_t>(__builtin_ctzll(b))];
          any = true;
        }
    if (!any) return false;
    int best = 0;
    for (std::size_t i = 0; i < counts_.size(); ++i)
      if (counts_[i] > counts_[static_cast<std::size_t>(best)]) best = static_cast<int>(i);
    v = best;
    return true;
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
  for (int w = 0; w < 2 * words; ++w) out[w] |= c[w];
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
