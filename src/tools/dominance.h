// Dominance passes over implicant sets, and the integer-array routines they rest on.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Removes from target each term whose cover lies in the cover of a term of other with as many free inputs.
void RemoveDominatedTerms(TBoolFnct& target, TBoolFnct& other);
/// \brief Removes each term whose cover lies in the cover of another term of the same function.
void RemoveSelfDominatedTerms(TBoolFnct& f);

}  // namespace vorn
