// EXPAND with the off-set and the cover held as literal columns.
#pragma once

#include "refine/expand.h"

namespace vorn {

/// \brief Expands `cover` as Expand does, reading blocking rows and the terms in reach from literal
/// columns.  False (and nothing done) when the source has no off-set columns or the cover's would
/// not fit in memory.
bool ExpandByColumns(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
                     ExpandStats& stats);

}  // namespace vorn
