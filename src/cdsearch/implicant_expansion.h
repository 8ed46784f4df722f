// Implicant expansion: grows the implicants CD-search put into the pool for
// one output by removing literals while the cube stays an implicant.  Five
// methods differ in where a pass starts, how many passes an entry gets, and
// whether partial expansions go back into the pool.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Runs the method chosen by the settings' ieMethod on the pool entries of output i; none when stopped.
FunctionPtr ExpandImplicants(TBoolFnct& pool, int output, RunContext& run);

/// \brief Method 0: one pass per entry from a random position; the entry leaves the pool.
FunctionPtr IeSequentialSearch(TBoolFnct& pool, int output, RunContext& run);
/// \brief Method 1: one pass per entry and call from its first untried literal; the entry stays while one is left.
FunctionPtr IeDistributedMultiple(TBoolFnct& pool, int output, RunContext& run);
/// \brief Method 2: as method 1, storing the first partial expansion as a new entry for later calls.
FunctionPtr IeDistributedExhaustive(TBoolFnct& pool, int output, RunContext& run);
/// \brief Method 3 (default): passes restarting after each pass's first removal; the entry leaves the pool.
FunctionPtr IeMultipleSequential(TBoolFnct& pool, int output, RunContext& run);
/// \brief Method 4: as method 3 with untried-literal marks, expanding partial expansions in the same call.
FunctionPtr IeExhaustive(TBoolFnct& pool, int output, RunContext& run);

/// \brief Sets each product's output part: '1' for every output it is an implicant of, else '0'.
void SetOutputParts(TBoolFnct& products);

}  // namespace vorn
