// The run of -exact: the heuristic cover of one iteration and the
// refinement seeds the exact search, which never returns a costlier cover.
#pragma once

#include "driver/minimize.h"

namespace vorn {

/// \brief Minimizes the fr function f exactly by params.settings (its criterion and -single; -St bounds
/// the whole run); returns the cover and fills the run's figures, with their exact part.
FunctionPtr minimizeExact(TBoolFnct& f, const RunParams& params, RunFigures& figures);

}  // namespace vorn
