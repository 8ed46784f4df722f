// The time limit and an interrupt stop a run inside its iteration: the CD
// step between outputs and within an output's search, FC-Min between groups,
// the greedy solvers between picks, the sparsing between outputs, the
// dominance passes between terms.  Whatever was cut short, the cover written
// is a valid one, and an iteration cut short after the first leaves the cover
// made before it.  The cuts are placed by the progress hooks (an interrupt
// raised at a chosen step of a chosen operation) or by a limit of zero
// seconds, so nothing here depends on the speed of the machine.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "driver/minimize.h"
#include "refine/refine.h"
#include "support/oracle.h"

using namespace vorn;

namespace {

/// Progress hooks that count the steps of every operation and raise an
/// interrupt flag at step `at` of the operation named `where`.
struct CuttingHooks {
  std::string where;
  int at = 0;
  std::atomic<bool> flag{false};
  std::vector<std::string> open;
  std::map<std::string, int> steps;
  int solverRuns = 0;  ///< covering problems begun

  ProgressHooks hooks() {
    ProgressHooks h;
    h.begin = [this](const std::string& message, int, int) {
      open.push_back(message);
      if (message.rfind("Solving CP", 0) == 0) ++solverRuns;
      return 0;
    };
    h.step = [this](int, int) {
      if (open.empty()) return 0;
      const int n = steps[open.back()]++;
      if (open.back() == where && n == at) flag = true;
      return 0;
    };
    h.end = [this] {
      if (!open.empty()) open.pop_back();
    };
    return h;
  }
};

struct Outcome {
  FunctionPtr cover;
  RunFigures figures;
  std::map<std::string, int> steps;
  int solverRuns = 0;
};

/// One seeded run of f; with `where` set, interrupted at step `at` of that operation.
Outcome runCut(TBoolFnct& f, const Settings& settings, const std::string& where, int at) {
  CuttingHooks cut;
  cut.where = where;
  cut.at = at;
  RunParams params;
  params.seed = 11;
  params.settings = settings;
  params.progress = cut.hooks();
  params.interrupt = &cut.flag;
  Outcome o;
  o.cover = minimize(f, params, o.figures);
  o.steps = cut.steps;
  o.solverRuns = cut.solverRuns;
  return o;
}

Settings longRun(int fcMinRatio) {
  Settings s;
  s.stopOnIterations = 1;
  s.iterationLimit = 1000000;  // only the interrupt ends it
  s.fcMinRatio = fcMinRatio;
  return s;
}

void expectValid(const TBoolFnct& f, const Outcome& o, const std::string& what) {
  ASSERT_TRUE(o.cover) << what;
  EXPECT_EQ(test::checkCover(f, *o.cover), "") << what;
}

std::vector<std::string> termTexts(const TBoolFnct& f) {
  std::vector<std::string> out;
  forEachTerm(f, [&](const TPfnct& t) { out.push_back(t.input.str() + "/" + t.output); });
  return out;
}

int stepsOf(const Outcome& o, const std::string& operation) {
  const auto at = o.steps.find(operation);
  return at == o.steps.end() ? 0 : at->second;
}

}  // namespace

TEST(DeadlineInIteration, InterruptStopsTheCdStepBetweenOutputs) {
  auto f = test::randomFr(5, 6, 12);
  for (int at : {0, 3, 10}) {
    const Outcome o = runCut(*f, longRun(0), "Processing output variables", at);
    const std::string what = "interrupted after output " + std::to_string(at);
    expectValid(*f, o, what);
    EXPECT_TRUE(o.figures.interrupted) << what;
    EXPECT_EQ(o.figures.iterations, 1) << what;
    // The outputs after the one that raised the flag were not processed.
    EXPECT_EQ(o.steps.at("Processing output variables"), at + 1) << what;
  }
}

TEST(DeadlineInIteration, InterruptStopsTheCdSearchOfAnOutputWithinAFewSteps) {
  // One output with many on-set terms: its search finds many implicants in one go.
  auto f = test::randomFr(21, 9, 1, 10);
  Settings one = longRun(0);
  one.iterationLimit = 1;
  const Outcome full = runCut(*f, one, "", 0);
  const int fullSteps = full.steps.count("CD-search") ? full.steps.at("CD-search") : 0;
  ASSERT_GT(fullSteps, 20) << "too small a problem to show a cut";
  for (int at : {0, 5}) {
    const Outcome o = runCut(*f, longRun(0), "CD-search", at);
    const std::string what = "interrupted at implicant " + std::to_string(at);
    // The first iteration's cut search still gives a cover, completed by the source's terms.
    expectValid(*f, o, what);
    EXPECT_TRUE(o.figures.interrupted) << what;
    EXPECT_EQ(o.figures.iterations, 1) << what;
    // The clock is read every 8 literal steps, and an implicant takes at least one.
    EXPECT_LE(o.steps.at("CD-search"), at + 1 + 8) << what;
  }
}

