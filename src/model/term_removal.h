// Taking terms out of a function's list: the only two ways a term leaves a
// list, both keeping head, tail and termCount consistent.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Removes and releases every term whose keep flag is 0; kept terms stay in order.
void PurgeMarkedTerms(TBoolFnct& f);
/// \brief Unlinks and releases `term`, whose predecessor is `before` (none at the head); returns its successor.
TPfnct* RemoveTerm(TBoolFnct& f, TPfnct* term, TPfnct* before);

}  // namespace vorn
