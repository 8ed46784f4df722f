// The on-set of an output is given as cubes, the don't-care set is all that
// is neither on nor off.  The part of a term that matters for output j is
// therefore its intersection with the on-set cubes of j; a term is not
// needed for j when each such piece lies in the union of the other terms
// with j (a containment question, answered by a tautology check on the
// cofactor), and the part only it covers is the union of what each piece
// leaves uncovered.
#include "refine/coverage.h"

#include <algorithm>

#include "model/packed_cube.h"
#include "unate/cofactor.h"

namespace vorn {

Coverage::Coverage(const RefineSource& source, const Cover& cover)
    : source_(source),
      cover_(cover),
      coverIndex_(cover.in),
      others_(source.inputs),
      check_(source.inputs),
      piece_(others_.stride()),
      part_(others_.stride()),
      focusCube_(others_.stride()) {}

void Coverage::focus(const std::uint64_t* p, int skip) {
  const int words = others_.words();
  if (focused_ && skip == focusSkip_ && std::equal(focusCube_.begin(), focusCube_.end(), p)) return;
  focused_ = true;
  focusSkip_ = skip;
  std::copy(p, p + others_.stride(), focusCube_.begin());
  coverIndex_.meeting(cover_.in, p, nearTerms_);
  nearTerms_.erase(std::remove_if(nearTerms_.begin(), nearTerms_.end(),
                                  [&](int k) { return k == skip || !cubesMeet(cover_.in.cube(k), p, words); }),
                   nearTerms_.end());
  source_.on.index.meeting(source_.on.cubes, p, nearOn_);
}

bool Coverage::gather(const std::uint64_t* p, int j, int skip) {
  const int words = others_.words();
  focus(p, skip);
  others_.clear();
  for (int k : nearTerms_) {
    if (k == skip || !cover_.alive[static_cast<std::size_t>(k)] || !cover_.out[static_cast<std::size_t>(k)].test(j)) continue;
    const std::uint64_t* c = cover_.in.cube(k);
    if (!cubesMeet(c, p, words)) continue;
    if (cubeContains(c, p, words)) return true;
    std::uint64_t* d = others_.grow();
    for (int w = 0; w < words; ++w) {
      const std::uint64_t free = ~(p[w] | p[words + w]);
      d[w] = c[w] & free;
      d[words + w] = c[words + w] & free;
    }
  }
  return false;
}

bool Coverage::coveredByOthers(const std::uint64_t* p, int j, int skip) {
  if (gather(p, j, skip)) return true;
  const int words = others_.words();
  const CubeList& on = source_.on.cubes;
  for (int t : nearOn_) {
    if (!source_.on.outputs[static_cast<std::size_t>(t)].test(j)) continue;
    const std::uint64_t* c = on.cube(t);
    if (!cubesMeet(c, p, words)) continue;
    cubeIntersection(piece_.data(), c, p, words);
    if (!check_.covered(piece_.data(), others_)) return false;
  }
  return true;
}

bool Coverage::addUncovered(const std::uint64_t* p, int j, int skip, std::vector<std::uint64_t>& acc, bool& accEmpty) {
  if (gather(p, j, skip)) return false;
  const int words = others_.words();
  const CubeList& on = source_.on.cubes;
  bool any = false;
  for (int t : nearOn_) {
    if (!source_.on.outputs[static_cast<std::size_t>(t)].test(j)) continue;
    const std::uint64_t* c = on.cube(t);
    if (!cubesMeet(c, p, words)) continue;
    cubeIntersection(piece_.data(), c, p, words);
    // Once this output keeps something, a piece inside what is kept cannot widen it; a piece inside
    // a single other term adds nothing.
    if (any && cubeContains(acc.data(), piece_.data(), words)) continue;
    bool inside = false;
    for (int k = 0; k < others_.size() && !inside; ++k) inside = cubeContains(others_.cube(k), piece_.data(), words);
    if (inside || !UncoveredSupercube(piece_.data(), others_, part_.data(), limits_)) continue;
    any = true;
    if (accEmpty) {
      acc = part_;
      accEmpty = false;
    } else {
      for (int w = 0; w < 2 * words; ++w) acc[static_cast<std::size_t>(w)] &= part_[static_cast<std::size_t>(w)];
    }
  }
  return any;
}

}  // namespace vorn
