// The covering branch and bound against brute force over every subset of
// rows on seeded random weighted problems: the minimum, the proof, a lower
// bound never above the minimum when the search is cut short, and the
// outside upper bound that only cheaper covers may beat.
#include <gtest/gtest.h>

#include <random>

#include "exact/unate_covering.h"

namespace vorn {
namespace {

CoveringProblem randomProblem(std::uint32_t seed, int rows, int columns, int maxCost) {
  std::mt19937 rng(seed);
  CoveringProblem p;
  for (int r = 0; r < rows; ++r) p.cost.push_back(static_cast<long long>(rng() % maxCost) + (maxCost > 1 ? 0 : 1));
  for (int c = 0; c < columns; ++c) {
    std::vector<int> col;
    for (int r = 0; r < rows; ++r)
      if (rng() % 4 == 0) col.push_back(r);
    if (col.empty()) col.push_back(static_cast<int>(rng() % rows));
    p.columns.push_back(col);
  }
  return p;
}

bool covers(const CoveringProblem& p, const std::vector<int>& rows) {
  for (const std::vector<int>& col : p.columns) {
    bool hit = false;
    for (int r : rows) hit = hit || std::find(col.begin(), col.end(), r) != col.end();
    if (!hit) return false;
  }
  return true;
}

long long bruteMinimum(const CoveringProblem& p) {
  const int n = static_cast<int>(p.cost.size());
  long long best = LLONG_MAX;
  for (std::uint32_t s = 0; s < (1u << n); ++s) {
    std::vector<int> rows;
    long long cost = 0;
    for (int r = 0; r < n; ++r)
      if ((s >> r) & 1) rows.push_back(r), cost += p.cost[static_cast<std::size_t>(r)];
    if (cost < best && covers(p, rows)) best = cost;
  }
  return best;
}

long long costOf(const CoveringProblem& p, const std::vector<int>& rows) {
  long long c = 0;
  for (int r : rows) c += p.cost[static_cast<std::size_t>(r)];
  return c;
}

TEST(UnateCovering, FindsTheMinimumOfRandomProblems) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const int maxCost = seed % 3 == 0 ? 1 : 6;  // unit costs (terms) and weighted (literals)
    const CoveringProblem p = randomProblem(seed, 8 + static_cast<int>(seed % 9), 6 + static_cast<int>(seed % 20), maxCost);
    const CoveringResult r = SolveCovering(p, CoveringParams{});
    const long long want = bruteMinimum(p);
    ASSERT_TRUE(r.improved) << "seed " << seed;
    EXPECT_TRUE(covers(p, r.rows)) << "seed " << seed;
    EXPECT_EQ(costOf(p, r.rows), r.cost);
    EXPECT_EQ(r.cost, want) << "seed " << seed;
    EXPECT_TRUE(r.proven);
    EXPECT_EQ(r.lowerBound, want);
  }
}

TEST(UnateCovering, CutShortItKeepsAValidCoverAndABoundBelowTheMinimum) {
  int unproven = 0;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const CoveringProblem p = randomProblem(seed + 500, 16, 30, seed % 2 ? 1 : 5);
    CoveringParams params;
    params.maxNodes = 1;
    const CoveringResult r = SolveCovering(p, params);
    const long long want = bruteMinimum(p);
    EXPECT_LE(r.lowerBound, want) << "seed " << seed;
    ASSERT_TRUE(r.improved) << "seed " << seed;  // the greedy cover stands at least
    EXPECT_TRUE(covers(p, r.rows));
    EXPECT_GE(r.cost, want);
    if (!r.proven) ++unproven;
    else EXPECT_EQ(r.cost, want);
  }
  EXPECT_GT(unproven, 0);  // the cut must have mattered somewhere
}

TEST(UnateCovering, AnOutsideCoverAsCheapAsTheMinimumIsProvenMinimal) {
  const CoveringProblem p = randomProblem(77, 12, 16, 4);
  const long long want = bruteMinimum(p);
  CoveringParams params;
  params.upperBound = want;
  const CoveringResult r = SolveCovering(p, params);
  EXPECT_FALSE(r.improved);
  EXPECT_TRUE(r.proven);
  EXPECT_EQ(r.lowerBound, want);
  params.upperBound = want + 1;
  const CoveringResult better = SolveCovering(p, params);
  ASSERT_TRUE(better.improved);
  EXPECT_EQ(better.cost, want);
}

TEST(UnateCovering, CyclicCoreWithoutEssentialRows) {
  // Six rows in a ring over six columns: each column has two rows, none is essential or dominated.
  CoveringProblem p;
  p.cost.assign(6, 1);
  for (int c = 0; c < 6; ++c) p.columns.push_back({c, (c + 1) % 6});
  const CoveringResult r = SolveCovering(p, CoveringParams{});
  EXPECT_EQ(r.coreRows, 6);
  EXPECT_EQ(r.coreColumns, 6);
  EXPECT_EQ(r.cost, 3);
  EXPECT_TRUE(r.proven);
}

TEST(UnateCovering, EmptyProblemAndZeroCostRows) {
  const CoveringResult none = SolveCovering(CoveringProblem{}, CoveringParams{});
  EXPECT_TRUE(none.improved);
  EXPECT_EQ(none.cost, 0);
  EXPECT_TRUE(none.rows.empty());
  CoveringProblem p;
  p.cost = {0, 3, 3};
  p.columns = {{0, 1}, {1, 2}, {0, 2}};
  const CoveringResult r = SolveCovering(p, CoveringParams{});
  EXPECT_EQ(r.cost, 3);
  EXPECT_TRUE(covers(p, r.rows));
}

}  // namespace
}  // namespace vorn
