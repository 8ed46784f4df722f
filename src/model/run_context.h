// What one minimization run carries with it and hands down to the steps it
// calls, instead of the steps reaching for process-wide records: the stop
// check of the search.  The driver owns one per run; a parallel set owns one
// per run, so runs on different threads share nothing they write.
#pragma once

#include "model/deadline.h"

namespace vorn {

struct RunContext {
  /// When the search stops: the time share of the search and the interrupt flag.
  /// The steps and the covering solvers check it; a run without a limit never expires.
  Deadline deadline;
};

}  // namespace vorn
