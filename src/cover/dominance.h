// Dominance passes over implicant sets, and the integer-array routines they rest on.
//
// A term is dominated when every on-set entry it covers is covered by another
// term too; the passes mark such terms and purge them.  Cover entries are
// compared by their cover key, output x maxOnCount + onIndex (the column of
// the multi-output cover matrix).
//
// Both passes only thin a set that covers its source, so either may stop
// early: once the deadline has expired the terms not yet looked at stay.
#pragma once

#include "model/deadline.h"
#include "model/function.h"
#include "model/progress.h"

namespace vorn {

/// \brief Sorts `count` ints ascending in place (middle-pivot quicksort).
void SortInts(int* values, int count);
/// \brief 1 when `key` is among the first `count` values of an ascending array, else 0.
int ContainsInt(const int* values, int count, int key);
/// \brief Builds the sorted cover keys of a term once, using maxOnCount of the function's source.
void BuildCoverKeys(const TBoolFnct& f, TPfnct& term);
/// \brief The cover key of one entry for a source whose largest on-list holds `maxOnCount` entries.
inline int CoverKey(const CoverEntry& e, int maxOnCount) { return e.output * maxOnCount + e.onIndex; }

/// \brief Removes from target each term whose cover lies in the cover of a term of other with as many free inputs,
/// until the deadline expires.
void RemoveDominatedTerms(TBoolFnct& target, TBoolFnct& other, const ProgressHooks& progress,
                          const Deadline& deadline = Deadline{});
/// \brief Removes each term whose cover lies in the cover of another term of the same function, until the
/// deadline expires.
void RemoveSelfDominatedTerms(TBoolFnct& f, const ProgressHooks& progress, const Deadline& deadline = Deadline{});

}  // namespace vorn
