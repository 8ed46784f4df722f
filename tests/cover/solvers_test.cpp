// Covering solvers: validity of the greedy covers, minimality of the exact
// cover against enumeration, and the priority cover's tie-breaks.
#include "cover/solvers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "cover/cover_fixtures.h"
#include "model/random.h"
#include "model/settings.h"

namespace vorn::test {
namespace {

class CoverSolvers : public ::testing::Test {
 protected:
  RunContext run;
  TCovResult solve(TableProblem& p, int method) {
    run.settings.cpMethod = method;
    MatrixPtr m = p.matrix();
    return SolveCover(*m, run);
  }
};

TEST_F(CoverSolvers, WidthZeroReturnsNothingAndShowsNoProgress) {
  FunctionPtr src = makeFunction(2, 2, {{"11", "10"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"11", "10"}});
  int begins = 0;
  run.progress.begin = [&](const std::string&, int, int) { return ++begins; };
  for (int method = 0; method < 4; ++method) {
    run.settings.cpMethod = method;
    MatrixPtr m = BuildOutputMatrix(*imps, 1);
    TCovResult r = SolveCover(*m, run);
    EXPECT_EQ(r.cost, kNoCover);
    EXPECT_TRUE(r.chosen.empty());
    EXPECT_FALSE(r.uncoverable);
  }
  EXPECT_EQ(begins, 0);
}

TEST_F(CoverSolvers, SingleCoveringRowIsTheAnswerOfEveryMethod) {
  for (int method = 0; method < 4; ++method) {
    TableProblem p = fromTable({"1010", "1111", "0101"});
    TCovResult r = solve(p, method);
    EXPECT_EQ(r.cost, 1) << method;
    EXPECT_EQ(r.chosen, std::vector<int>{1}) << method;
    ASSERT_EQ(r.terms.size(), 1u);
    EXPECT_EQ(r.terms[0], p.implicants->head->next.get());
  }
}

TEST_F(CoverSolvers, UncoverableColumnIsReportedByEveryMethod) {
  for (int method = 0; method < 4; ++method) {
    TableProblem p = fromTable({"100", "010"});
    TCovResult r = solve(p, method);
    EXPECT_TRUE(r.uncoverable) << method;
    EXPECT_TRUE(r.chosen.empty());
  }
}

TEST_F(CoverSolvers, ProgressMessagesOfEachMethod) {
  const char* expected[] = {"Solving CP - Priority cover", "Solving CP - Contributive addition",
                            "Solving CP - COntributive removal", "Solving CP - exact"};
  for (int method = 0; method < 4; ++method) {
    std::string seen;
    run.progress.begin = [&](const std::string& msg, int, int) {
      seen = msg;
      return 0;
    };
    TableProblem p = fromTable({"110", "011"});
    solve(p, method);
    EXPECT_EQ(seen, expected[method]);
  }
}

TEST_F(CoverSolvers, GreedyCoversAreValidAndExactIsMinimum) {
  std::mt19937 rng(20240611);
  run.random.seedRandom(7);
  for (int trial = 0; trial < 300; ++trial) {
    const int rows = 1 + static_cast<int>(rng() % 12);
    const int cols = 1 + static_cast<int>(rng() % 18);
    std::vector<std::string> table = randomTable(rng, rows, cols, 15 + static_cast<int>(rng() % 40));
    const int minimum = bruteForceMinimum(table);
    for (int method = 0; method < 4; ++method) {
      TableProblem p = fromTable(table);
      TCovResult r = solve(p, method);
      ASSERT_FALSE(r.uncoverable);
      EXPECT_TRUE(coversTable(table, r.chosen)) << "trial " << trial << " method " << method;
      EXPECT_EQ(r.cost, static_cast<int>(r.chosen.size()));
      EXPECT_GE(r.cost, minimum);
      if (method == 3) {
        EXPECT_EQ(r.cost, minimum) << "trial " << trial;
      }
    }
  }
}

TEST_F(CoverSolvers, ExactPastItsDeadlineStillCoversEveryColumn) {
  // An expired time and a raised interrupt both end the branching; every open
  // state is completed, so the result is a cover, if not a minimum one.
  std::mt19937 rng(515);
  std::atomic<bool> raised{true};
  Deadline expired;
  expired.at = Deadline::Clock::now() - std::chrono::seconds(1);
  Deadline interrupted;
  interrupted.interrupt = &raised;
  Deadline later;
  later.at = Deadline::Clock::now() + std::chrono::hours(1);
  for (int trial = 0; trial < 100; ++trial) {
    std::vector<std::string> table =
        randomTable(rng, 2 + static_cast<int>(rng() % 10), 2 + static_cast<int>(rng() % 14), 30);
    const int minimum = bruteForceMinimum(table);
    for (const Deadline* d : {&expired, &interrupted, &later}) {
      TableProblem p = fromTable(table);
      MatrixPtr m = p.matrix();
      TCovResult r;
      SolveExact(*m, r, *d);
      ASSERT_NE(r.cost, kNoCover) << "trial " << trial;
      EXPECT_TRUE(coversTable(table, r.chosen)) << "trial " << trial;
      EXPECT_EQ(r.cost, static_cast<int>(r.chosen.size()));
      if (d == &later) {
        EXPECT_EQ(r.cost, minimum) << "trial " << trial;
      } else {
        EXPECT_GE(r.cost, minimum) << "trial " << trial;
      }
    }
  }
}

TEST_F(CoverSolvers, ExactSolvesIndependentBlocks) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 120; ++trial) {
    std::vector<std::string> a = randomTable(rng, 2 + static_cast<int>(rng() % 6), 2 + static_cast<int>(rng() % 8), 35);
    std::vector<std::string> b = randomTable(rng, 2 + static_cast<int>(rng() % 6), 2 + static_cast<int>(rng() % 8), 35);
    std::vector<std::string> table = blockTable(rng, a, b);
    TableProblem p = fromTable(table);
    TCovResult r = solve(p, 3);
    EXPECT_EQ(r.cost, bruteForceMinimum(a) + bruteForceMinimum(b)) << "trial " << trial;
    EXPECT_TRUE(coversTable(table, r.chosen));
  }
}

