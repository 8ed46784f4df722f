#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/minimize.h"
#include "driver/parallel_runs.h"
#include "model/cost.h"
#include "model/deadline.h"
#include "model/pla.h"
#include "model/settings.h"
#include "support/oracle.h"

using namespace vorn;

namespace {

class MinimizeSettings : public ::testing::Test {
 protected:
  void SetUp() override { params.settings.stopOnIterations = 1; }

  // Minimizes f (the driver builds lists on it) with the settings of params.
  FunctionPtr run(TBoolFnct& f, std::uint32_t seed) {
    params.seed = seed;
    return minimize(f, params, figures);
  }
  // Back to the default settings, limited by iterations.
  void restoreDefaults() {
    params.settings = Settings{};
    params.settings.stopOnIterations = 1;
  }

  RunParams params;
  RunFigures figures;

  // Runs the current settings over seeded random functions and checks every result.
  void expectValidCovers(const std::string& what, int functions = 12) {
    for (int k = 0; k < functions; ++k) {
      const std::uint32_t seed = 1000 + k;
      auto f = test::randomFr(seed, 2 + k % 5, 1 + k % 4);
      auto result = run(*f, seed);
      ASSERT_TRUE(result) << what << " seed " << seed;
      EXPECT_EQ(result->type, 0) << what;
      // The cover comes with its figures and its cost, however it was made.
      const int literals = result->literals;
      const long long cost = result->cost;
      computeStatistics(*result);
      computeCost(*result, params.settings.criterion);
      EXPECT_EQ(result->literals, literals) << what;
      EXPECT_EQ(result->cost, cost) << what;
      EXPECT_EQ(test::checkCover(*f, *result), "") << what << " seed " << seed;
    }
  }
};

}  // namespace

TEST_F(MinimizeSettings, EveryCoveringSolverGivesValidCovers) {
  for (int cp = 0; cp <= 3; ++cp) {
    params.settings.cpMethod = cp;
    params.settings.iterationLimit = 3;
    expectValidCovers("-CP" + std::to_string(cp));
  }
}

TEST_F(MinimizeSettings, EveryExpansionMethodGivesValidCovers) {
  for (int e = 0; e <= 4; ++e) {
    params.settings.ieMethod = e;
    params.settings.iterationLimit = 4;
    params.settings.fcMinRatio = 0;
    expectValidCovers("-E" + std::to_string(e));
  }
}

TEST_F(MinimizeSettings, SingleOutputEndCoverAndSubstitutedDontCares) {
  params.settings.singleOutput = 1;
  params.settings.iterationLimit = 3;
  expectValidCovers("-single");
  restoreDefaults();
  params.settings.coverAtEnd = 1;
  params.settings.iterationLimit = 4;
  expectValidCovers("-endcov");
  restoreDefaults();
  params.settings.substituteOutputDc = 1;
  params.settings.iterationLimit = 2;
  expectValidCovers("-SD");
}

TEST_F(MinimizeSettings, OnlyCdStepsOrOnlyFcMinSteps) {
  for (int ratio : {0, 100}) {
    params.settings.fcMinRatio = ratio;
    for (int iterations : {1, 5}) {
      params.settings.iterationLimit = iterations;
      expectValidCovers("-FR" + std::to_string(ratio) + " -Si" + std::to_string(iterations), 8);
    }
  }
}

TEST_F(MinimizeSettings, MutationsAndFcMinDepthVariants) {
  params.settings.cdMutationRatio = 50;
  params.settings.irMutationRatio = 100;
  params.settings.iterationLimit = 3;
  expectValidCovers("-CM50 -RM100");
  for (int direction : {0, 1})
    for (int depth : {-1, 0, 3}) {
      restoreDefaults();
      params.settings.stopOnIterations = 1;
      params.settings.fcMinRatio = 100;
      params.settings.dfDirection = direction;
      params.settings.depthFactor = depth;
      params.settings.iterationLimit = 2;
      expectValidCovers("-DD" + std::to_string(direction) + " -DF" + std::to_string(depth), 6);
    }
}

