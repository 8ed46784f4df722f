// Parallel runs.  Every run has its own context (settings, random source,
// run state, scratch), so runs share nothing they write: each minimizes its
// own copy of the function, and only the first run reports its progress and
// prints its step lines, so the report reads like one run's.
// The set shares the caller's interrupt flag; a time limit applies to each
// run from the common start, so the whole set ends with it.
#include "driver/parallel_runs.h"

#include <chrono>
#include <ctime>
#include <exception>
#include <thread>
#include <vector>


namespace vorn {

namespace {

/// A copy of f's terms under f's labels, for a run that must not touch f.
FunctionPtr copyFunction(TBoolFnct& f) {
  FunctionPtr c = derive(f);
  c->source = f.source;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get()) appendTerm(*c, t->input, t->output, t->freeCount);
  return c;
}

struct Run {
  FunctionPtr function;
  FunctionPtr result;
  RunFigures figures;
  std::exception_ptr error;
};

void runOne(Run& run, const RunParams& params) {
  try {
    run.result = minimize(*run.function, params, run.figures);
  } catch (...) {
    run.error = std::current_exception();
  }
}

/// The index of the cheapest result; the lowest index among equals.
int winner(const std::vector<Run>& runs) {
  int w = -1;
  for (int k = 0; k < static_cast<int>(runs.size()); ++k)
    if (runs[k].result && (w < 0 || runs[k].result->cost < runs[w].result->cost)) w = k;
  return w;
}

}  // namespace

FunctionPtr minimizeParallel(TBoolFnct& f, const RunParams& params, int jobs, RunFigures& figures) {
  // An exact run has one result whatever its seed: one run is enough.
  if (jobs <= 1 || params.settings.exact) return minimize(f, params, figures);
  const auto start = std::chrono::steady_clock::now();
  const std::uint32_t first = params.seed ? *params.seed : static_cast<std::uint32_t>(std::time(nullptr));
  buildLists(f);  // as the single run does to its source
  std::vector<Run> runs(jobs);
  for (Run& r : runs) r.function = copyFunction(f);
  std::vector<std::thread> threads;
  for (int k = 0; k < jobs; ++k) {
    RunParams p = params;
    p.seed = first + static_cast<std::uint32_t>(k);
    // The first run speaks for the set: its steps, and its status line on a terminal.
    if (k > 0) {
      p.progress = quietHooks();
      p.stepLine = nullptr;
      p.bestCover = nullptr;
    }
    threads.emplace_back(runOne, std::ref(runs[k]), p);
  }
  for (std::thread& t : threads) t.join();
  for (Run& r : runs)
    if (r.error) std::rethrow_exception(r.error);
  figures = RunFigures{};
  figures.runs = jobs;
  figures.elapsedSeconds = std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
  for (const Run& r : runs) {
    figures.iterations += r.figures.iterations;
    figures.interrupted = figures.interrupted || r.figures.interrupted;
  }
  const int w = winner(runs);
  if (w < 0) return nullptr;
  figures.seed = runs[w].figures.seed;
  figures.improvements = runs[w].figures.improvements;
  // The winner was derived from its run's copy: hand it over to f, which
  // holds the same terms and outlives it.
  FunctionPtr best = std::move(runs[w].result);
  best->source = &f;
  return best;
}

}  // namespace vorn
