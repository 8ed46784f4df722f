// The exact step of a timed refinement run.
//
// REDUCE, EXPAND and IRREDUNDANT end in a local minimum, and the refinements
// from drawn starts that follow may wander for the whole limit without
// leaving it.  Many functions, though, are small enough for every prime to
// be listed and the covering problem over them solved to a proven minimum in
// a fraction of a second.  So a timed run, once its first refinement has
// ended, gives one slice of its limit to the exact minimization, seeded with
// the best cover: what it finds is never costlier, and when it proves the
// best cover minimal the run has nothing left to gain and ends.  Where the
// primes are too many or the problem too hard for the slice, the step gives
// up at the slice's end and the run goes on as it would have.  Only a slice
// long enough to list a fair number of primes is taken, and at most half the
// time the run has left, since the covering problem is cut down between two
// looks at the clock.
#include "driver/exact_step.h"

#include <algorithm>

#include "exact/exact_minimize.h"
#include "model/cost.h"

namespace vorn {

std::optional<Deadline> ExactSlice(const Deadline& run, double timeLimit, Deadline::Clock::time_point now,
                                   const ExactStepParams& params) {
  if (!run.at || run.expired() || !(timeLimit > 0)) return std::nullopt;
  const double left = std::chrono::duration<double>(*run.at - now).count();
  const double slice = std::min(params.share * timeLimit, left / params.room);
  if (slice < params.leastSeconds) return std::nullopt;
  return run.until(Deadline::after(now, slice));
}

ExactStepResult ExactStep(TBoolFnct& f, const TBoolFnct& best, const Settings& s, const Deadline& slice,
                          const ExactStepParams& params) {
  ExactStepResult result;
  if (slice.expired()) return result;
  ExactParams p;
  p.criterion = s.criterion;
  p.singleOutput = s.singleOutput == 1;
  p.unconnected = s.substituteOutputDc == 1 ? '0' : '~';
  p.deadline = slice;
  p.seed = &best;
  if (s.stopOnTime) p.primesBy = Deadline::after(Deadline::Clock::now(), params.primeShare * s.timeLimit);
  ExactStats stats;
  result.cover = MinimizeExact(f, p, stats);
  result.proven = stats.proven;
  if (!result.cover) return result;
  computeStatistics(*result.cover);
  computeCost(*result.cover, s.criterion);
  if (result.cover->cost >= best.cost) result.cover.reset();
  return result;
}

}  // namespace vorn