TEST_F(MinimizeSettings, IterationLimitCountsIterations) {
  auto f = test::randomFr(7, 4, 2);
  params.settings.iterationLimit = 6;
  auto result = run(*f, 7);
  ASSERT_TRUE(result);
  EXPECT_EQ(figures.iterations, 6);
  params.settings.iterationLimit = 1;
  result = run(*f, 7);
  EXPECT_EQ(figures.iterations, 1);
}

TEST_F(MinimizeSettings, SameSeedGivesTheSameResult) {
  auto f = test::randomFr(11, 5, 3);
  params.settings.iterationLimit = 5;
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
  params.settings.stopOnIterations = 0;
  params.settings.stopOnInterval = 1;
  params.settings.intervalFactor = 0;
  ASSERT_TRUE(run(*f, 3));
  EXPECT_EQ(figures.iterations, 1);
  // With factor 2 and no improvement after the first cover, iteration 3 is the last (3 < 1 + 2 * 1 fails),
  // unless an improvement moved the mark: then the run is longer.
  params.settings.intervalFactor = 2;
  ASSERT_TRUE(run(*f, 3));
  EXPECT_GE(figures.iterations, 3);
}

TEST_F(MinimizeSettings, QualityCriterionStopsAtTheFirstCoverWithinTheLimit) {
  auto f = test::randomFr(5, 4, 2);
  params.settings.stopOnIterations = 0;
  params.settings.stopOnQuality = 1;
  params.settings.qualityLimit = 1 << 30;  // any cover meets it
  ASSERT_TRUE(run(*f, 5));
  EXPECT_EQ(figures.iterations, 1);
}

TEST_F(MinimizeSettings, TimeCriterionAloneEndsTheRun) {
  auto f = test::randomFr(9, 3, 2);
  params.settings.stopOnIterations = 0;
  params.settings.stopOnTime = 1;
  params.settings.timeLimit = 0.05f;
  ASSERT_TRUE(run(*f, 9));
  EXPECT_GE(figures.iterations, 1);
  EXPECT_GT(figures.elapsedSeconds, 0.05f);
}

TEST_F(MinimizeSettings, FunctionWithoutOnSetGivesTheEmptyCover) {
  auto f = test::pla(".i 2\n.o 2\n.type fr\n0- 00\n1- ~0\n");
  for (int ratio : {0, 100}) {
    params.settings.fcMinRatio = ratio;
    params.settings.iterationLimit = 2;
    auto result = run(*f, 1);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->termCount, 0);
    EXPECT_EQ(figures.iterations, 2);
  }
}

TEST_F(MinimizeSettings, FunctionWithoutInputsKeepsItsConstantOutputs) {
  for (int ratio : {0, 100}) {
    auto f = test::pla(".i 0\n.o 3\n.type fr\n 10~\n");
    params.settings.fcMinRatio = ratio;
    params.settings.iterationLimit = 3;
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
    params.settings.ieMethod = e;
    params.settings.fcMinRatio = 0;
    params.settings.iterationLimit = 2;
    auto result = run(*f, 4);
    ASSERT_TRUE(result) << "-E" << e;
    EXPECT_EQ(test::checkCover(*f, *result), "") << "-E" << e;
  }
}

TEST_F(MinimizeSettings, ExactCoverPastTheTimeLimitStillGivesValidCovers) {
  // A limit already passed: the exact search may not branch at all, and each
  // state is completed along its include branch.
  params.settings.stopOnIterations = 0;
  params.settings.stopOnTime = 1;
  params.settings.timeLimit = -1.0f;
  params.settings.cpMethod = 3;
  expectValidCovers("-CP3 -St-1", 8);
  for (float limit : {1e30f, 0.0f}) {
    params.settings.timeLimit = limit;
    params.settings.stopOnIterations = 1;
    params.settings.iterationLimit = 1;
    auto f = test::randomFr(21, 5, 2);
    auto result = run(*f, 21);
    ASSERT_TRUE(result);
    EXPECT_EQ(test::checkCover(*f, *result), "");
  }
}

TEST_F(MinimizeSettings, FiguresNameTheSeedAndTheCourseOfBestCovers) {
  auto f = test::randomFr(13, 6, 3, 40);
  params.settings.iterationLimit = 12;
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
  computeCost(*result, params.settings.criterion);
  EXPECT_EQ(figures.improvements.back().cost, result->cost);
  EXPECT_LE(figures.improvements.back().seconds, figures.elapsedSeconds);
}

