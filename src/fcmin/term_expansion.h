// Expansion of FC-Min implicants: literals are dropped in random order as
// long as the implicant meets no term of the source with '0' under its '1's.
#pragma once

#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Drops literals of every term of g in random order while the term stays valid; returns g.
/// Once the run's deadline has expired the terms not yet reached are left as they are.
TBoolFnct& ExpandTerms(TBoolFnct& g, RunContext& run);
/// \brief 1 when the k-th term of g (by termIndex) meets no term of g's source with '0' where it has '1'.
int IsTermValid(const TBoolFnct& g, int k);
/// \brief (Re)builds termIndex of g in list order and sets each term's position.
void IndexTerms(TBoolFnct& g);

}  // namespace vorn
