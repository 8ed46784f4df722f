// Splitting a function into minterms: a full truth table with one term per
// input combination, in counting order.
#pragma once

#include <string>

#include "model/function.h"
#include "model/progress.h"

namespace vorn {

/// Functions with this many inputs or more have more minterms than a term count can hold.
constexpr int kMaxMintermInputs = 31;

/// \brief A new function derived from f with one term per minterm; none on an fr conflict, an unknown type,
/// or kMaxMintermInputs inputs or more.
FunctionPtr SplitIntoMinterms(TBoolFnct& f, const ProgressHooks& progress = quietProgress());
/// \brief Fills `out` with the output part of the minterm (a cube of f's inputs) by the rules of f's type; 0 on failure.
int MintermOutputs(const TBoolFnct& f, const Cube& minterm, std::string& out);

}  // namespace vorn
