// Literal lowering: a cover's terms made prime again for the outputs they keep.
#pragma once

#include "refine/expand.h"
#include "refine/irredundant.h"

namespace vorn {

/// \brief Expands again, without connecting further outputs, the live terms of `cover` that could
/// carry an output they do not (IRREDUNDANT dropped the connection), then makes the cover
/// irredundant: such terms face a smaller off-set and may drop literals, and terms the grown ones
/// make redundant go.  `expand` and `irredundant` are the steps' parameters as the caller uses them
/// (the expansion's raising of outputs is turned off here).
void LowerLiterals(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& expand,
                   const IrredundantParams& irredundant, ExpandStats& expandStats, IrredundantStats& irredundantStats);

}  // namespace vorn
