// Implicant reduction: for an expanded implicant that is not an implicant of
// every output, appends a copy with one more literal that separates it from as
// many of the other outputs' off-set terms as possible, so the copy serves
// more outputs.  Copies are reduced again in the same walk.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Appends reduced copies of the products of an expansion result (whose source supplies the off-sets).
void ReduceImplicants(TBoolFnct& products, RunContext& run);

}  // namespace vorn
