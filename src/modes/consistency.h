// The consistency check of a function: intersecting terms must agree on every
// output where neither holds '~'.
#pragma once

#include "model/function.h"
#include "model/progress.h"

namespace vorn {

/// \brief 1 when every two intersecting terms of f agree on every output where neither has '~'; else 0.
int CheckConsistency(const TBoolFnct& f, const ProgressHooks& progress = quietProgress());

}  // namespace vorn
