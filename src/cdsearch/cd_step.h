// One CD iteration of the minimizer: per output, CD-search, implicant
// expansion, output parts, implicant reduction, cover lists and dominance,
// merging the survivors into the accumulated implicant set.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Runs CD-search, expansion, reduction and dominance for every output; returns the accumulated set.
FunctionPtr CdMinStep(TBoolFnct& f, FunctionPtr implicants, RunContext& run);

}  // namespace vorn
