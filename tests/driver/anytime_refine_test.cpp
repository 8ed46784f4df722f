// The run with -refine as an anytime one: more iterations never give a
// costlier cover, every cover the run keeps is in its figures (refined ones
// marked), an interrupt raised at any step of the refinement leaves the best
// cover seen and a valid result, and a zero time limit still records the
// cover it made.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "driver/minimize.h"
#include "model/cost.h"
#include "refine/cover_function.h"
#include "support/oracle.h"

using namespace vorn;

namespace {

RunParams refining(int iterations, std::uint32_t seed) {
  RunParams p;
  p.seed = seed;
  p.settings.refine = 1;
  p.settings.stopOnIterations = 1;
  p.settings.iterationLimit = iterations;
  return p;
}

/// The settings of a refining run limited by time (seconds).
RunParams timedRefining(std::uint32_t seed, double seconds) {
  RunParams p;
  p.seed = seed;
  p.settings.refine = 1;
  p.settings.stopOnTime = 1;
  p.settings.timeLimit = seconds;
  return p;
}

long long costOf(TBoolFnct& cover, int criterion) {
  computeStatistics(cover);
  computeCost(cover, criterion);
  return cover.cost;
}

/// The figures list only cheaper covers, in time order, the last one being the result.
void expectCourse(const RunFigures& fig, long long resultCost, const std::string& where) {
  ASSERT_FALSE(fig.improvements.empty()) << where;
  for (std::size_t i = 1; i < fig.improvements.size(); ++i) {
    EXPECT_LT(fig.improvements[i].cost, fig.improvements[i - 1].cost) << where;
    EXPECT_GE(fig.improvements[i].iteration, fig.improvements[i - 1].iteration) << where;
    EXPECT_GE(fig.improvements[i].seconds, fig.improvements[i - 1].seconds) << where;
  }
  EXPECT_EQ(fig.improvements.back().cost, resultCost) << where;
  EXPECT_FALSE(fig.improvements.front().refined) << where;  // the search makes the first cover
}

TEST(AnytimeRefine, MoreIterationsNeverGiveACostlierCover) {
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    auto f = test::randomFr(seed, 5 + static_cast<int>(seed % 4), 1 + static_cast<int>(seed % 3), 30);
    long long previous = -1;
    for (int n : {1, 2, 4}) {
      RunFigures fig;
      auto g = test::randomFr(seed, 5 + static_cast<int>(seed % 4), 1 + static_cast<int>(seed % 3), 30);
      FunctionPtr r = minimize(*g, refining(n, 100 + seed), fig);
      ASSERT_TRUE(r);
      EXPECT_EQ(test::checkCover(*f, *r), "") << "seed " << seed << " -Si" << n;
      const long long cost = costOf(*r, 1);
      if (previous >= 0) {
        EXPECT_LE(cost, previous) << "seed " << seed << " -Si" << n;
      }
      previous = cost;
      expectCourse(fig, cost, "seed " + std::to_string(seed) + " -Si" + std::to_string(n));
    }
  }
}

TEST(AnytimeRefine, EveryRefinedImprovementIsRecordedAsRefined) {
  int refinedSeen = 0;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    auto f = test::randomFr(seed, 7, 3, 30);
    RunFigures fig;
    FunctionPtr r = minimize(*f, refining(3, seed), fig);
    ASSERT_TRUE(r);
    const long long cost = costOf(*r, 1);
    expectCourse(fig, cost, "seed " + std::to_string(seed));
    for (const Improvement& i : fig.improvements) refinedSeen += i.refined;
    // A refined result is cheaper than every cover the search made: its entry says so.
    if (fig.improvements.back().refined) {
      EXPECT_LT(cost, fig.improvements.front().cost);
    }
  }
  EXPECT_GT(refinedSeen, 0);  // the functions leave the refinement something to gain
}

TEST(AnytimeRefine, InterruptAtAnyRefinementStepKeepsTheBestCoverSeen) {
  auto f = test::randomFr(21, 8, 3, 30);
  // How many steps the refinement reports in an uninterrupted run.
  int steps = 0;
  RunParams p = refining(3, 9);
  p.progress.step = [&](int, int kind) {
    steps += kind == 2;
    return 0;
  };
  RunFigures full;
  ASSERT_TRUE(minimize(*f, p, full));
  ASSERT_GT(steps, 2);
  for (int at = 1; at <= steps; ++at) {
    std::atomic<bool> stop{false};
    int seen = 0;
    RunParams q = refining(3, 9);
    q.interrupt = &stop;
    q.progress.step = [&](int, int kind) {
      if (kind == 2 && ++seen == at) stop = true;
      return 0;
    };
    RunFigures fig;
    auto g = test::randomFr(21, 8, 3, 30);
    FunctionPtr r = minimize(*g, q, fig);
    ASSERT_TRUE(r) << "step " << at;
    EXPECT_EQ(test::checkCover(*f, *r), "") << "step " << at;
    const long long cost = costOf(*r, 1);
    expectCourse(fig, cost, "step " + std::to_string(at));
    EXPECT_LE(cost, fig.improvements.front().cost) << "step " << at;
    // The run ends with the iteration it was in.
    if (fig.iterations < 3) {
      EXPECT_TRUE(fig.interrupted) << "step " << at;
    }
  }
}

