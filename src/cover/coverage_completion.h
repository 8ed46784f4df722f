// Making an implicant set cover its source again after a step that was cut
// short by the run's deadline.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Appends a copy of each source term whose on-set entries no implicant covers, '1' at exactly those outputs; returns how many.
int CompleteCoverage(TBoolFnct& implicants, RunContext& run);

}  // namespace vorn
