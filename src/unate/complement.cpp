// Complement by the unate recursive paradigm.
//
// The complement of a list F is split on one variable x:
//   not F = x . not F|x  +  x' . not F|x'
// where F|x is the cofactor (the cubes of F that meet x, freed at x).  The
// recursion ends at lists whose complement is plain: the empty list (the
// whole space), a list holding the universal cube (nothing), and a single
// cube (one cube per literal, by De Morgan).  The split variable is the most
// binate one, or, in a unate list, the one with the most literals, so that
// the cofactors shrink fastest.
//
// Merging the two halves keeps the result small: a cube found in both halves
// is written once without x, and a cube of one half that lies inside a cube
// of the other half needs no literal of x either (its other half is covered
// already).  Identical cubes are found by hashing; the containment test is
// quadratic and runs only while the halves are small.
//
// Complements can be exponentially large (the complement of the OR of k
// disjoint two-literal products has 2^k cubes), so every partial result is
// bounded and the computation gives up once a bound is passed.
#include "unate/complement.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace vorn {

namespace {

/// Halves whose cube counts multiply to more than this are merged by identity only.
constexpr long long kContainmentMergeLimit = 20000;

bool sameCube(const std::uint64_t* a, const std::uint64_t* b, std::size_t stride) {
  return std::equal(a, a + stride, b);
}

class Complementer {
 public:
  Complementer(int inputs, const ComplementParams& params, ComplementStats& stats)
      : n_(inputs), words_((inputs + 63) / 64), stride_(2 * static_cast<std::size_t>(words_)), params_(params),
        stats_(stats) {}

  bool run(const CubeList& f, CubeList& out) { return complement(f, out, 0); }

 private:
  bool complement(const CubeList& f, CubeList& out, int depth) {
    out = CubeList(n_);
    if (f.empty()) {
      out.grow();  // the universal cube
      return true;
    }
    LiteralUnion literals;
    literals.reset(words_);
    for (int k = 0; k < f.size(); ++k) {
      if (isUniversal(f.cube(k), words_)) return true;  // nothing is outside
      literals.add(f.cube(k));
    }
    if (f.size() == 1) return deMorgan(f.cube(0), out);
    if (++stats_.splits > params_.maxSplits || depth >= params_.maxDepth) return false;
    // The most binate variable, or in a unate list the one with the most literals.
    const bool binate = literals.anyBinate();
    const int v = std::max(0, mostLiterals(f.cube(0), f.size(), stride_, words_,
                                           [&](int w) { return binate ? literals.binate(w) : ~Word{0}; }, counts_));
    CubeList half1(n_), half0(n_);
    appendLiteralCofactor(f, v, true, half1);
    appendLiteralCofactor(f, v, false, half0);
    CubeList not1, not0;
    if (!complement(half1, not1, depth + 1)) return false;
    half1 = CubeList();
    if (!complement(half0, not0, depth + 1)) return false;
    merge(not1, not0, v, out);
    stats_.largest = std::max(stats_.largest, out.size());
    return out.size() <= params_.maxCubes;
  }

  bool deMorgan(const std::uint64_t* c, CubeList& out) const {
    bool fits = true;
    forEachLiteral(c, words_, [&](int v) {
      if (out.size() >= params_.maxCubes) fits = false;
      if (fits) putLiteral(out.grow(), words_, v, !literalIsOne(c, words_, v));  // x' becomes x
    });
    if (!fits) return false;
    stats_.largest = std::max(stats_.largest, out.size());
    return true;
  }

  // out = x . not1 + x' . not0, with the literal of x left out where it is not needed.
  void merge(const CubeList& not1, const CubeList& not0, int v, CubeList& out) {
    std::unordered_multimap<std::size_t, int> index;
    index.reserve(static_cast<std::size_t>(not0.size()));
    for (int k = 0; k < not0.size(); ++k) index.emplace(bits::hashWords(not0.cube(k), stride_), k);
    std::vector<char> used(static_cast<std::size_t>(not0.size()), 0);
    const bool contain = static_cast<long long>(not1.size()) * not0.size() <= kContainmentMergeLimit;
    for (int k = 0; k < not1.size(); ++k) {
      const std::uint64_t* c = not1.cube(k);
      bool free = false;
      auto range = index.equal_range(bits::hashWords(c, stride_));
      for (auto it = range.first; it != range.second && !free; ++it)
        if (!used[static_cast<std::size_t>(it->second)] && sameCube(not0.cube(it->second), c, stride_)) {
          used[static_cast<std::size_t>(it->second)] = 1;
          free = true;
        }
      for (int d = 0; contain && !free && d < not0.size(); ++d) free = cubeContains(not0.cube(d), c, words_);
      std::uint64_t* to = out.grow();
      std::copy(c, c + stride_, to);
      if (free)
        ++stats_.merged;
      else
        putLiteral(to, words_, v, true);
    }
    for (int k = 0; k < not0.size(); ++k) {
      if (used[static_cast<std::size_t>(k)]) continue;
      const std::uint64_t* c = not0.cube(k);
      bool free = false;
      for (int d = 0; contain && !free && d < not1.size(); ++d) free = cubeContains(not1.cube(d), c, words_);
      std::uint64_t* to = out.grow();
      std::copy(c, c + stride_, to);
      if (free)
        ++stats_.merged;
      else
        putLiteral(to, words_, v, false);
    }
  }

  int n_;
  int words_;
  std::size_t stride_;
  const ComplementParams& params_;
  ComplementStats& stats_;
  std::vector<int> counts_;
};

}  // namespace

bool Complement(const CubeList& s, CubeList& out, const ComplementParams& params, ComplementStats& stats) {
  Complementer c(s.inputs(), params, stats);
  return c.run(s, out);
}

}  // namespace vorn
