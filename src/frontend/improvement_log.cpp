// The driver steps its progress operation once per iteration (kind 1),
// right after it has set the run figures and kept or dropped the iteration's
// cover.  Listening there sees every change of the best cover with the
// iteration count and elapsed time the report uses, without the driver
// knowing about the log.  A new best is always a new cover, made while the
// old one was alive, so a change of address is a change of best.  A cover
// made only after the last iteration (-endcov) is not on the course; a
// cheaper cover from the refinement after the search ends it, marked so.
#include "frontend/improvement_log.h"

#include <utility>

#include "driver/run_state.h"

namespace vorn {

ImprovementLog::ImprovementLog() : saved_(progress()) {
  progress().step = [this, inner = saved_.step](int index, int kind) {
    if (kind == 1) afterIteration();
    return inner(index, kind);
  };
}

ImprovementLog::~ImprovementLog() { progress() = std::move(saved_); }

void ImprovementLog::finish(const TBoolFnct& result, int iterations, double seconds) {
  if (!entries_.empty() && result.cost < entries_.back().cost)
    entries_.push_back({iterations, seconds, result.cost, true});
}

void ImprovementLog::afterIteration() {
  const TBuffers* run = runState();
  if (!run || !run->best || run->best == best_) return;
  best_ = run->best;
  entries_.push_back({iterationCount, elapsedSeconds, best_->cost});
}

}  // namespace vorn
