#include <gtest/gtest.h>

#include "driver/minimize.h"
#include "driver/parallel_runs.h"
#include "model/settings.h"
#include "model/cost.h"
#include "model/deadline.h"
#include "support/oracle.h"

using namespace vorn;

namespace {

// Minimizes a fresh copy of the source (the driver builds lists on it) with the given settings.
RunFigures figures;
FunctionPtr run(TBoolFnct& f, std::uint32_t seed) { return minimize(f, MinimizeParams{seed, nullptr}, figures); }

class MinimizeSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSettings();
    installQuietProgress();
    settings().stopOnIterations = 1;
  }
  void TearDown() override { resetSettings(); }

  // Runs the current settings over seeded random functions and checks every result.
  void expectValidCovers(const std::string& what, int functions = 12) {
    for (int k = 0; k < functions; ++k) {
      const std::uint32_t seed = 1000 + k;
      auto f = test::randomFr(seed, 2 + k % 5, 1 + k % 4);
      auto result = run(*f, seed);
      ASSERT_TRUE(result) << what << " seed " << seed;
      EXPECT_EQ(result->type, 0) << what;
      EXPECT_EQ(test::checkCover(*f, *result), "") << what << " seed " << seed;
    }
  }
};

}  // namespace

TEST_F(MinimizeSettings, EveryCoveringSolverGivesValidCovers) {
  for (int cp = 0; cp <= 3; ++cp) {
    settings().cpMethod = cp;
    settings().iterationLimit = 3;
    expectValidCovers("-CP" + std::to_string(cp));
  }
}

TEST_F(MinimizeSettings, EveryExpansionMethodGivesValidCovers) {
  for (int e = 0; e <= 4; ++e) {
    settings().ieMethod = e;
    settings().iterationLimit = 4;
    settings().fcMinRatio = 0;
    expectValidCovers("-E" + std::to_string(e));
  }
}

TEST_F(MinimizeSettings, SingleOutputEndCoverAndSubstitutedDontCares) {
  settings().singleOutput = 1;
  settings().iterationLimit = 3;
  expectValidCovers("-single");
  resetSettings();
  settings().stopOnIterations = 1;
  settings().coverAtEnd = 1;
  settings().iterationLimit = 4;
  expectValidCovers("-endcov");
  resetSettings();
  settings().stopOnIterations = 1;
  settings().substituteOutputDc = 1;
  settings().iterationLimit = 2;
  expectValidCovers("-SD");
}

TEST_F(MinimizeSettings, OnlyCdStepsOrOnlyFcMinSteps) {
  for (int ratio : {0, 100}) {
    settings().fcMinRatio = ratio;
    for (int iterations : {1, 5}) {
      settings().iterationLimit = iterations;
      expectValidCovers("-FR" + std::to_string(ratio) + " -Si" + std::to_string(iterations), 8);
    }
  }
}

TEST_F(MinimizeSettings, MutationsAndFcMinDepthVariants) {
  settings().cdMutationRatio = 50;
  settings().irMutationRatio = 100;
  settings().iterationLimit = 3;
  expectValidCovers("-CM50 -RM100");
  for (int direction : {0, 1})
    for (int depth : {-1, 0, 3}) {
      resetSettings();
      settings().stopOnIterations = 1;
      settings().fcMinRatio = 100;
      settings().dfDirection = direction;
      settings().depthFactor = depth;
      settings().iterationLimit = 2;
      expectValidCovers("-DD" + std::to_string(direction) + " -DF" + std::to_string(depth), 6);
    }
}

TEST_F(MinimizeSettings, IterationLimitCountsIterations) {
  auto f = test::randomFr(7, 4, 2);
  settings().iterationLimit = 6;
  auto result = run(*f, 7);
  ASSERT_TRUE(result);
  EXPECT_EQ(figures.iterations, 6);
  settings().iterationLimit = 1;
  result = run(*f, 7);
  EXPECT_EQ(figures.iterations, 1);
}

