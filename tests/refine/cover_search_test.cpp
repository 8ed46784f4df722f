// The local search over the pool's covering problem: a cheaper cover found
// where the start is a costly one (checked by hand), covers that are whole and
// never costlier than the start on seeded random problems, the optimum of
// small ones against all subsets, the same walk from the same draws, and no
// answer from a start that is not a cover.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "model/random.h"
#include "refine/cover_search.h"

namespace vorn {
namespace {

PrimePool::Problem problemOf(const std::vector<long long>& cost, const std::vector<std::vector<int>>& columns) {
  PrimePool::Problem p;
  p.cost = cost;
  p.columns = columns;
  for (std::size_t r = 0; r < cost.size(); ++r) p.cube.push_back(static_cast<int>(r));
  return p;
}

/// A random problem of `rows` rows over `columns` columns, every column held by 1 to 4 rows.
PrimePool::Problem randomProblem(std::mt19937& rng, int rows, int columns) {
  std::vector<long long> cost(static_cast<std::size_t>(rows));
  for (long long& c : cost) c = 2 + static_cast<long long>(rng() % 8);
  std::vector<std::vector<int>> cols(static_cast<std::size_t>(columns));
  for (auto& col : cols) {
    const int n = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < n; ++k) {
      const int r = static_cast<int>(rng() % static_cast<unsigned>(rows));
      if (std::find(col.begin(), col.end(), r) == col.end()) col.push_back(r);
    }
    std::sort(col.begin(), col.end());
  }
  return problemOf(cost, cols);
}

/// The cost of `rows` when they cover every column of p, else -1.
long long coverCost(const PrimePool::Problem& p, const std::vector<int>& rows) {
  for (const auto& col : p.columns)
    if (std::none_of(col.begin(), col.end(), [&](int r) { return std::find(rows.begin(), rows.end(), r) != rows.end(); }))
      return -1;
  long long cost = 0;
  for (int r : rows) cost += p.cost[static_cast<std::size_t>(r)];
  return cost;
}

std::vector<int> allRows(const PrimePool::Problem& p) {
  std::vector<int> rows(p.cost.size());
  for (std::size_t r = 0; r < rows.size(); ++r) rows[r] = static_cast<int>(r);
  return rows;
}

long long walk(const PrimePool::Problem& p, const std::vector<int>& start, std::uint32_t seed, std::vector<int>& best,
               long long moves = 3000) {
  Random random;
  random.seedRandom(seed);
  CoverSearchParams params;
  params.maxMoves = moves;
  CoverSearchStats stats;
  return SearchCover(p, start, random, params, best, stats);
}

TEST(CoverSearch, LeavesACostlyRowForTwoCheaperOnes) {
  // Columns 0..3: row 0 holds all at 10, rows 1 and 2 hold a half each at 3, row 3 holds column 3 at 2.
  const PrimePool::Problem p = problemOf({10, 3, 3, 2}, {{0, 1}, {0, 1}, {0, 2}, {0, 2, 3}});
  std::vector<int> best;
  EXPECT_EQ(walk(p, {0}, 1, best), 6);
  EXPECT_EQ(best, (std::vector<int>{1, 2}));
  // A start that is not a cover gives no answer.
  EXPECT_EQ(walk(p, {1}, 1, best), -1);
  // A start already optimal stays.
  EXPECT_EQ(walk(p, {2, 1}, 1, best), 6);
  EXPECT_EQ(coverCost(p, best), 6);
}

TEST(CoverSearch, FindsWholeCoversNoCostlierThanTheStartAndTheOptimumOfSmallProblems) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 40; ++round) {
    const int rows = 4 + round % 9, columns = 3 + round % 11;
    const PrimePool::Problem p = randomProblem(rng, rows, columns);
    const std::vector<int> start = allRows(p);
    const long long startCost = coverCost(p, start);
    std::vector<int> best;
    const long long found = walk(p, start, static_cast<std::uint32_t>(round), best);
    const std::string where = "round " + std::to_string(round);
    ASSERT_EQ(coverCost(p, best), found) << where;
    EXPECT_LE(found, startCost) << where;
    // The optimum over every subset of rows.
    long long optimum = LLONG_MAX;
    for (unsigned mask = 0; mask < (1u << rows); ++mask) {
      std::vector<int> pick;
      for (int r = 0; r < rows; ++r)
        if (mask >> r & 1) pick.push_back(r);
      const long long c = coverCost(p, pick);
      if (c >= 0) optimum = std::min(optimum, c);
    }
    EXPECT_EQ(found, optimum) << where;
  }
}

TEST(CoverSearch, SameDrawsGiveTheSameCover) {
  std::mt19937 rng(7);
  const PrimePool::Problem p = randomProblem(rng, 300, 400);
  std::vector<int> first, again;
  const long long a = walk(p, allRows(p), 5, first, 2000), b = walk(p, allRows(p), 5, again, 2000);
  EXPECT_EQ(a, b);
  EXPECT_EQ(first, again);
  EXPECT_EQ(coverCost(p, first), a);
  EXPECT_LT(a, coverCost(p, allRows(p)));
}

}  // namespace
}  // namespace vorn
