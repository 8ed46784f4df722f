// A minimum cover sought within a slice of a timed run's limit.
#pragma once

#include <chrono>
#include <optional>

#include "model/deadline.h"
#include "model/function.h"
#include "model/settings.h"

namespace vorn {

struct ExactStepParams {
  /// Of the run's time limit the step may take.  Where the primes can be listed, the refinements
  /// after the step seldom beat its cover, and a step cut short by a busy machine ends in a costlier
  /// one (ex1010 of the classic set at -St5, two jobs per core: 1,666-1,714 literals with 0.3 of the
  /// limit, 1,647 with 0.45).
  double share = 0.45;
  /// Of the run's time limit the listing of the primes may take: where they are too many to list,
  /// the step gives up after this and the run goes on.
  double primeShare = 0.3;
  double leastSeconds = 0.5;  ///< a shorter slice lists too few primes to be worth taking
  /// The slice is at most the time left over this: a covering problem is cut down between two looks
  /// at the clock, so the step may end somewhat past its slice, and the run keeps time after it.
  double room = 2;
};

struct ExactStepResult {
  FunctionPtr cover;    ///< cheaper than the cover given, valid; none when none was found
  bool proven = false;  ///< no cover is cheaper than the cheaper of the given and the returned one
};

/// \brief The deadline of an exact step that begins at `now` in a run limited to `timeLimit` seconds
/// ending at `run`: `run` brought forward to the slice's end, the slice params.share of the limit or
/// the time left over params.room, whichever is shorter; none when that is under params.leastSeconds.
std::optional<Deadline> ExactSlice(const Deadline& run, double timeLimit, Deadline::Clock::time_point now,
                                   const ExactStepParams& params);

/// \brief Seeks, until `slice` expires, a cover of the fr function f cheaper than `best` (a valid cover
/// with its cost by s.criterion) among the primes of f, by the run's criterion and output form.
ExactStepResult ExactStep(TBoolFnct& f, const TBoolFnct& best, const Settings& s, const Deadline& slice,
                          const ExactStepParams& params = ExactStepParams{});

}  // namespace vorn