TEST(AnytimeRefine, ZeroTimeLimitStillRecordsTheCoverItMade) {
  for (int refine : {0, 1}) {
    auto f = test::randomFr(5, 6, 2, 30);
    RunParams p = timedRefining(3, 0);
    p.settings.refine = refine;
    RunFigures fig;
    FunctionPtr r = minimize(*f, p, fig);
    ASSERT_TRUE(r);
    EXPECT_EQ(test::checkCover(*f, *r), "");
    expectCourse(fig, costOf(*r, 1), "refine " + std::to_string(refine));
  }
}


/// A run of one second with -refine on a fresh copy of make()'s function: valid, every cover it kept
/// in its figures, and never costlier than one iteration with the same seed.
void expectATimedRunNoCostlierThanOneIteration(const std::function<FunctionPtr()>& make, std::uint32_t seed) {
  auto f = make();
  RunFigures quick;
  FunctionPtr one = minimize(*f, refining(1, seed), quick);
  ASSERT_TRUE(one);
  RunFigures fig;
  auto g = make();
  FunctionPtr r = minimize(*g, timedRefining(seed, 1), fig);
  ASSERT_TRUE(r);
  EXPECT_EQ(test::checkCover(*f, *r), "") << "seed " << seed;
  const long long cost = costOf(*r, 1);
  EXPECT_LE(cost, costOf(*one, 1)) << "seed " << seed;
  expectCourse(fig, cost, "seed " + std::to_string(seed));
}

TEST(AnytimeRefine, ATimeLimitGivesNoCostlierCoverThanOneIteration) {
  // Under a time limit the run also refines from drawn starts while the search finds nothing
  // cheaper; whatever they find, the result is valid and never costlier than that of one iteration.
  for (std::uint32_t seed : {3u, 8u})
    expectATimedRunNoCostlierThanOneIteration([&] { return test::randomFr(seed, 9, 2, 30); }, seed);
}

/// Runs p on a fresh copy of the seed's function; counts the refinement's steps.
/// The settings of a refining run limited by time (seconds) and by quality (a literal goal).
RunParams timedWithGoal(std::uint32_t seed, double seconds, int goal) {
  RunParams p = timedRefining(seed, seconds);
  p.settings.stopOnQuality = 1;
  p.settings.qualityLimit = goal;
  return p;
}

FunctionPtr runCountingRefinementSteps(RunParams p, std::uint32_t seed, RunFigures& fig, int& steps) {
  steps = 0;
  p.progress.step = [&](int, int kind) {
    steps += kind == 2;
    return 0;
  };
  auto f = test::randomFr(seed, 8, 3, 30);
  return minimize(*f, p, fig);
}

TEST(AnytimeRefine, ACoverWithinTheQualityLimitEndsTheRefinementsThere) {
  // Under a time limit the first refinement is followed by a thorough one; when the cover is
  // already within the -Sq limit, the run does only what -Si1 -refine does and stops.
  int compared = 0;
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    int quickSteps = 0, limitedSteps = 0;
    RunFigures quick, fig;
    FunctionPtr one = runCountingRefinementSteps(refining(1, seed), seed, quick, quickSteps);
    ASSERT_TRUE(one);
    FunctionPtr r = runCountingRefinementSteps(timedWithGoal(seed, 60, 1000000), seed, fig, limitedSteps);
    ASSERT_TRUE(r);
    EXPECT_EQ(fig.iterations, 1) << "seed " << seed;
    EXPECT_EQ(limitedSteps, quickSteps) << "seed " << seed;
    EXPECT_EQ(costOf(*r, 1), costOf(*one, 1)) << "seed " << seed;
    compared += quick.improvements.back().refined;
  }
  EXPECT_GT(compared, 0);  // some first refinements gained, which a thorough one would have followed
}

TEST(AnytimeRefine, ARefinementThatReachesTheQualityLimitEndsThere) {
  // The search's cover is above the -Sq limit and -Si1 -refine's below it: the run stops as soon
  // as a cover within the limit exists, in the middle of the first refinement, with a valid cover
  // within the limit and no more refinement steps than the whole first refinement takes.
  int cut = 0, tried = 0;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    int quickSteps = 0, limitedSteps = 0;
    RunFigures quick, fig;
    FunctionPtr one = runCountingRefinementSteps(refining(1, seed), seed, quick, quickSteps);
    ASSERT_TRUE(one);
    const long long refined = costOf(*one, 1), searched = quick.improvements.front().cost;
    if (searched <= refined + 1) continue;
    ++tried;
    const int goal = static_cast<int>(refined + (searched - refined) / 2);
    FunctionPtr r = runCountingRefinementSteps(timedWithGoal(seed, 60, goal), seed, fig, limitedSteps);
    ASSERT_TRUE(r);
    auto f = test::randomFr(seed, 8, 3, 30);
    EXPECT_EQ(test::checkCover(*f, *r), "") << "seed " << seed;
    EXPECT_LE(costOf(*r, 1), goal) << "seed " << seed;
    EXPECT_EQ(fig.iterations, 1) << "seed " << seed;
    EXPECT_LE(limitedSteps, quickSteps) << "seed " << seed;
    cut += limitedSteps < quickSteps;
  }
  EXPECT_GT(tried, 0);
  EXPECT_GT(cut, 0);  // some refinements ended before their last step
}

TEST(AnytimeRefine, ATimeLimitOnASampledFunctionGivesNoCostlierCoverThanOneIteration) {
  // One output, minterm samples: the timed run also searches the pool of implicants its refinements
  // pass through; whatever that finds, the result stays valid and never costlier than one iteration.
  for (std::uint32_t seed : {4u, 11u})
    expectATimedRunNoCostlierThanOneIteration([&] { return test::sampled(seed, 30, 500, 1); }, seed);
}

}  // namespace
