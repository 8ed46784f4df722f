// Splitting the intersecting terms of an fr function in place, so that no two
// input cubes share a minterm and every minterm keeps its output characters.
#pragma once

#include <climits>

#include "model/function.h"
#include "model/progress.h"
#include "model/term_tree.h"

namespace vorn {

/// Splitting can multiply the terms (k single-literal terms give 2^k pieces):
/// it gives up once the function holds more terms than this, or than twice
/// the terms it started with when that is more.
constexpr int kMaxSplitTerms = 50000;
/// The result of SplitIntersectingTerms that gave up on that size.
constexpr int kSplitTooLarge = 4;

/// \brief The term count at which splitting f gives up.
int splitTermLimit(const TBoolFnct& f);

/// \brief Makes the terms of f pairwise disjoint; 1 when done, 0 on a '1' against '0' conflict, 3 when progress
/// asked to stop, kSplitTooLarge when the function grew past `maxTerms` (f is then left partly rewritten).
int SplitIntersectingTerms(TBoolFnct& f, int maxTerms, const ProgressHooks& progress = quietProgress());
/// \brief The same with the limit of splitTermLimit.
int SplitIntersectingTerms(TBoolFnct& f);

/// \brief First phase: folds terms with equal cubes into the first such term and stores every cube in `tree`; 1, or 0 on a conflict.
int FoldEqualCubes(TBoolFnct& f, TermTree& tree);
/// \brief Second phase: splits every intersecting pair; `tree` maps the cubes of f to their terms.
///
/// Two terms met with the same cube (which the first phase rules out) are
/// folded into the earlier one, as the first phase does.  Returns 1, 0 on a
/// conflict, 3 when progress asked to stop, kSplitTooLarge past `maxTerms` terms.
int SplitTermPairs(TBoolFnct& f, TermTree& tree, int maxTerms = INT_MAX,
                   const ProgressHooks& progress = quietProgress());

}  // namespace vorn
