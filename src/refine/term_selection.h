// The choice among partially redundant terms as a weighted covering problem.
#pragma once

#include <vector>

#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

struct SelectionStats {
  int solved = 0;   ///< covering problems solved to a proven minimum
  int greedy = 0;   ///< covering problems too large for that, solved greedily
  long long nodes = 0;  ///< branch-and-bound nodes
};

/// \brief Chooses, among the live terms of `cover` listed in `open`, the cheapest set (by `weight`, per
/// term index) that together with the other live terms still holds every on-set cube of each output
/// inside some term carrying it.  Sets the liveness of the `open` terms to that choice and returns
/// true; returns false (and changes nothing) when the on-set has no columns, the problem would not fit
/// in memory, or some on-set cube is not held whole by a single term (the question is then one of
/// unions, which only the tautology-based steps answer).  Small problems are solved exactly, larger
/// ones (or those the deadline cuts short) by weighted greedy covering.
bool SelectTerms(const RefineSource& source, Cover& cover, const std::vector<int>& open,
                 const std::vector<long long>& weight, const Deadline* deadline, SelectionStats& stats);

}  // namespace vorn
