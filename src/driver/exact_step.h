// A minimum cover sought within a slice of a timed run's limit.
#pragma once

#include <chrono>
#include <optional>

#include "model/deadline.h"
#include "model/function.h"
#include "model/settings.h"

namespace vorn {

struct ExactStepParams {
  double share = 0.3;         ///< of the run's time limit the step may take
  double leastSeconds = 0.5;  ///< a shorter slice lists too few primes to be worth taking
  /// The run must have this many times the slice left when the step begins: a covering problem
  /// is cut down between two looks at the clock, so the step may end somewhat past its slice.
  double room = 2;
};

struct ExactStepResult {
  FunctionPtr cover;    ///< cheaper than the cover given, valid; none when none was found
  bool proven = false;  ///< no cover is cheaper than the cheaper of the given and the returned one
};

/// \brief The deadline of an exact step that begins at `now` in a run limited to `timeLimit` seconds
/// ending at `run`: `run` brought forward to the slice's end; none when the slice would be shorter
/// than params.leastSeconds or the run has less than params.room times the slice left.
std::optional<Deadline> ExactSlice(const Deadline& run, double timeLimit, Deadline::Clock::time_point now,
                                   const ExactStepParams& params);

/// \brief Seeks, until `slice` expires, a cover of the fr function f cheaper than `best` (a valid cover
/// with its cost by s.criterion) among the primes of f, by the run's criterion and output form.
ExactStepResult ExactStep(TBoolFnct& f, const TBoolFnct& best, const Settings& s, const Deadline& slice);

}  // namespace vorn
