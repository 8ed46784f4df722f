#include "exact/incompatible_points.h"

#include <algorithm>

#include "unate/cofactor.h"

namespace vorn {

namespace {

struct Point {
  OnPoint at;
  int rank = 0;         ///< order of trial: witnesses first, then the smallest on-set cubes
  long long weight = 1; ///< what a term holding it costs at least
  std::vector<Word> fixed;  ///< the inputs every term holding it keeps at its values (OffNeighbourInputs)
};

/// Ways to fill the free inputs of a cube: all 0, all 1, and the two alternations.
constexpr int kPatterns = 4;

/// \brief The minterm of the packed cube c (w words per mask) with its free inputs filled by `pattern`.
std::vector<Word> corner(const Word* c, int w, int inputs, int pattern) {
  std::vector<Word> m(c, c + 2 * w);
  for (int i = 0; i < inputs; ++i) {
    const Word bit = bits::bitOf(i);
    const int k = bits::wordOf(i);
    if ((m[static_cast<std::size_t>(k)] | m[static_cast<std::size_t>(w + k)]) & bit) continue;
    const int value = pattern < 2 ? pattern : (i + pattern) & 1;
    m[static_cast<std::size_t>(value ? w + k : k)] |= bit;
  }
  return m;
}

/// \brief The least cost, by the criterion, of a term that keeps the inputs `fixed` (one bit each).
long long weightOf(const std::vector<Word>& fixed, int criterion) {
  if (criterion == 0 || criterion == 2) return 1;
  return bits::countBits(fixed.data(), static_cast<int>(fixed.size())) + (criterion == 3 ? 1 : 0);
}

/// Points of the first group put in a graph at most (its bit matrix grows with the square).
constexpr int kMaxGraphPoints = 4000;

/// \brief Grows the independent set `chosen` of the graph (rows of `words` words) by swaps: one chosen
/// vertex out, two that no other chosen vertex is next to and that are not next to each other in,
/// when they weigh more; until no such swap is left.
template <typename Weight>
void improveBySwaps(int n, int words, const std::vector<Word>& graph, Weight&& weight, std::vector<int>& chosen,
                    DeadlineProbe& probe) {
  auto row = [&](int a) { return graph.data() + static_cast<std::size_t>(a) * static_cast<std::size_t>(words); };
  std::vector<Word> in(static_cast<std::size_t>(words), 0);
  for (int a : chosen) bits::setBit(in.data(), a);
  for (bool again = true; again && !probe.expired();) {
    again = false;
    for (std::size_t k = 0; k < chosen.size() && !again; ++k) {
      const int x = chosen[k];
      // The vertices whose only chosen neighbour is x.
      std::vector<int> free;
      bits::forEachBit(row(x), words, [&](int v) {
        if (weight(v) > 0 && bits::countCommonBits(row(v), in.data(), words) == 1) free.push_back(v);
      });
      for (std::size_t a = 0; a < free.size() && !again; ++a)
        for (std::size_t b = a + 1; b < free.size() && !again; ++b) {
          const int u = free[a], v = free[b];
          if (bits::testBit(row(u), v) || weight(u) + weight(v) <= weight(x)) continue;
          bits::clearBit(in.data(), x);
          bits::setBit(in.data(), u);
          bits::setBit(in.data(), v);
          chosen[k] = u;
          chosen.push_back(v);
          again = true;
        }
    }
  }
  (void)n;
}

/// \brief A set of pairwise incompatible points among 0..n-1, picked greedily by the least compatible
/// first (heavier first among equals); `shareable(a, b)` tells whether one term can hold both.
template <typename Shareable, typename Weight>
std::vector<int> independentSet(int n, Shareable&& shareable, Weight&& weight, DeadlineProbe& probe) {
  const int words = bits::wordsFor(n);
  std::vector<Word> graph(static_cast<std::size_t>(n) * static_cast<std::size_t>(words), 0);
  auto row = [&](int a) { return graph.data() + static_cast<std::size_t>(a) * static_cast<std::size_t>(words); };
  for (int a = 0; a < n; ++a) {
    if (probe.expired()) return {};
    for (int b = a + 1; b < n; ++b)
      if (shareable(a, b)) bits::setBit(row(a), b), bits::setBit(row(b), a);
  }
  std::vector<Word> live(static_cast<std::size_t>(words), 0);
  for (int a = 0; a < n; ++a)
    if (weight(a) > 0) bits::setBit(live.data(), a);
  std::vector<int> chosen;
  while (bits::anyBit(live.data(), words)) {
    int pick = -1, pickDegree = 0;
    bits::forEachBit(live.data(), words, [&](int a) {
      const int degree = bits::countCommonBits(row(a), live.data(), words);
      if (pick < 0 || degree < pickDegree || (degree == pickDegree && weight(a) > weight(pick)))
        pick = a, pickDegree = degree;
    });
    chosen.push_back(pick);
    bits::clearBit(live.data(), pick);
    for (int w = 0; w < words; ++w) live[static_cast<std::size_t>(w)] &= ~row(pick)[w];
  }
  improveBySwaps(n, words, graph, weight, chosen, probe);
  return chosen;
}

}  // namespace

long long IncompatibleBound(const RefineSource& src, const IncompatibleParams& params) {
  const int w = src.on.cubes.words();
  DeadlineProbe probe(params.deadline, 16);
  std::vector<Point> points;
  const int witnesses = static_cast<int>(params.first.size());
  for (const OnPoint& p : params.first) points.push_back({p, 0, 1, {}});
  for (int k = 0; k < src.on.cubes.size() && static_cast<int>(points.size()) < params.maxPoints + witnesses; ++k) {
    const Word* c = src.on.cubes.cube(k);
    const int literals = bits::countBits(c, 2 * w);
    src.on.outputs[static_cast<std::size_t>(k)].forEach([&](int j) {
      for (int v = 0; v < (literals < src.inputs ? kPatterns : 1); ++v)
        points.push_back({{corner(c, w, src.inputs, v), j, {}}, src.inputs + 1 - literals, 1, {}});
    });
  }
  for (Point& p : points) {
    if (probe.expired()) return 0;
    p.fixed = OffNeighbourInputs(src, p.at);
    p.weight = weightOf(p.fixed, params.criterion);
  }
  std::vector<int> meeting;
  std::vector<Word> span(static_cast<std::size_t>(2 * w));
  // The off-set cubes of either point's output that the supercube meets: from the off-set's literal
  // columns when it has them (a few word operations per literal the points share), else by its index.
  const bool columns = src.off.hasColumns();
  const std::size_t blocks = columns ? src.off.columns.blocks() : 0;
  std::vector<Word> among(blocks), scratch(blocks);
  auto shareable = [&](const Point& pa, const Point& pb) {
    const OnPoint& a = pa.at;
    const OnPoint& b = pb.at;
    if (params.criterion == 2 && a.output != b.output) return false;
    // A term holding both frees the inputs where the minterms differ; where one of them has an off-set
    // neighbour across such an input, the term holds that neighbour.  Most pairs end here.
    for (int q = 0; q < w; ++q) {
      const Word differ = a.minterm[static_cast<std::size_t>(w + q)] ^ b.minterm[static_cast<std::size_t>(w + q)];
      if (differ & (pa.fixed[static_cast<std::size_t>(q)] | pb.fixed[static_cast<std::size_t>(q)])) return false;
    }
    for (int q = 0; q < 2 * w; ++q)
      span[static_cast<std::size_t>(q)] = a.minterm[static_cast<std::size_t>(q)] & b.minterm[static_cast<std::size_t>(q)];
    if (columns) {
      const Word* of = src.off.ofBits[static_cast<std::size_t>(a.output)].data();
      if (b.output != a.output) {
        const Word* other = src.off.ofBits[static_cast<std::size_t>(b.output)].data();
        bits::assignWords(among.data(), static_cast<int>(blocks), [&](int k) { return of[k] | other[k]; });
        of = among.data();
      }
      return !src.off.columns.meetsAnyOf(span.data(), of, scratch.data());
    }
    src.off.index.meeting(src.off.cubes, span.data(), meeting);
    for (int r : meeting) {
      const OutputSet& o = src.off.outputs[static_cast<std::size_t>(r)];
      if ((o.test(a.output) || o.test(b.output)) && cubesMeet(src.off.cubes.cube(r), span.data(), w)) return false;
    }
    return true;
  };
  // The first points by a greedy independent set over their conflict graph (fewest compatible others
  // first), the rest added in rank order; then greedy sets in two more orders: the other points alone
  // by rank, heavier points first within a rank, and all points with those of each rank in reverse.
  std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.weight > b.weight;
  });
  std::vector<const Point*> chosen;
  long long total = 0;
  auto addRest = [&](std::size_t from, bool reverse) {
    for (std::size_t k = from; k < points.size(); ++k) {
      const Point& p = points[reverse ? points.size() - 1 - (k - from) : k];
      if (p.weight <= 0 || probe.expired()) continue;
      const bool alone = std::none_of(chosen.begin(), chosen.end(), [&](const Point* q) { return shareable(p, *q); });
      if (alone) {
        chosen.push_back(&p);
        total += p.weight;
      }
    }
  };
  const int graphed = std::min(witnesses, kMaxGraphPoints);
  for (int k : independentSet(graphed, [&](int a, int b) { return shareable(points[static_cast<std::size_t>(a)],
                                                                         points[static_cast<std::size_t>(b)]); },
                              [&](int a) { return points[static_cast<std::size_t>(a)].weight; }, probe)) {
    chosen.push_back(&points[static_cast<std::size_t>(k)]);
    total += points[static_cast<std::size_t>(k)].weight;
  }
  addRest(static_cast<std::size_t>(graphed), false);
  long long best = total;
  for (int pass = 0; pass < 2 && !probe.expired(); ++pass) {
    chosen.clear();
    total = 0;
    addRest(pass == 0 ? static_cast<std::size_t>(witnesses) : 0, pass == 1);  // the first pass without them
    best = std::max(best, total);
    if (pass == 0)  // the second pass keeps the ranks, later points of a rank before earlier ones
      std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.rank > b.rank; });
  }
  return best;
}

}  // namespace vorn