TEST_F(CoverSolvers, ExactIncludesTheLastLiveRowFirst) {
  // Rows 3 and 4 are essential.  The cycle of rows 0..2 is then branched on
  // m's last live row, row 0 (the head of the reversed copy); with it, row 1
  // is dominated by row 2, which becomes essential.
  TableProblem p = fromTable({"11000", "01100", "10100", "00010", "00001"});
  TCovResult r = solve(p, 3);
  EXPECT_EQ(r.cost, 4);
  // The copy reversed the chosen list [3, 4] before rows 0 and 2 were chosen.
  EXPECT_EQ(r.chosen, (std::vector<int>{2, 0, 4, 3}));
}

TEST_F(CoverSolvers, ExactListsTheHeadRowsBlockFirst) {
  // Two three-row cycles with no essential or dominated row: the head row 5
  // lies in the block of rows 3..5, whose rows come first in the result.
  TableProblem p = fromTable({"110000", "011000", "101000", "000110", "000011", "000101"});
  TCovResult r = solve(p, 3);
  ASSERT_EQ(r.cost, 4);
  ASSERT_EQ(r.chosen.size(), 4u);
  EXPECT_GE(r.chosen[0], 3);
  EXPECT_GE(r.chosen[1], 3);
  EXPECT_LT(r.chosen[2], 3);
  EXPECT_LT(r.chosen[3], 3);
  EXPECT_TRUE(coversTable(p.table, r.chosen));
}