TEST_F(MinimizeSettings, SameSeedGivesTheSameResult) {
  auto f = test::randomFr(11, 5, 3);
  settings().iterationLimit = 5;
  auto a = run(*f, 42);
  auto b = run(*f, 42);
  ASSERT_TRUE(a && b);
  computeStatistics(*a);
  computeStatistics(*b);
  EXPECT_EQ(a->literals, b->literals);
  EXPECT_EQ(a->terms, b->terms);
}

TEST_F(MinimizeSettings, IntervalCriterionStopsWithoutImprovement) {
  // With factor 0 the run stops after the first iteration.
  auto f = test::randomFr(3, 4, 2);
  settings().stopOnIterations = 0;
  settings().stopOnInterval = 1;
  settings().intervalFactor = 0;
  ASSERT_TRUE(run(*f, 3));
  EXPECT_EQ(figures.iterations, 1);
  // With factor 2 and no improvement after the first cover, iteration 3 is the last (3 < 1 + 2 * 1 fails),
  // unless an improvement moved the mark: then the run is longer.
  settings().intervalFactor = 2;
  ASSERT_TRUE(run(*f, 3));
  EXPECT_GE(figures.iterations, 3);
}

TEST_F(MinimizeSettings, QualityCriterionStopsAtTheFirstCoverWithinTheLimit) {
  auto f = test::randomFr(5, 4, 2);
  settings().stopOnIterations = 0;
  settings().stopOnQuality = 1;
  settings().qualityLimit = 1 << 30;  // any cover meets it
  ASSERT_TRUE(run(*f, 5));
  EXPECT_EQ(figures.iterations, 1);
}

TEST_F(MinimizeSettings, TimeCriterionAloneEndsTheRun) {
  auto f = test::randomFr(9, 3, 2);
  settings().stopOnIterations = 0;
  settings().stopOnTime = 1;
  settings().timeLimit = 0.05f;
  ASSERT_TRUE(run(*f, 9));
  EXPECT_GE(figures.iterations, 1);
  EXPECT_GT(figures.elapsedSeconds, 0.05f);
}

TEST_F(MinimizeSettings, FunctionWithoutOnSetGivesTheEmptyCover) {
  auto f = test::pla(".i 2\n.o 2\n.type fr\n0- 00\n1- ~0\n");
  for (int ratio : {0, 100}) {
    settings().fcMinRatio = ratio;
    settings().iterationLimit = 2;
    auto result = run(*f, 1);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->termCount, 0);
    EXPECT_EQ(figures.iterations, 2);
  }
}

TEST_F(MinimizeSettings, FunctionWithoutInputsKeepsItsConstantOutputs) {
  for (int ratio : {0, 100}) {
    auto f = test::pla(".i 0\n.o 3\n.type fr\n 10~\n");
    settings().fcMinRatio = ratio;
    settings().iterationLimit = 3;
    auto result = run(*f, 2);
    ASSERT_TRUE(result) << "-FR" << ratio;
    ASSERT_EQ(result->termCount, 1);
    EXPECT_EQ(result->head->output[0], '1');
    EXPECT_EQ(test::checkCover(*f, *result), "");
  }
}

TEST_F(MinimizeSettings, OutputWithoutOffSetIsCoveredByTheUniversalCube) {
  // Output 0 is on everywhere: CD-search's implicant is the universal cube,
  // which every expansion method must pass on.
  auto f = test::pla(".i 3\n.o 2\n.type fr\n--- 1~\n01- ~1\n1-0 ~0\n");
  for (int e = 0; e <= 4; ++e) {
    settings().ieMethod = e;
    settings().fcMinRatio = 0;
    settings().iterationLimit = 2;
    auto result = run(*f, 4);
    ASSERT_TRUE(result) << "-E" << e;
    EXPECT_EQ(test::checkCover(*f, *result), "") << "-E" << e;
  }
}

TEST_F(MinimizeSettings, ExactCoverPastTheTimeLimitStillGivesValidCovers) {
  // A limit already passed: the exact search may not branch at all, and each
  // state is completed along its include branch.
  settings().stopOnIterations = 0;
  settings().stopOnTime = 1;
  settings().timeLimit = -1.0f;
  settings().cpMethod = 3;
  expectValidCovers("-CP3 -St-1", 8);
  for (float limit : {1e30f, 0.0f}) {
    settings().timeLimit = limit;
    settings().stopOnIterations = 1;
    settings().iterationLimit = 1;
    auto f = test::randomFr(21, 5, 2);
    auto result = run(*f, 21);
    ASSERT_TRUE(result);
    EXPECT_EQ(test::checkCover(*f, *result), "");
  }
}

