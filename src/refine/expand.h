// EXPAND: every term of a cover made prime against the off-set.
#pragma once

#include "model/deadline.h"
#include "model/random.h"
#include "refine/refine_problem.h"

namespace vorn {

struct ExpandParams {
  bool raiseOutputs = true;
  const Deadline* deadline = nullptr;  ///< once expired, the terms not reached stay as they are
  /// When set, cubes built up literal by literal take a literal drawn among those nearly as good as
  /// the best (starts that differ); none takes the best.
  Random* random = nullptr;
  bool outputsFirst = false;  ///< also connect them before the literals are dropped (terms shared by more outputs)  ///< connect outputs the expanded cube may carry and meets the on-set of
};

struct ExpandStats {
  int expanded = 0;       ///< terms that lost literals
  int removed = 0;        ///< terms found inside an expanded term and dropped
  long long rows = 0;     ///< blocking rows built
};

/// \brief Expands every live term of `cover` in turn (largest first) to a prime of the source, choosing
/// the literals to drop so that it comes to hold as many other terms as it can; terms it comes to hold
/// lose the outputs it carries, and go when none is left.
void Expand(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
            ExpandStats& stats);

}  // namespace vorn
