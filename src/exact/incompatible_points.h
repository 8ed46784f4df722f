// A lower bound of the cost of any cover without generating primes: on-set
// points (a minterm and an output) no two of which one term can hold.
//
// A term holding the points (m1, j1) and (m2, j2) contains their supercube
// and feeds j1 and j2, so it exists exactly when that supercube meets no
// off-set cube of j1 or j2.  Points that pairwise fail this need a term each
// (and under the output cost, points of different outputs always need a
// connection each).  Counting literals, the term of a point has a literal
// at every input where flipping the point's minterm gives an off-set minterm
// of its output, so each point weighs that many literals.  A greedy set of
// such points, taken from the witnesses of a good heuristic cover first and
// then from the smallest on-set cubes, often reaches that cover's cost,
// which proves it minimal even where the primes are too many to list.
#pragma once

#include <vector>

#include "exact/essential_points.h"
#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

struct IncompatibleParams {
  int maxPoints = 20000;  ///< candidate points looked at
  Deadline deadline;      ///< the bound found so far is returned once this has expired
  int criterion = 0;      ///< 0 terms, 1 literals, 2 output cost (points of different outputs never share),
                          ///< 3 literals and output cost
  std::vector<OnPoint> first;  ///< points tried before those of the on-set cubes (a cover's witnesses)
};

/// \brief The cost, by the criterion, of a set of pairwise incompatible on-set points of src: a lower
/// bound of the cost of any cover.
long long IncompatibleBound(const RefineSource& src, const IncompatibleParams& params);

}  // namespace vorn
