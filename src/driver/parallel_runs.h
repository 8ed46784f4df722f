// A set of independent minimization runs on threads (-jN): run k is seeded
// with seed + k, and the cheapest cover wins, ties going to the lowest seed.
#pragma once

#include "driver/minimize.h"

namespace vorn {

/// \brief Runs `jobs` seeded runs of f at once (seeds from params.seed, or the clock's second, on);
/// returns the winning cover and the set's figures (summed iterations, wall time, winning seed).
/// With one job it is the single run.
FunctionPtr minimizeParallel(TBoolFnct& f, const RunParams& params, int jobs, RunFigures& figures);

}  // namespace vorn