TEST(DeadlineInIteration, InterruptStopsFcMinAndTheGreedySolversEarly) {
  auto f = test::randomFr(8, 7, 4);
  struct Case {
    int fcMinRatio, cpMethod;
    const char* operation;
  };
  for (const Case& c : {Case{100, 1, "Minimizing PLA using FC-Min"}, Case{0, 0, "Solving CP - Priority cover"},
                        Case{0, 1, "Solving CP - Contributive addition"},
                        Case{0, 2, "Solving CP - COntributive removal"}}) {
    Settings s = longRun(c.fcMinRatio);
    s.cpMethod = c.cpMethod;
    // The uncut first iteration gives the operation's full step count.
    Settings one = s;
    one.iterationLimit = 1;
    const Outcome full = runCut(*f, one, "", 0);
    const int fullSteps = full.steps.count(c.operation) ? full.steps.at(c.operation) : 0;
    ASSERT_GT(fullSteps, 12) << c.operation << ": too small a problem to show a cut";
    const Outcome o = runCut(*f, s, c.operation, 0);
    expectValid(*f, o, c.operation);
    EXPECT_TRUE(o.figures.interrupted) << c.operation;
    EXPECT_EQ(o.figures.iterations, 1) << c.operation;
    // The operation ran a few steps past the flag at most, not to its end.
    EXPECT_LT(o.steps.at(c.operation), fullSteps / 2) << c.operation;
  }
}

TEST(DeadlineInIteration, ZeroSecondLimitStillGivesValidCovers) {
  // The deadline has passed before the first iteration starts: every step is
  // cut at once and the cover rests on the coverage completion.
  struct Case {
    const char* what;
    void (*set)(Settings&);
  };
  const Case cases[] = {
      {"CD step", [](Settings& s) { s.fcMinRatio = 0; }},
      {"FC-Min", [](Settings& s) { s.fcMinRatio = 100; }},
      {"single-output", [](Settings& s) { s.singleOutput = 1; }},
      {"cover at the end", [](Settings& s) { s.coverAtEnd = 1; }},
      {"priority cover", [](Settings& s) { s.cpMethod = 0; }},
      {"contributive removal", [](Settings& s) { s.cpMethod = 2; }},
      {"exact cover", [](Settings& s) { s.cpMethod = 3; }},
      {"refinement", [](Settings& s) { s.refine = 1; }},
  };
  for (const Case& c : cases) {
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
      auto f = test::randomFr(seed, 5, 1 + seed % 4);
      Settings s;
      s.stopOnTime = 1;
      s.timeLimit = 0.0f;
      c.set(s);
      RunFigures fig;
      RunParams params;
      params.seed = seed;
      params.settings = s;
      FunctionPtr cover = minimize(*f, params, fig);
      ASSERT_TRUE(cover) << c.what << " seed " << seed;
      EXPECT_EQ(test::checkCover(*f, *cover), "") << c.what << " seed " << seed;
      EXPECT_EQ(fig.iterations, 1) << c.what;
    }
  }
}

TEST(DeadlineInIteration, RefinementCutShortKeepsTheCoverItWasGiven) {
  // The search's cover: the source's own on-set terms, far from minimal.
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    auto f = test::randomFr(seed, 7, 3, 30);
    FunctionPtr start = derive(*f);
    start->type = kTypeFd;
    forEachTerm(*f, [&](const TPfnct& t) {
      std::string out(static_cast<std::size_t>(f->outputCount), '0');
      bool any = false;
      for (int j = 0; j < f->outputCount; ++j)
        if (outputAt(t, j) == '1') out[static_cast<std::size_t>(j)] = '1', any = true;
      if (any) appendTerm(*start, t.input, out, 0);
    });
    RefineParams uncut;
    RefineStats full;
    ASSERT_TRUE(Refine(*f, *start, nullptr, uncut, full)) << "seed " << seed << ": nothing to refine";
    // Interrupted before it begins: the first expansion stops at once and
    // its unfinished pass is not taken.
    std::atomic<bool> flag{true};
    RefineParams cut;
    cut.deadline.interrupt = &flag;
    RefineStats stats;
    EXPECT_FALSE(Refine(*f, *start, nullptr, cut, stats)) << "seed " << seed;
    EXPECT_EQ(stats.expand.expanded, 0) << "seed " << seed;
    EXPECT_EQ(stats.endCost, stats.startCost) << "seed " << seed;
  }
}

TEST(DeadlineInIteration, SecondIterationCutAtAnyStepKeepsTheFirstCover) {
  struct Case {
    int fcMinRatio;
    const char* search;  ///< the operation that makes the step's new implicants
  };
  int secondGains = 0;
  // Every cut below lands in the second iteration, after the first cover was made.
  for (const Case& c : {Case{100, "Minimizing PLA using FC-Min"}, Case{0, "CD-search"}}) {
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
      auto f = test::randomFr(seed + 40, 7, 1 + seed % 3, 30);
      Settings s = longRun(c.fcMinRatio);
      s.iterationLimit = 1;
      const Outcome first = runCut(*f, s, "", 0);
      s.iterationLimit = 2;
      const Outcome second = runCut(*f, s, "", 0);
      ASSERT_TRUE(first.cover && second.cover);
      if (termTexts(*second.cover) != termTexts(*first.cover)) ++secondGains;
      for (const std::string& operation : {std::string(c.search), std::string("Cheching for dominance")}) {
        // The steps the operation took in the second iteration.
        for (int at = stepsOf(first, operation); at < stepsOf(second, operation); ++at) {
          const Outcome o = runCut(*f, longRun(c.fcMinRatio), operation, at);
          const std::string what = operation + " cut at step " + std::to_string(at) + ", seed " + std::to_string(seed);
          expectValid(*f, o, what);
          EXPECT_EQ(o.figures.iterations, 2) << what;
          // Past the deadline no cover is made, even where its quick completion would be cheaper.
          EXPECT_EQ(o.solverRuns, first.solverRuns) << what;
          EXPECT_EQ(termTexts(*o.cover), termTexts(*first.cover)) << what;
        }
      }
    }
  }
  // The second iterations must change the cover somewhere, or the cuts above would show nothing.
  EXPECT_GT(secondGains, 0);
}
