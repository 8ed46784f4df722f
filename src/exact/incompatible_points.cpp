#include "exact/incompatible_points.h"

#include <algorithm>
#include <vector>

#include "unate/cofactor.h"

namespace vorn {

namespace {

struct Point {
  std::vector<std::uint64_t> minterm;  ///< packed, every input a literal
  int output = 0;
  int literals = 0;  ///< of the on-set cube it comes from
};

/// Ways to fill the free inputs of a cube: all 0, all 1, and the two alternations.
constexpr int kPatterns = 4;

/// \brief The minterm of the packed cube c (w words per mask) with its free inputs filled by `pattern`.
std::vector<std::uint64_t> corner(const std::uint64_t* c, int w, int inputs, int pattern) {
  std::vector<std::uint64_t> m(c, c + 2 * w);
  for (int i = 0; i < inputs; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << (i & 63);
    const int k = i >> 6;
    if ((m[static_cast<std::size_t>(k)] | m[static_cast<std::size_t>(w + k)]) & bit) continue;
    const int value = pattern < 2 ? pattern : (i + pattern) & 1;
    m[static_cast<std::size_t>(value ? w + k : k)] |= bit;
  }
  return m;
}

}  // namespace

long long IncompatibleBound(const RefineSource& src, const IncompatibleParams& params) {
  const int w = src.on.cubes.words();
  std::vector<Point> points;
  for (int k = 0; k < src.on.cubes.size() && static_cast<int>(points.size()) < params.maxPoints; ++k) {
    const std::uint64_t* c = src.on.cubes.cube(k);
    int literals = 0;
    for (int q = 0; q < 2 * w; ++q) literals += __builtin_popcountll(c[q]);
    src.on.outputs[static_cast<std::size_t>(k)].forEach([&](int j) {
      for (int v = 0; v < (literals < src.inputs ? kPatterns : 1); ++v)
        points.push_back({corner(c, w, src.inputs, v), j, literals});
    });
  }
  // The smallest cubes first: their points are the hardest to share.
  std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.literals > b.literals; });
  DeadlineProbe probe(params.deadline, 16);
  std::vector<const Point*> chosen;
  std::vector<int> meeting;
  std::vector<std::uint64_t> span(static_cast<std::size_t>(2 * w));
  auto shareable = [&](const Point& a, const Point& b) {
    if (params.perOutput && a.output != b.output) return false;
    for (int q = 0; q < 2 * w; ++q) span[static_cast<std::size_t>(q)] = a.minterm[static_cast<std::size_t>(q)] & b.minterm[static_cast<std::size_t>(q)];
    src.off.index.meeting(src.off.cubes, span.data(), meeting);
    for (int r : meeting) {
      const OutputSet& o = src.off.outputs[static_cast<std::size_t>(r)];
      if ((o.test(a.output) || o.test(b.output)) && packedMeet(src.off.cubes.cube(r), span.data(), w)) return false;
    }
    return true;
  };
  // Greedy sets in two orders (smallest cubes first, then the points of each cube size in reverse).
  std::size_t best = 0;
  for (int pass = 0; pass < 2 && !probe.expired(); ++pass) {
    chosen.clear();
    for (std::size_t k = 0; k < points.size(); ++k) {
      const Point& p = points[pass == 0 ? k : points.size() - 1 - k];
      if (probe.expired()) break;
      bool alone = true;
      for (const Point* q : chosen)
        if (shareable(p, *q)) {
          alone = false;
          break;
        }
      if (alone) chosen.push_back(&p);
    }
    best = std::max(best, chosen.size());
    if (pass == 0)  // the second pass keeps the smallest cubes first, later cubes of a size before earlier ones
      std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.literals < b.literals; });
  }
  return static_cast<long long>(best);
}

}  // namespace vorn
