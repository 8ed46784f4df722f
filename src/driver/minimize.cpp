#include "driver/minimize.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "cdsearch/cd_step.h"
#include "cover/cover_selection.h"
#include "cover/coverage_completion.h"
#include "cover/equal_cubes.h"
#include "fcmin/fc_min.h"
#include "model/cost.h"
#include "model/deadline.h"
#include "model/run_context.h"
#include "model/run_state.h"
#include "refine/refine.h"

namespace vorn {

namespace {

using Clock = std::chrono::steady_clock;

/// Builds the cover of the accumulated set as the settings ask, with its figures and cost; none when the
/// covering problem fails.
FunctionPtr makeCover(TBoolFnct& f, TBoolFnct& implicants, RunContext& ctx) {
  const Settings& s = ctx.settings;
  // A step cut short by the deadline may have left on-set terms uncovered.
  if (ctx.deadline.expired()) CompleteCoverage(implicants, ctx);
  FunctionPtr cover = s.singleOutput ? CoverSingleOutput(implicants, ctx) : CoverMultiOutput(implicants, ctx);
  if (!cover) return nullptr;
  if (s.noOutputSparsing == 0 && f.outputCount > 1 && s.singleOutput == 0 && !SparseOutputMatrix(*cover, ctx))
    return nullptr;
  if (s.singleOutput == 0) MergeEqualCubes(*cover);
  computeStatistics(*cover);
  computeCost(*cover, s.criterion);
  return cover;
}

void beginProgress(const RunContext& ctx) {
  const Settings& s = ctx.settings;
  if (s.stopOnTime && !s.stopOnIterations)
    ctx.progress.begin("Minimizing using VORN...", static_cast<int>(s.timeLimit), 1);
  else if (s.stopOnIterations && !s.stopOnTime)
    ctx.progress.begin("Minimizing...", s.iterationLimit, 1);
  else
    ctx.progress.begin("Minimizing...", 0, 1);
}

/// A run stopped by quality alone also ends after this many iterations in a row
/// without a cheaper cover (and at least as many as it took to reach its best),
/// so that a limit it cannot reach does not keep it going forever.
constexpr int kStallIterations = 1000;

bool hasOnSet(const TBoolFnct& f) {
  for (int n : f.onCounts)
    if (n > 0) return true;
  return false;
}

bool stalled(const Settings& s, int iterationCount, int lastBetter) {
  const bool onlyQuality = s.stopOnQuality && !s.stopOnTime && !s.stopOnIterations && !s.stopOnInterval;
  return onlyQuality && iterationCount - lastBetter >= std::max(kStallIterations, lastBetter);
}

/// The seconds the search may take under -St: all of them, or with -refine the share that leaves
/// the rest of the limit to the refinement.
float searchTimeLimit(const Settings& s) {
  return s.refine ? s.timeLimit * 0.7f : s.timeLimit;
}

/// The stopping tests in their fixed order; true while the run goes on.
bool goOn(const Settings& s, const RunFigures& fig, int lastImprovement, int improvementGap, const TBoolFnct* best,
          int lastBetter) {
  const int iterationCount = fig.iterations;
  bool on = !stalled(s, iterationCount, lastBetter);
  if (on && s.stopOnTime) on = fig.elapsedSeconds <= searchTimeLimit(s);
  if (on && s.stopOnIterations) on = iterationCount < s.iterationLimit;
  // Before any cover exists there is no cost to judge: go on.
  if (on && s.stopOnQuality && best) on = s.qualityLimit < best->cost;
  if (on && s.stopOnInterval)
    on = static_cast<long long>(iterationCount) <
         static_cast<long long>(lastImprovement) + static_cast<long long>(s.intervalFactor) * improvementGap;
  return on;
}

/// Replaces the best cover by a cheaper one from the refinement, when it finds one.
void refineBest(TBoolFnct& f, FunctionPtr& best, const TBoolFnct* implicants, const Settings& s,
                const Deadline& deadline) {
  RefineParams p;
  p.criterion = s.criterion;
  p.singleOutput = s.singleOutput == 1;
  p.deadline = deadline;
  p.thorough = s.stopOnTime != 0;
  p.unconnected = s.substituteOutputDc == 1 || f.outputCount == 1 ? '0' : '~';
  RefineStats stats;
  FunctionPtr better = Refine(f, *best, implicants, p, stats);
  if (!better) return;
  computeStatistics(*better);
  computeCost(*better, s.criterion);
  best = std::move(better);
}

}  // namespace

FunctionPtr minimize(TBoolFnct& f, const Settings& settings, std::optional<std::uint32_t> seed) {
  RunFigures figures;
  RunParams params;
  params.seed = seed;
  params.settings = settings;
  return minimize(f, params, figures);
}

FunctionPtr minimize(TBoolFnct& f, const RunParams& params, RunFigures& fig) {
  RunContext ctx;
  ctx.settings = params.settings;
  ctx.progress = params.progress;
  ctx.stepLine = params.stepLine;
  ctx.bestCover = params.bestCover;
  const Settings& s = ctx.settings;
  fig = RunFigures{};
  std::unique_ptr<TBuffers> run = createRunState(f, s);
  ctx.state = run.get();
  fig.seed = params.seed ? *params.seed : static_cast<std::uint32_t>(std::time(nullptr));
  ctx.random.seedRandom(fig.seed);
  buildLists(f);
  const Clock::time_point start = Clock::now();
  // The whole run ends with the time limit; the search with its share of it,
  // so that a run limited by time does not sit in an exponential exact cover.
  Deadline deadline;
  deadline.interrupt = params.interrupt;
  if (s.stopOnTime) deadline.at = Deadline::after(start, s.timeLimit);
  ctx.deadline.interrupt = params.interrupt;
  if (s.stopOnTime) ctx.deadline.at = Deadline::after(start, searchTimeLimit(s));
  int lastImprovement = 1, improvementGap = 1, lastBetter = 0;
  // Without on-set terms no iteration ever grows the set: the empty cover is
  // the first cover, made in the first iteration, so the quality test can judge it.
  const bool emptyOnSet = !hasOnSet(f);
  FunctionPtr best;
  bool failed = false;
  beginProgress(ctx);
  bool on = true;
  const TBoolFnct* recorded = nullptr;
  do {
    const int iterationCount = ++fig.iterations;
    const int before = run->implicants ? run->implicants->termCount : 0;
    const int d = ctx.random.nextRandom() % 100 + 1;
    run->implicants = d > s.fcMinRatio ? CdMinStep(f, std::move(run->implicants), ctx)
                                        : FcMinStep(f, std::move(run->implicants), ctx);
    const int gain = run->implicants->termCount - before;
    if (s.coverAtEnd == 0 && (gain > 0 || (emptyOnSet && !best))) {
      FunctionPtr cover = makeCover(f, *run->implicants, ctx);
      if (!cover) {
        failed = true;
        break;
      }
      if (!best) {
        best = std::move(cover);
        lastBetter = iterationCount;
      } else if (cover->cost < best->cost) {
        best = std::move(cover);
        lastBetter = iterationCount;
        improvementGap = iterationCount - lastImprovement;
        lastImprovement = iterationCount;
      }
      run->best = best.get();
      if (ctx.bestCover) ctx.bestCover(*best);
    }
    fig.elapsedSeconds = std::chrono::duration<float>(Clock::now() - start).count();
    if (best && best.get() != recorded) {
      recorded = best.get();
      fig.improvements.push_back({iterationCount, fig.elapsedSeconds, best->cost});
    }
    on = goOn(s, fig, lastImprovement, improvementGap, best.get(), lastBetter);
    const int index = s.stopOnTime ? static_cast<int>(fig.elapsedSeconds) : s.stopOnIterations ? iterationCount : 0;
    if (ctx.progress.step(index, 1) != 0) on = false;
    if (on && deadline.interrupted()) {
      fig.interrupted = true;
      on = false;
    }
  } while (on);
  // With -endcov no cover was made in the loop.
  if (!failed && (s.coverAtEnd == 1 || !best)) {
    best = makeCover(f, *run->implicants, ctx);
    failed = !best;
  }
  if (!failed && best && s.refine) {
    refineBest(f, best, run->implicants.get(), s, deadline);
    fig.elapsedSeconds = std::chrono::duration<float>(Clock::now() - start).count();
    if (!fig.improvements.empty() && best->cost < fig.improvements.back().cost)
      fig.improvements.push_back({fig.iterations, fig.elapsedSeconds, best->cost, true});
  }
  ctx.state = nullptr;
  releaseRunState(std::move(run));
  ctx.progress.end();
  if (failed) return nullptr;
  return best;
}

}  // namespace vorn
