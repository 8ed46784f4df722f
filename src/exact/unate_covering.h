// Minimum-cost unate covering by branch and bound.
//
// Rows carry costs; every column must be covered by a chosen row.  The
// problem is first cut down to its cyclic core: rows that alone cover a
// column are chosen (essential), a row whose columns a row of no higher cost
// covers too is dropped (row dominance), a column whose rows all cover
// another column is dropped (column dominance), until nothing changes.  The
// core splits into blocks that share no row, and each block is searched on
// its own: branch on the column with the fewest rows, one child per row
// (that row chosen, the rows before it dropped), reduce again in every node,
// and prune a node once its cost plus a lower bound reaches the best cover.
// The lower bound is a feasible solution of the dual of the linear
// relaxation, found by dual ascent over the columns with the fewest rows
// first (for unit costs: a maximal set of columns that share no row), and
// then the Lagrangian relaxation's (exact/lagrangian_bound.h), nearly the
// linear bound, whose reduced costs drop the rows no cheaper cover holds,
// choose those every cheaper cover holds, and order the children; at the
// start of a block its relaxed rows, completed greedily, give a first cover.
// Then a dive after the refinement procedure of Caprara, Fischetti and Toth
// looks for a cheaper one: the multipliers' greedy (lagrangian_greedy.h)
// gives a cover, its rows of least reduced cost are chosen until they hold a
// share of the open columns (a tenth, by default), and the relaxation of
// what is left is solved again, level by level.  Where the search's own first descent (one row per
// level, each level reduced and priced again) takes hundreds of levels, the
// dive takes a few dozen.
#pragma once

#include <climits>
#include <vector>

#include "model/deadline.h"

namespace vorn {

struct CoveringProblem {
  std::vector<long long> cost;            ///< per row, at least 0
  std::vector<std::vector<int>> columns;  ///< per column: the rows covering it
};

struct CoveringParams {
  long long upperBound = LLONG_MAX;  ///< a cover of this cost exists elsewhere: only cheaper ones are wanted
  Deadline deadline;                 ///< the search stops once this has expired
  long long maxMatrixWords = 16 << 20;  ///< bound of the bit matrix of the problem left after the essential rows
  long long maxNodes = LLONG_MAX;       ///< search nodes before the search stops as at the deadline
  /// One dive per entry before a block's search, each choosing rows until they hold that share of the
  /// open columns at every level: dives of other shares end in other covers.
  std::vector<double> diveShares = {0.1};
};

struct CoveringResult {
  bool improved = false;      ///< `rows` is a cover cheaper than the upper bound
  std::vector<int> rows;      ///< the rows of the cover (when improved)
  long long cost = 0;         ///< its cost (when improved)
  bool proven = false;        ///< no cover is cheaper than min(cost, upper bound)
  long long lowerBound = 0;   ///< no cover is cheaper than this
  int coreRows = 0, coreColumns = 0;  ///< size of the cyclic core
  long long nodes = 0;        ///< search nodes
};

/// \brief Looks for a minimum-cost cover of the columns of p.
CoveringResult SolveCovering(const CoveringProblem& p, const CoveringParams& params);

}  // namespace vorn
