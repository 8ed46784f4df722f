// One FC-Min iteration of the minimizer.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Runs FC-Min, determines the cover lists and merges into the accumulated set, which it returns.
FunctionPtr FcMinStep(TBoolFnct& f, FunctionPtr accumulated);

}  // namespace vorn
