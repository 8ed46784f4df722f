// Every term of a cover expanded on its own, with no other term to steer it.
#pragma once

#include "refine/expand.h"

namespace vorn {

/// \brief Expands every live term of `cover` into a prime as if it were the only term: the literals it
/// keeps are chosen against the off-set alone, not towards other terms.  Every term keeps its place
/// and stays live (terms inside others are not dropped); once the deadline of `params` has expired
/// the terms not reached stay as they are.
void ExpandEachAlone(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
                     ExpandStats& stats);

}  // namespace vorn
