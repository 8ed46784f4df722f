// What one minimization run carries with it and hands down to the steps it
// calls, instead of the steps reaching for process-wide records: its
// settings, its random source, the progress hooks, where its step lines go,
// the stop check of the search and the run state.  The front end fills the
// settings and the hooks; the driver seeds the random source, sets the
// deadline and the run state.  A parallel set gives every run its own copy,
// so runs on different threads share nothing they write.
#pragma once

#include <functional>

#include "model/deadline.h"
#include "model/function.h"
#include "model/progress.h"
#include "model/random.h"
#include "model/run_state.h"
#include "model/settings.h"

namespace vorn {

struct RunContext {
  Settings settings;
  Random random;
  ProgressHooks progress = quietHooks();
  /// Where the start lines of the generator steps go; none: they are not shown.
  std::function<void(const char* line)> stepLine;
  /// Told of every cover the driver keeps as the best so far; none: nobody listens.
  std::function<void(const TBoolFnct& best)> bestCover;
  /// When the search stops: the time share of the search and the interrupt flag.
  /// The steps and the covering solvers check it; a run without a limit never expires.
  Deadline deadline;
  TBuffers* state = nullptr;  ///< the run state while a run lasts (owned by the driver)

  /// \brief Shows a step's start line where the run's step lines go.
  void printStep(const char* line) const {
    if (stepLine) stepLine(line);
  }
};

}  // namespace vorn
