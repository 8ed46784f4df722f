// Literal lowering: a cover's terms made prime again for the outputs they keep.
#pragma once

#include "refine/expand.h"
#include "refine/irredundant.h"

namespace vorn {

/// \brief Expands every live term of `cover` again without connecting further outputs, then makes the
/// cover irredundant: terms that lost output connections face a smaller off-set and may drop literals,
/// and terms the grown ones hold go.  `expand` and `irredundant` are the steps' parameters as the
/// caller uses them (the expansion's raising of outputs is turned off here).
void LowerLiterals(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& expand,
                   const IrredundantParams& irredundant, ExpandStats& expandStats, IrredundantStats& irredundantStats);

}  // namespace vorn
