// A lower bound of the terms of any cover without generating primes: on-set
// points (a minterm and an output) no two of which one term can hold.
//
// A term holding the points (m1, j1) and (m2, j2) contains their supercube
// and feeds j1 and j2, so it exists exactly when that supercube meets no
// off-set cube of j1 or j2.  Points that pairwise fail this need a term each
// (and under the output cost, points of different outputs always need a
// connection each).  A greedy set of such points, taken from the smallest
// on-set cubes first, often reaches the term count of a good heuristic
// cover, which proves it minimal even where the primes are too many to list.
#pragma once

#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

struct IncompatibleParams {
  int maxPoints = 20000;  ///< candidate points looked at
  Deadline deadline;      ///< the bound found so far is returned once this has expired
  bool perOutput = false; ///< points of different outputs never share (output cost)
};

/// \brief The size of a set of pairwise incompatible on-set points of src (a lower bound of the terms
/// of any cover, or of the output connections with perOutput).
long long IncompatibleBound(const RefineSource& src, const IncompatibleParams& params);

}  // namespace vorn
