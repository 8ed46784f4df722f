// Splitting the intersecting terms of an fr function in place, so that no two
// input cubes share a minterm and every minterm keeps its output characters.
#pragma once

#include "cdsearch/term_tree.h"
#include "model/function.h"

namespace vorn {

/// \brief Makes the terms of f pairwise disjoint; 1 when done, 0 on a '1' against '0' conflict, 3 when progress asked to stop.
int SplitIntersectingTerms(TBoolFnct& f);

/// \brief First phase: folds terms with equal cubes into the first such term and stores every cube in `tree`; 1, or 0 on a conflict.
int FoldEqualCubes(TBoolFnct& f, TermTree& tree);
/// \brief Second phase: splits every intersecting pair; `tree` maps the cubes of f to their terms.
///
/// Two terms met with the same cube (which the first phase rules out) are
/// folded into the earlier one, as the first phase does.  Returns 1, 0 on a
/// conflict, 3 when progress asked to stop.
int SplitTermPairs(TBoolFnct& f, TermTree& tree);

}  // namespace vorn
