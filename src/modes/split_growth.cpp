// Early verdict on the growth of a split.
//
// Splitting keeps every piece inside or outside each original cube: a common
// part lies in both terms of its pair, the pieces of a term lie in that term,
// and the pieces together with the common part fill the term again.  So every
// term of the result has one set of original terms containing all of its
// minterms, and each distinct non-empty set of originals that contains some
// minterm (a cell of the arrangement of the cubes) needs a term of its own.
// The number of cells is thus a lower bound on the result.
//
// The cells are found by recursive splitting of the input space on a position
// where some cube still cuts the region; a region that every cube meeting it
// contains is one cell.  Cells are told apart by a 64-bit hash of their sets
// (a collision can only make the count smaller, so the bound stays a bound).
// The search stops as soon as the count passes the limit, and gives up, with
// no verdict, after a work budget proportional to the limit.
//
// A source with an intersecting pair holding '1' against '0' makes the pair
// walk fail on that conflict, possibly before it grows past the limit; no
// verdict is given for it, so the walk reports what it meets first.
#include "modes/split_growth.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "modes/intersecting_pairs.h"

namespace vorn {

namespace {

/// A part of the input space and the cubes that meet it.
struct Region {
  Cube cube;                ///< the region's literals
  std::vector<int> active;  ///< the cubes meeting it, ascending
};

std::uint64_t hashOf(const std::vector<int>& ids) {
  std::uint64_t h = 1469598103934665603ULL;
  for (int id : ids) {
    h ^= static_cast<std::uint64_t>(id) + 0x9E3779B97F4A7C15ULL;
    h *= 1099511628211ULL;
    h ^= h >> 29;
  }
  return h;
}

}  // namespace

bool SplitSurelyExceeds(const TBoolFnct& f, int maxTerms) {
  std::vector<const TPfnct*> terms;
  std::vector<const Cube*> cubes;
  forEachTerm(f, [&](const TPfnct& t) {
    terms.push_back(&t);
    cubes.push_back(&t.input);
  });
  if (static_cast<long long>(terms.size()) > maxTerms) return false;  // the walk judges that itself
  if (terms.size() < 2 || cubes[0]->words() == 0) return false;
  const int m = f.outputCount;
  if (firstIntersectingPair(cubes, [&](int a, int b) { return firstOnOffOutput(*terms[a], *terms[b], m) >= 0; }))
    return false;

  const int words = cubes[0]->words();
  long long budget = 64LL * maxTerms + 64LL * static_cast<long long>(terms.size());
  std::unordered_set<std::uint64_t> cells;
  std::vector<Region> stack(1);
  stack[0].cube = Cube(cubes[0]->size());
  for (int k = 0; k < static_cast<int>(terms.size()); ++k) stack[0].active.push_back(k);
  while (!stack.empty()) {
    Region r = std::move(stack.back());
    stack.pop_back();
    budget -= static_cast<long long>(r.active.size()) + 1;
    if (budget < 0) return false;
    // A position where a cube meeting the region still has a literal the region lacks.
    const Word* region = r.cube.data();
    int position = -1;
    for (int id : r.active) {
      const Word* c = cubes[static_cast<std::size_t>(id)]->data();
      if (cubeContains(c, region, words)) continue;
      position = bits::firstWordBit(words, [&](int w) { return literalsIn(c, words, w) & ~literalsIn(region, words, w); });
      break;
    }
    if (position < 0) {
      cells.insert(hashOf(r.active));
      if (static_cast<long long>(cells.size()) > maxTerms) return true;
      continue;
    }
    for (int side = 0; side < 2; ++side) {
      Region child;
      child.cube = r.cube;
      child.cube.set(position, side == 0 ? '0' : '1');
      // A cube with the other literal there does not meet this half.
      for (int id : r.active)
        if (meetsLiteral(cubes[static_cast<std::size_t>(id)]->data(), words, position, side == 1))
          child.active.push_back(id);
      if (!child.active.empty()) stack.push_back(std::move(child));
    }
  }
  return false;
}

}  // namespace vorn
