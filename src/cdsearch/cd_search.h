// CD-search (coverage-directed search): builds implicants of one output
// literal by literal, each time keeping as many still uncovered on-set terms
// inside the cube as possible, until every on-set term is covered.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Runs CD-search for output i of f and appends its implicants to the run state's pool.
void CdSearch(TBoolFnct& f, int output, RunContext& run);

}  // namespace vorn
