// The Lagrangian bound of covering problems against brute force over every
// subset of rows: never above the minimum, the rounding up that closes an
// odd ring, and the reduced costs' claims about covers with and without a
// row, on which the branch and bound drops and chooses rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "exact/lagrangian_bound.h"
#include "support/random_covering.h"

namespace vorn {
namespace {

LagrangianProblem randomProblem(std::uint32_t seed, int rows, int columns, int maxCost) {
  return randomCoveringProblem(seed, rows, columns, maxCost, 4, maxCost > 1 ? 0 : 1);
}

/// The cheapest cover whose rows include `in` and exclude `out` (-1: no such row); LLONG_MAX when none.
long long bruteMinimum(const LagrangianProblem& p, int in = -1, int out = -1) {
  const int n = static_cast<int>(p.cost.size());
  long long best = LLONG_MAX;
  for (std::uint32_t s = 0; s < (1u << n); ++s) {
    if ((in >= 0 && !((s >> in) & 1)) || (out >= 0 && ((s >> out) & 1))) continue;
    std::vector<char> hit(static_cast<std::size_t>(p.columns), 0);
    long long cost = 0;
    for (int r = 0; r < n; ++r)
      if ((s >> r) & 1) {
        cost += p.cost[static_cast<std::size_t>(r)];
        for (int c : p.cells[static_cast<std::size_t>(r)]) hit[static_cast<std::size_t>(c)] = 1;
      }
    if (cost < best && std::all_of(hit.begin(), hit.end(), [](char h) { return h != 0; })) best = cost;
  }
  return best;
}

TEST(LagrangianBound, NeverAboveTheMinimumAndTheReducedCostsHold) {
  int reached = 0, fixable = 0;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const int maxCost = seed % 3 == 0 ? 1 : 7;  // unit costs (terms) and weighted (literals)
    const LagrangianProblem p = randomProblem(seed, 6 + static_cast<int>(seed % 8), 5 + static_cast<int>(seed % 15), maxCost);
    const long long want = bruteMinimum(p);
    LagrangianParams params;
    params.iterations = 500;
    if (seed % 2) params.upperBound = want + 1;  // with and without a known cover to aim at
    const LagrangianResult l = LagrangianBound(p, params);
    EXPECT_LE(l.bound, want) << "seed " << seed;
    EXPECT_EQ(l.bound, BoundOf(l.value));
    if (l.bound == want) ++reached;
    // L at the returned multipliers is what was reported, with those reduced costs.
    std::vector<double> rc;
    EXPECT_NEAR(LagrangianValue(p, l.multipliers, rc), l.value, 1e-9);
    ASSERT_EQ(rc.size(), l.reducedCost.size());
    for (std::size_t r = 0; r < rc.size(); ++r) {
      EXPECT_NEAR(rc[r], l.reducedCost[r], 1e-9);
      const double d = rc[r];
      if (d > 0) {
        EXPECT_GE(bruteMinimum(p, static_cast<int>(r)), BoundOf(l.value + d)) << "seed " << seed << " row " << r;
        if (BoundOf(l.value + d) > want) ++fixable;
      } else if (d < 0) {
        EXPECT_GE(bruteMinimum(p, -1, static_cast<int>(r)), BoundOf(l.value - d)) << "seed " << seed << " row " << r;
      }
    }
  }
  EXPECT_GT(reached, 30);  // the relaxation is mostly tight on such problems
  EXPECT_GT(fixable, 0);   // and its reduced costs rule rows out
}

TEST(LagrangianBound, AnOddRingIsRoundedUpToItsMinimum) {
  // Five rows in a ring over five columns, each row two neighbours: the relaxation gives 2.5, every cover 3.
  LagrangianProblem p;
  p.columns = 5;
  for (int r = 0; r < 5; ++r) {
    p.cost.push_back(1);
    p.cells.push_back({r, (r + 1) % 5});
  }
  LagrangianParams params;
  params.iterations = 2000;
  const LagrangianResult l = LagrangianBound(p, params);
  EXPECT_GT(l.value, 2.4);
  EXPECT_LE(l.value, 2.5 + 1e-9);
  EXPECT_EQ(l.bound, 3);
}

TEST(LagrangianBound, StopsOnceTheBoundReachesTheKnownCover) {
  // Column 0 has one row, of cost 4; column 1 a free one: the bound climbs to 4, the known cover's cost.
  LagrangianProblem p;
  p.columns = 2;
  p.cost = {4, 1, 0};
  p.cells = {{0}, {}, {1}};
  LagrangianParams params;
  params.iterations = 100000;
  params.upperBound = 4;
  const LagrangianResult l = LagrangianBound(p, params);
  EXPECT_EQ(l.bound, 4);
  EXPECT_EQ(BoundOf(3.9999999999), 4);  // a sum rounded just below an integer is that integer
  EXPECT_EQ(BoundOf(3.5), 4);
  EXPECT_EQ(BoundOf(-2.0), 0);
}

}  // namespace
}  // namespace vorn
