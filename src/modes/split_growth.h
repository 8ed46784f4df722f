// An early verdict on the size of a split: a lower bound on the terms that
// splitting the intersecting terms of a function must end with.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief True when splitting f is sure to end with more than `maxTerms` terms and cannot fail on a
/// conflict first; false when that is not so or cannot be told within a bounded effort.
bool SplitSurelyExceeds(const TBoolFnct& f, int maxTerms);

}  // namespace vorn
