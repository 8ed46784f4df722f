#include "driver/exact_run.h"

#include <chrono>

#include "exact/exact_minimize.h"
#include "model/cost.h"

namespace vorn {

namespace {

/// \brief The settings of the seed: one iteration of the search and the refinement, as -Si1 -refine.
Settings seedSettings(const Settings& s) {
  Settings seed = s;
  seed.exact = 0;
  seed.stopOnTime = 0;
  seed.stopOnInterval = 0;
  seed.stopOnQuality = 0;
  seed.stopOnIterations = 1;
  seed.iterationLimit = 1;
  seed.refine = 1;
  return seed;
}

}  // namespace

FunctionPtr minimizeExact(TBoolFnct& f, const RunParams& params, RunFigures& fig) {
  const auto start = std::chrono::steady_clock::now();
  const Settings& s = params.settings;
  RunParams seedParams = params;
  seedParams.settings = seedSettings(s);
  FunctionPtr best = minimize(f, seedParams, fig);
  if (!best) return nullptr;
  computeStatistics(*best);
  computeCost(*best, s.criterion);
  ExactParams p;
  p.criterion = s.criterion;
  p.singleOutput = s.singleOutput == 1;
  p.unconnected = s.substituteOutputDc == 1 ? '0' : '~';
  p.deadline.interrupt = params.interrupt;
  if (s.stopOnTime) p.deadline.at = Deadline::after(start, s.timeLimit);
  p.seed = best.get();
  ExactStats st;
  FunctionPtr exact = MinimizeExact(f, p, st);
  fig.elapsedSeconds = std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
  if (exact) {
    best = std::move(exact);
    fig.improvements.push_back({fig.iterations, fig.elapsedSeconds, best->cost});
  }
  fig.interrupted = fig.interrupted || p.deadline.interrupted();
  ExactFigures e;
  e.proven = st.proven;
  e.lowerBound = st.lowerBound;
  e.primes = st.primes;
  e.coreRows = st.coreRows;
  e.coreColumns = st.coreColumns;
  fig.exact = e;
  return best;
}

}  // namespace vorn
