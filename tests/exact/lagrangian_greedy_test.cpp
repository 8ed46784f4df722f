// The greedy cover from column prices on seeded random problems: every
// column covered, no row left that the others make redundant, whatever the
// prices; at the relaxation's multipliers never below the bound; and no
// cover where a column has no row.
#include <gtest/gtest.h>

#include <random>

#include "exact/lagrangian_bound.h"
#include "support/random_covering.h"
#include "exact/lagrangian_greedy.h"

namespace vorn {
namespace {

LagrangianProblem randomProblem(std::uint32_t seed, int rows, int columns, int maxCost) {
  return randomCoveringProblem(seed, rows, columns, maxCost, 5, 1);
}

/// \brief How many of the rows hold each column.
std::vector<int> holders(const LagrangianProblem& p, const std::vector<int>& rows) {
  std::vector<int> count(static_cast<std::size_t>(p.columns), 0);
  for (int r : rows)
    for (int c : p.cells[static_cast<std::size_t>(r)]) ++count[static_cast<std::size_t>(c)];
  return count;
}

TEST(LagrangianGreedy, CoversEveryColumnWithoutRedundantRows) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const LagrangianProblem p = randomProblem(seed, 10 + static_cast<int>(seed % 40), 5 + static_cast<int>(seed % 60),
                                              seed % 2 ? 1 : 7);
    LagrangianParams lp;
    lp.iterations = 200;
    const LagrangianResult l = LagrangianBound(p, lp);
    std::mt19937 rng(seed);
    std::vector<double> drawn(static_cast<std::size_t>(p.columns));
    for (double& u : drawn) u = static_cast<double>(rng() % 100) / 25.0;
    for (const std::vector<double>& u : {l.multipliers, drawn, std::vector<double>(drawn.size(), 0.0)}) {
      const std::vector<int> rows = LagrangianGreedy(p, u);
      const std::vector<int> count = holders(p, rows);
      EXPECT_TRUE(std::all_of(count.begin(), count.end(), [](int n) { return n > 0; })) << "seed " << seed;
      for (int r : rows) {
        const std::vector<int>& cells = p.cells[static_cast<std::size_t>(r)];
        EXPECT_TRUE(std::any_of(cells.begin(), cells.end(), [&](int c) { return count[static_cast<std::size_t>(c)] == 1; }))
            << "seed " << seed << ": row " << r << " is redundant";
      }
      std::vector<int> sorted(rows);
      std::sort(sorted.begin(), sorted.end());
      EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "seed " << seed;
      long long cost = 0;
      for (int r : rows) cost += p.cost[static_cast<std::size_t>(r)];
      EXPECT_GE(cost, l.bound) << "seed " << seed;
    }
  }
}

TEST(LagrangianGreedy, NoCoverWhereAColumnHasNoRow) {
  LagrangianProblem p;
  p.columns = 3;
  p.cost = {1, 2};
  p.cells = {{0}, {0, 2}};  // column 1 in no row
  EXPECT_TRUE(LagrangianGreedy(p, {0.5, 0.5, 0.5}).empty());
}

}  // namespace
}  // namespace vorn