TEST_F(MinimizeSettings, RaisedInterruptEndsTheRunAfterItsIteration) {
  auto f = test::randomFr(4, 5, 2);
  params.settings.iterationLimit = 50;
  std::atomic<bool> stop{true};
  RunFigures fig;
  params.seed = 5u;
  params.interrupt = &stop;
  auto result = minimize(*f, params, fig);
  ASSERT_TRUE(result);  // the cover of the one iteration is the result
  EXPECT_EQ(fig.iterations, 1);
  EXPECT_TRUE(fig.interrupted);
  stop = false;
  result = minimize(*f, params, fig);
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
  params.settings.iterationLimit = 4;
  std::vector<long long> costs;
  for (std::uint32_t seed = 8; seed < 11; ++seed) {
    auto copy = test::randomFr(21, 6, 3, 40);
    auto r = run(*copy, seed);
    ASSERT_TRUE(r);
    computeCost(*r, params.settings.criterion);
    costs.push_back(r->cost);
  }
  RunFigures fig;
  params.seed = 8u;
  auto best = minimizeParallel(*f, params, 3, fig);
  ASSERT_TRUE(best);
  const std::size_t w = std::min_element(costs.begin(), costs.end()) - costs.begin();  // first of the cheapest
  EXPECT_EQ(best->cost, costs[w]);
  EXPECT_EQ(fig.seed, 8u + w);
  EXPECT_EQ(fig.iterations, 12);
  EXPECT_EQ(fig.runs, 3);
  EXPECT_EQ(best->source, f.get());
  EXPECT_EQ(test::checkCover(*f, *best), "");
}

TEST_F(MinimizeSettings, StepLinesAndBestCoversGoWhereTheParamsSendThem) {
  auto f = test::randomFr(31, 6, 3, 40);
  params.settings.iterationLimit = 9;
  params.settings.fcMinRatio = 50;
  std::vector<std::string> lines;
  std::vector<long long> bests;
  params.stepLine = [&](const char* line) { lines.push_back(line); };
  params.bestCover = [&](const TBoolFnct& best) { bests.push_back(best.cost); };
  testing::internal::CaptureStderr();
  auto result = run(*f, 3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_TRUE(result);
  // One start line per iteration, naming the step the iteration drew.
  ASSERT_EQ(static_cast<int>(lines.size()), figures.iterations);
  for (const std::string& l : lines)
    EXPECT_TRUE(l == "CDmin step started .. \n\n" || l == "FCmin step started .. \n\n") << l;
  // The listener hears the best cover after every cover made: never a costlier one, ending at the result.
  ASSERT_FALSE(bests.empty());
  for (std::size_t i = 1; i < bests.size(); ++i) EXPECT_LE(bests[i], bests[i - 1]);
  computeCost(*result, params.settings.criterion);
  EXPECT_EQ(bests.back(), result->cost);
  EXPECT_EQ(bests.back(), figures.improvements.back().cost);
}

TEST_F(MinimizeSettings, RunsShareNoStateBetweenThem) {
  // The same seed and settings give the same cover whatever ran before or beside it.
  auto source = [] { return test::randomFr(44, 6, 3, 40); };
  params.settings.iterationLimit = 5;
  auto f = source();
  const std::string first = formatPla(*run(*f, 9));
  Settings other = params.settings;
  other.cdMutationRatio = 70;
  other.ieMethod = 4;
  auto g = source();
  ASSERT_TRUE(minimize(*g, other, 123));
  auto h = source();
  EXPECT_EQ(formatPla(*run(*h, 9)), first);
  // Two runs at once on two threads, one of them with the first run's seed.
  auto a = source(), b = source();
  FunctionPtr ra, rb;
  std::thread ta([&] { ra = minimize(*a, params.settings, 9); });
  std::thread tb([&] { rb = minimize(*b, other, 5); });
  ta.join();
  tb.join();
  ASSERT_TRUE(ra);
  ASSERT_TRUE(rb);
  EXPECT_EQ(formatPla(*ra), first);
}
