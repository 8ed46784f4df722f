// FC-Min: implicants made by grouping terms of the function that share
// outputs, taking each group's supercube and then dropping literals at random.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Runs FC-Min, determines the cover lists and merges into the accumulated set, which it returns.
///
/// Takes ownership of `accumulated` (none in the first iteration).  When FC-Min
/// is stopped by the progress hook and yields nothing, the accumulated set is
/// returned unchanged, or an empty set derived from f when there was none.
FunctionPtr FcMinStep(TBoolFnct& f, FunctionPtr accumulated, RunContext& run);

/// \brief Builds and expands the FC-Min implicant set of the fr function f; none when progress asked to stop.
FunctionPtr FcMin(TBoolFnct& f, RunContext& run);

/// \brief Removes every implicant equal to an earlier one (cube and output part); returns how many went.
///
/// Groups of a sparse on-set often expand to the same cube; each copy would
/// get a cover list as long as what it covers, so the copies cost memory in
/// the square of the on-set before the dominance passes could remove them.
int DropRepeatedImplicants(TBoolFnct& g);

}  // namespace vorn
