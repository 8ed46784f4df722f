// EXPAND with the off-set and the cover held as literal columns.
#pragma once

#include "refine/expand.h"

namespace vorn {

/// \brief Expands `cover` as Expand does, reading blocking rows and the terms in reach from literal
/// columns.  False (and nothing done) when the source has no off-set columns or the cover's would
/// not fit in memory.
bool ExpandByColumns(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
                     ExpandStats& stats);

/// \brief Expands every live term of `cover` on its own, in term order, as Expand does a cover of that
/// term alone: no other term steers it, and none goes.  One set of columns for all the terms instead
/// of one per term.  False (and nothing done) as for ExpandByColumns.
bool ExpandEachAloneByColumns(const RefineSource& source, const ImplicantTest& test, Cover& cover,
                              const ExpandParams& params, ExpandStats& stats);

}  // namespace vorn