TEST_F(CoverSolvers, PriorityTakesTheMostCoveringRowWithoutDrawing) {
  // Column 0 alone is least covered (rows 1 and 0); row 0 covers more.
  TableProblem p = fromTable({"11", "10", "01", "01"});
  run.random.seedRandom(5);
  TCovResult r = solve(p, 0);
  EXPECT_EQ(r.chosen, std::vector<int>{0});
  const int next = run.random.nextRandom();
  run.random.seedRandom(5);
  EXPECT_EQ(next, run.random.nextRandom());  // nothing was drawn
}

TEST_F(CoverSolvers, PriorityBreaksCountTiesByFreeCount) {
  // Every row covers one column; row 1 is the largest cube.
  TableProblem p = fromTable({"10", "10", "01", "01"}, {2, 5, 2, 3});
  run.random.seedRandom(11);
  TCovResult r = solve(p, 0);
  ASSERT_EQ(r.chosen.size(), 2u);
  EXPECT_EQ(r.chosen[1], 1);  // chosen first
  EXPECT_EQ(r.chosen[0], 3);  // then the larger of the rows of column 1
  const int next = run.random.nextRandom();
  run.random.seedRandom(11);
  EXPECT_EQ(next, run.random.nextRandom());
}

TEST_F(CoverSolvers, PriorityDrawsAmongFullyTiedPairsInScanOrder) {
  for (std::uint32_t seed = 1; seed < 40; ++seed) {
    TableProblem p = fromTable({"10", "01", "10", "01"});
    run.random.seedRandom(seed);
    const int d1 = run.random.nextRandom(), d2 = run.random.nextRandom();
    // Pairs in scan order: column 1 (rows 3, 1), then column 0 (rows 2, 0).
    const int pairs[] = {3, 1, 2, 0};
    const int first = pairs[d1 % 4];
    const int rest[2][2] = {{2, 0}, {3, 1}};  // the other column's rows
    const int second = rest[first == 3 || first == 1 ? 0 : 1][d2 % 2];
    run.random.seedRandom(seed);
    TCovResult r = solve(p, 0);
    EXPECT_EQ(r.chosen, (std::vector<int>{second, first})) << seed;
  }
}

TEST_F(CoverSolvers, ContributiveAdditionTakesHeaviestRowFirstInOrder) {
  // Weights: row 0 = 1/2 + 1/2, row 1 = 1/2, row 2 = 1/2 + 1 (column 2 has no other row).
  TableProblem p = fromTable({"110", "100", "011"});
  TCovResult r = solve(p, 1);
  // Row 2 (1/2 + 1) first; column 0 is then left with rows 1 and 0 at 1/2 each: row 1 is met first.
  EXPECT_EQ(r.chosen, (std::vector<int>{1, 2}));
}

TEST_F(CoverSolvers, ContributiveAdditionNeverTakesAUselessRow) {
  // After row 0 is chosen, row 1 covers nothing still uncovered.
  TableProblem p = fromTable({"111", "011"});
  TCovResult r = solve(p, 1);
  EXPECT_EQ(r.chosen, std::vector<int>{0});
}

TEST_F(CoverSolvers, ContributiveRemovalChoosesEssentialsFirst) {
  // Row 0 is essential (column 0); once chosen, rows 1 and 2 tie for column 2
  // and the lightest (first met: row 2) is removed, making row 1 essential.
  TableProblem p = fromTable({"110", "001", "001"});
  TCovResult r = solve(p, 2);
  EXPECT_EQ(r.chosen, (std::vector<int>{1, 0}));
}

TEST_F(CoverSolvers, ExactCoverStaysWithinTheHeapOnLargeMatrices) {
  // Three hundred rows in a chain: every branch level keeps a live state.
  std::mt19937 rng(3);
  const int rows = 300, cols = 301;
  std::vector<std::string> table(rows, std::string(cols, '0'));
  for (int r = 0; r < rows; ++r) {
    table[r][r] = '1';
    table[r][r + 1] = '1';
  }
  TableProblem p = fromTable(table);
  TCovResult r = solve(p, 3);
  EXPECT_EQ(r.cost, 151);
  EXPECT_TRUE(coversTable(table, r.chosen));
}

}  // namespace
}  // namespace vorn::test
