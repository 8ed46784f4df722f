// Cover lists of implicants and the cover matrix of the covering problem.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Rebuilds covers, coverCount and coverKeys of every term of an implicant set.
void DetermineCover(TBoolFnct& implicants);

}  // namespace vorn