TEST_F(MinimizeSettings, FiguresNameTheSeedAndTheCourseOfBestCovers) {
  auto f = test::randomFr(13, 6, 3, 40);
  settings().iterationLimit = 12;
  auto result = run(*f, 77);
  ASSERT_TRUE(result);
  EXPECT_EQ(figures.seed, 77u);
  EXPECT_EQ(figures.iterations, 12);
  EXPECT_FALSE(figures.interrupted);
  ASSERT_FALSE(figures.improvements.empty());
  for (std::size_t i = 1; i < figures.improvements.size(); ++i) {
    EXPECT_LT(figures.improvements[i].cost, figures.improvements[i - 1].cost);  // only cheaper covers count
    EXPECT_GT(figures.improvements[i].iteration, figures.improvements[i - 1].iteration);
    EXPECT_GE(figures.improvements[i].seconds, figures.improvements[i - 1].seconds);
  }
  computeCost(*result);
  EXPECT_EQ(figures.improvements.back().cost, result->cost);
  EXPECT_LE(figures.improvements.back().seconds, figures.elapsedSeconds);
}

TEST_F(MinimizeSettings, RaisedInterruptEndsTheRunAfterItsIteration) {
  auto f = test::randomFr(4, 5, 2);
  settings().iterationLimit = 50;
  std::atomic<bool> stop{true};
  RunFigures fig;
  auto result = minimize(*f, MinimizeParams{5u, &stop}, fig);
  ASSERT_TRUE(result);  // the cover of the one iteration is the result
  EXPECT_EQ(fig.iterations, 1);
  EXPECT_TRUE(fig.interrupted);
  stop = false;
  result = minimize(*f, MinimizeParams{5u, &stop}, fig);
  EXPECT_EQ(fig.iterations, 50);
  EXPECT_FALSE(fig.interrupted);
}

TEST(Deadline, ExpiresByTimeOrFlag) {
  Deadline none;
  EXPECT_FALSE(none.expired());
  std::atomic<bool> flag{false};
  Deadline d;
  d.interrupt = &flag;
  EXPECT_FALSE(d.expired());
  flag = true;
  EXPECT_TRUE(d.expired());
  EXPECT_TRUE(d.interrupted());
  const auto now = Deadline::Clock::now();
  Deadline past{Deadline::after(now, -1.0), nullptr};
  EXPECT_TRUE(past.expired());
  EXPECT_FALSE(past.interrupted());
  Deadline future{Deadline::after(now, 3600.0), nullptr};
  EXPECT_FALSE(future.expired());
  EXPECT_FALSE(Deadline::after(now, 1e12).has_value());  // beyond any clock: no limit
}

TEST_F(MinimizeSettings, ParallelSetInProcessPicksTheCheapestRun) {
  auto f = test::randomFr(21, 6, 3, 40);
  settings().iterationLimit = 4;
  std::vector<long long> costs;
  for (std::uint32_t seed = 8; seed < 11; ++seed) {
    auto copy = test::randomFr(21, 6, 3, 40);
    auto r = run(*copy, seed);
    ASSERT_TRUE(r);
    computeCost(*r);
    costs.push_back(r->cost);
  }
  RunFigures fig;
  auto best = minimizeParallel(*f, MinimizeParams{8u, nullptr}, 3, fig);
  ASSERT_TRUE(best);
  const std::size_t w = std::min_element(costs.begin(), costs.end()) - costs.begin();  // first of the cheapest
  EXPECT_EQ(best->cost, costs[w]);
  EXPECT_EQ(fig.seed, 8u + w);
  EXPECT_EQ(fig.iterations, 12);
  EXPECT_EQ(fig.runs, 3);
  EXPECT_EQ(best->source, f.get());
  EXPECT_EQ(test::checkCover(*f, *best), "");
}
