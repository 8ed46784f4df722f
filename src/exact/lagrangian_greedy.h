// A cover of a unate covering problem from the prices of its columns.
//
// The multipliers of the Lagrangian relaxation price every column at what
// covering it is worth; a row's reduced cost is its cost less the prices of
// the uncovered columns it holds.  The greedy of Caprara, Fischetti and Toth
// picks, until every column is covered, the row of least score: its reduced
// cost per uncovered column when that is positive, else the reduced cost
// times that number (a row the relaxation takes, holding many uncovered
// columns, first).  Unlike a greedy by cost per column, it follows the
// relaxation where the relaxation is sure and its cost per column where it
// is not; near good multipliers its covers come close to the bound.  Rows
// whose columns the others cover are then dropped, the costliest first.
#pragma once

#include <vector>

#include "exact/lagrangian_bound.h"

namespace vorn {

/// \brief The rows of a cover of p (indices into p's rows) built greedily by the scores of the
/// multipliers u (one per column), without redundant rows; empty when some column has no row.
std::vector<int> LagrangianGreedy(const LagrangianProblem& p, const std::vector<double>& u);

}  // namespace vorn
