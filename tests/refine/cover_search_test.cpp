// The local search over the pool's covering problem: a cheaper cover found
// where the start is a costly one (checked by hand), covers that are whole and
// never costlier than the start on seeded random problems, the optimum of
// small ones against all subsets, the same walk from the same draws, no
// answer from a start that is not a cover, and the same moves as a plainly
// written walk that counts every score afresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
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

/// The walk written plainly, as an oracle of the walk's bookkeeping: every score is counted afresh
/// from the cover and the weights where it is read.  Its open columns are kept in the same order as the
/// walk's (a list where a removed column's place goes to the last one), since both draw by place.
class PlainWalk {
 public:
  PlainWalk(const PrimePool::Problem& p, long long tabu)
      : p_(p), tabu_(tabu), in_(p.cost.size(), false), left_(p.cost.size(), -1), cells_(p.cost.size()),
        weight_(p.columns.size(), 1), covers_(p.columns.size(), 0), place_(p.columns.size(), -1) {
    for (std::size_t c = 0; c < p.columns.size(); ++c) {
      for (int r : p.columns[c]) cells_[static_cast<std::size_t>(r)].push_back(static_cast<int>(c));
      open(static_cast<int>(c));
    }
  }
  long long cost = 0;
  std::vector<int> touched;

  bool covered() const { return open_.empty(); }
  std::vector<int> rows() const {
    std::vector<int> out;
    for (std::size_t r = 0; r < in_.size(); ++r)
      if (in_[r]) out.push_back(static_cast<int>(r));
    return out;
  }
  void add(int r) {
    in_[static_cast<std::size_t>(r)] = true;
    cost += p_.cost[static_cast<std::size_t>(r)];
    touched.clear();
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const int n = ++covers_[static_cast<std::size_t>(c)];
      if (n == 1) close(c);
      if (n == 2)
        for (int q : p_.columns[static_cast<std::size_t>(c)])
          if (q != r && in_[static_cast<std::size_t>(q)]) touched.push_back(q);
    }
  }
  void remove(int r, long long move) {
    in_[static_cast<std::size_t>(r)] = false;
    left_[static_cast<std::size_t>(r)] = move;
    cost -= p_.cost[static_cast<std::size_t>(r)];
    for (int c : cells_[static_cast<std::size_t>(r)])
      if (--covers_[static_cast<std::size_t>(c)] == 0) open(c);
  }
  long long score(int r) const {
    long long s = 0;
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const int n = covers_[static_cast<std::size_t>(c)];
      if (in_[static_cast<std::size_t>(r)] ? n == 1 : n == 0) s += weight_[static_cast<std::size_t>(c)];
    }
    return s;
  }
  /// Row a holds more weight per cost than b, or as much and left earlier.
  bool above(int a, int b) const {
    const long long x = score(a) * p_.cost[static_cast<std::size_t>(b)], y = score(b) * p_.cost[static_cast<std::size_t>(a)];
    return x > y || (x == y && left_[static_cast<std::size_t>(a)] < left_[static_cast<std::size_t>(b)]);
  }
  /// Row a holds less weight per cost than b, or as little and left earlier.
  bool below(int a, int b) const {
    const long long x = score(a) * p_.cost[static_cast<std::size_t>(b)], y = score(b) * p_.cost[static_cast<std::size_t>(a)];
    return x < y || (x == y && left_[static_cast<std::size_t>(a)] < left_[static_cast<std::size_t>(b)]);
  }
  /// The first of the rows below which no other lies (rows go up, so a later one replaces the pick only
  /// by lying below it).
  int cheapestToDrop(int except) const {
    int pick = -1;
    for (int r = 0; r < static_cast<int>(in_.size()); ++r)
      if (in_[static_cast<std::size_t>(r)] && r != except && (pick < 0 || below(r, pick))) pick = r;
    return pick;
  }
  int bestToAdd(int c, long long move) const {
    int pick = -1, any = -1;
    for (int q : p_.columns[static_cast<std::size_t>(c)]) {
      if (any < 0 || above(q, any)) any = q;
      const long long left = left_[static_cast<std::size_t>(q)];
      if ((left < 0 || left < move - tabu_) && (pick < 0 || above(q, pick))) pick = q;
    }
    return pick >= 0 ? pick : any;
  }
  void dropRedundant(long long move) {
    std::vector<int> spare = touched;
    std::sort(spare.begin(), spare.end(), [&](int a, int b) {
      const long long x = p_.cost[static_cast<std::size_t>(a)], y = p_.cost[static_cast<std::size_t>(b)];
      return x > y || (x == y && a < b);
    });
    spare.erase(std::unique(spare.begin(), spare.end()), spare.end());
    for (int r : spare)
      if (in_[static_cast<std::size_t>(r)] && score(r) == 0) remove(r, move);
  }
  void weighOpen() {
    for (int c : open_) ++weight_[static_cast<std::size_t>(c)];
  }
  int drawOpen(Random& random) const { return open_[static_cast<std::size_t>(random.randomBelow(static_cast<int>(open_.size())))]; }

 private:
  void open(int c) {
    place_[static_cast<std::size_t>(c)] = static_cast<int>(open_.size());
    open_.push_back(c);
  }
  void close(int c) {
    const int at = place_[static_cast<std::size_t>(c)], last = open_.back();
    open_[static_cast<std::size_t>(at)] = last;
    place_[static_cast<std::size_t>(last)] = at;
    open_.pop_back();
    place_[static_cast<std::size_t>(c)] = -1;
  }
  const PrimePool::Problem& p_;
  long long tabu_;
  std::vector<bool> in_;
  std::vector<long long> left_;
  std::vector<std::vector<int>> cells_;
  std::vector<long long> weight_;
  std::vector<int> covers_, open_, place_;
};

