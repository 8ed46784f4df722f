// One CD iteration of the minimizer.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Runs CD-search, expansion, reduction and dominance for every output; returns the accumulated set.
FunctionPtr CdMinStep(TBoolFnct& f, FunctionPtr implicants);

}  // namespace vorn
