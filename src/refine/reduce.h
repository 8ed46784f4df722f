// REDUCE: every term shrunk to the smallest cube that still covers what only it covers.
#pragma once

#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

struct ReduceParams {
  bool outputs = true;      ///< also drop the outputs for which a term covers nothing alone
  bool independent = false; ///< reduce every term against the cover as given, not as earlier reductions left it
  const Deadline* deadline = nullptr;  ///< once expired, the terms not reached stay as they are
  /// Count coverage per on-set minterm where the on-set terms are minterms (the same result as the
  /// tautology-based reduction, in word operations).
  bool counts = true;
};

struct ReduceStats {
  int reduced = 0;  ///< terms that gained literals
  int removed = 0;  ///< terms that covered nothing alone and went
};

/// \brief Reduces the live terms one after the other (largest first), each against the cover as the
/// earlier reductions left it, so that the cover stays a cover.  With `independent`, each term is
/// reduced against the cover as given: the terms then need not cover the on-set together any more.
void Reduce(const RefineSource& source, Cover& cover, const ReduceParams& params, ReduceStats& stats);

}  // namespace vorn