/// SearchCover's loop over the plain walk.
long long plainSearch(const PrimePool::Problem& p, const std::vector<int>& start, std::uint32_t seed,
                      const CoverSearchParams& params, std::vector<int>& best, CoverSearchStats& stats) {
  Random random;
  random.seedRandom(seed);
  auto w = std::make_unique<PlainWalk>(p, params.tabu);
  for (int r : start) w->add(r);
  best = start;
  long long bestCost = w->covered() ? w->cost : -1;
  if (bestCost < 0) return bestCost;
  int entered = -1;
  long long lastGain = 0;
  for (long long move = 0; move < params.maxMoves; ++move) {
    if (w->covered() && w->cost < bestCost) {
      bestCost = w->cost;
      best = w->rows();
      lastGain = move;
      ++stats.improvements;
    }
    if (params.restart > 0 && move - lastGain > params.restart) {
      w = std::make_unique<PlainWalk>(p, params.tabu);
      for (int r : best) w->add(r);
      lastGain = move;
      entered = -1;
      continue;
    }
    while (w->covered() || w->cost >= bestCost) {
      const int r = w->cheapestToDrop(entered);
      if (r < 0) break;
      w->remove(r, move);
      entered = -1;
    }
    if (w->covered()) break;
    w->weighOpen();
    const int r = w->bestToAdd(w->drawOpen(random), move);
    if (r < 0) break;
    w->add(r);
    entered = r;
    w->dropRedundant(move);
    ++stats.moves;
  }
  std::sort(best.begin(), best.end());
  return bestCost;
}

TEST(CoverSearch, MakesTheMovesOfThePlainWalk) {
  std::mt19937 rng(99);
  for (int round = 0; round < 24; ++round) {
    const int rows = 20 + 15 * (round % 6), columns = 30 + 20 * (round % 5);
    const PrimePool::Problem p = randomProblem(rng, rows, columns);
    CoverSearchParams params;
    params.maxMoves = 1500;
    params.tabu = round % 3 == 0 ? 0 : 10;
    params.restart = round % 2 == 0 ? 0 : 200;
    const std::uint32_t seed = static_cast<std::uint32_t>(round + 1);
    Random random;
    random.seedRandom(seed);
    std::vector<int> fast, plain;
    CoverSearchStats fastStats, plainStats;
    const long long a = SearchCover(p, allRows(p), random, params, fast, fastStats);
    const long long b = plainSearch(p, allRows(p), seed, params, plain, plainStats);
    const std::string where = "round " + std::to_string(round);
    EXPECT_EQ(a, b) << where;
    EXPECT_EQ(fast, plain) << where;
    EXPECT_EQ(fastStats.moves, plainStats.moves) << where;
    EXPECT_EQ(fastStats.improvements, plainStats.improvements) << where;
  }
}

}  // namespace
}  // namespace vorn
