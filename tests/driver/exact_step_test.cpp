// The exact step of a timed refinement run: the slice it may take, the
// cheaper cover it finds (checked against brute force) and its proof, the
// seed that stands when nothing is cheaper, a slice already over, and the
// timed run that ends with the proven minimum after its first iteration.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>

#include "driver/exact_step.h"
#include "driver/minimize.h"
#include "exact/exact_oracle.h"
#include "model/cost.h"

using namespace vorn;

namespace {

using Clock = Deadline::Clock;

Deadline endingIn(Clock::time_point now, double seconds) {
  Deadline d;
  d.at = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  return d;
}

double secondsBetween(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

/// \brief The on-set terms of the fr source as a cover, with its cost by literals.
FunctionPtr sourceTerms(TBoolFnct& f) {
  FunctionPtr c = derive(f);
  c->type = kTypeFd;
  forEachTerm(f, [&](const TPfnct& t) {
    std::string out;
    for (char ch : t.output) out += ch == '1' ? '1' : '0';
    if (out.find('1') != std::string::npos) appendTerm(*c, t.input, out, 0);
  });
  computeStatistics(*c);
  computeCost(*c, 1);
  return c;
}

/// \brief Calls check(seed, f, minimum literals) on small random functions (of at least `leastOutputs`
/// outputs) whose primes brute force can still search; returns how many were checked.
template <class Check>
int forSmallFunctions(std::uint32_t lastSeed, int most, Check check, int leastOutputs = 1) {
  int checked = 0;
  for (std::uint32_t seed = 1; seed <= lastSeed && checked < most; ++seed) {
    const int outputs = std::max(leastOutputs, 1 + static_cast<int>(seed % 3));
    FunctionPtr f = test::randomFr(seed, 3 + static_cast<int>(seed % 4), outputs, 25);
    buildLists(*f);
    const auto primes = test::brutePrimes(*f);
    if (primes.empty() || primes.size() > 20) continue;
    ++checked;
    check(seed, f, test::bruteMinimum(*f, primes, test::literalsOf));
  }
  return checked;
}

}  // namespace

TEST(ExactStep, SliceIsItsShareOfTheLimitOrHalfWhatIsLeftAndNoneWhenShort) {
  const Clock::time_point now = Clock::now();
  ExactStepParams p;  // 0.45 of the limit, at most half of what is left, at least 0.5 s
  // A 5 s run with 4.9 s left: the share, 2.25 s from now.
  std::optional<Deadline> d = ExactSlice(endingIn(now, 4.9), 5, now, p);
  ASSERT_TRUE(d && d->at);
  EXPECT_NEAR(secondsBetween(now, *d->at), 2.25, 1e-6);
  // With 4 s left, half of it.
  d = ExactSlice(endingIn(now, 4), 5, now, p);
  ASSERT_TRUE(d && d->at);
  EXPECT_NEAR(secondsBetween(now, *d->at), 2.0, 1e-6);
  // Half of what is left must still be the least slice: 1.0 s left is enough, a little less is not.
  EXPECT_TRUE(ExactSlice(endingIn(now, 1.01), 5, now, p));
  EXPECT_FALSE(ExactSlice(endingIn(now, 0.99), 5, now, p));
  // A limit whose share is under the least slice: none, however much time is left.
  EXPECT_FALSE(ExactSlice(endingIn(now, 1.1), 1.1, now, p));
  EXPECT_TRUE(ExactSlice(endingIn(now, 1.2), 1.2, now, p));
  // No time limit, or a run already over: none.
  EXPECT_FALSE(ExactSlice(Deadline{}, 5, now, p));
  EXPECT_FALSE(ExactSlice(endingIn(now, -1), 5, now, p));
  // The slice keeps the run's interrupt: a signal still ends the step.
  std::atomic<bool> stop{false};
  Deadline run = endingIn(now, 10);
  run.interrupt = &stop;
  d = ExactSlice(run, 10, now, p);
  ASSERT_TRUE(d);
  EXPECT_FALSE(d->expired());
  stop = true;
  EXPECT_TRUE(d->expired());
}

TEST(ExactStep, FindsTheMinimumBelowTheSeedOrLetsTheSeedStandAndProvesIt) {
  Settings s;  // literals
  int cheaper = 0;
  const int checked = forSmallFunctions(200, 40, [&](std::uint32_t seed, FunctionPtr& f, long long minimum) {
    FunctionPtr start = sourceTerms(*f);
    ExactStepResult r = ExactStep(*f, *start, s, endingIn(Clock::now(), 60));
    EXPECT_TRUE(r.proven) << "seed " << seed;
    if (start->cost > minimum) {
      ASSERT_TRUE(r.cover) << "seed " << seed;
      EXPECT_EQ(test::checkCover(*f, *r.cover), "") << "seed " << seed;
      EXPECT_EQ(r.cover->literals, minimum) << "seed " << seed;
      EXPECT_EQ(r.cover->cost, minimum) << "seed " << seed;
      ++cheaper;
    } else {
      EXPECT_FALSE(r.cover) << "seed " << seed;
    }
    // Seeded with the minimum itself, nothing comes back, and the proof still holds.
    if (r.cover) {
      ExactStepResult again = ExactStep(*f, *r.cover, s, endingIn(Clock::now(), 60));
      EXPECT_FALSE(again.cover) << "seed " << seed;
      EXPECT_TRUE(again.proven) << "seed " << seed;
    }
  });
  EXPECT_GE(checked, 30);
  EXPECT_GT(cheaper, 0);
}

TEST(ExactStep, ASliceAlreadyOverGivesNothingAndProvesNothing) {
  Settings s;
  const int checked = forSmallFunctions(60, 10, [&](std::uint32_t seed, FunctionPtr& f, long long) {
    FunctionPtr start = sourceTerms(*f);
    const ExactStepResult r = ExactStep(*f, *start, s, endingIn(Clock::now(), -1));
    EXPECT_FALSE(r.cover) << "seed " << seed;
    EXPECT_FALSE(r.proven) << "seed " << seed;
  });
  EXPECT_GE(checked, 5);
}

TEST(ExactStep, TimedRefiningRunEndsWithTheProvenMinimumAfterItsFirstIteration) {
  // The limit is far beyond what these functions need: a run that did not end on the proof would
  // go through many iterations.  (One-output functions whose on-set terms are minterms take the
  // prime pool's steps instead: two outputs at least.)
  const int checked = forSmallFunctions(120, 8, [&](std::uint32_t seed, FunctionPtr& f, long long minimum) {
    FunctionPtr source = test::randomFr(seed, f->inputCount, f->outputCount, 25);
    RunParams p;
    p.seed = seed;
    p.settings.refine = 1;
    p.settings.stopOnTime = 1;
    p.settings.timeLimit = 30;
    RunFigures fig;
    FunctionPtr r = minimize(*f, p, fig);
    ASSERT_TRUE(r) << "seed " << seed;
    EXPECT_EQ(test::checkCover(*source, *r), "") << "seed " << seed;
    computeStatistics(*r);
    EXPECT_EQ(r->literals, minimum) << "seed " << seed;
    EXPECT_EQ(fig.iterations, 1) << "seed " << seed;
    ASSERT_FALSE(fig.improvements.empty());
    EXPECT_EQ(fig.improvements.back().cost, minimum) << "seed " << seed;
  }, 2);
  EXPECT_GE(checked, 8);
}
