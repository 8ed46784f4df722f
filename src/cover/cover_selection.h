// Turning an implicant set into a cover, and thinning a cover's output part.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief One covering problem over all outputs; none when some on-set term is covered by no implicant.
FunctionPtr CoverMultiOutput(TBoolFnct& implicants, RunContext& run);
/// \brief One covering problem per output; none when some on-set term is covered by no implicant.
FunctionPtr CoverSingleOutput(TBoolFnct& implicants, RunContext& run);
/// \brief Drops the output connections no output's cover needs; false on an uncoverable column.
bool SparseOutputMatrix(TBoolFnct& cover, RunContext& run);

}  // namespace vorn
