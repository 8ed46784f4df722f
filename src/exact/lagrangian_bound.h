// A lower bound of a unate covering problem by Lagrangian relaxation.
//
// Rows carry costs and each covers some columns; every column must be
// covered.  Moving "column c is covered" into the objective with a
// multiplier u_c >= 0 leaves a problem every row solves on its own:
//
//   L(u) = sum_c u_c + sum_r min(0, cost_r - sum_{c in r} u_c)
//
// is at most the cost of every cover, for every u >= 0, and its best value
// is the bound of the linear relaxation.  Subgradient optimisation moves u
// towards that value without a linear solver: the step direction of column
// c is 1 minus the number of rows of negative reduced cost covering it, the
// step length aims at a known cover's cost and shrinks when L stops rising.
// The reduced costs rc_r = cost_r - sum_{c in r} u_c bound more: a cover
// holding row r costs at least L(u) + max(rc_r, 0), one without it at least
// L(u) - min(rc_r, 0).  Rows whose bound reaches the best known cover can be
// dropped or taken at once, and the reduced costs tell which rows a good
// cover uses.  Costs are integers, so the bound is rounded up.
#pragma once

#include <climits>
#include <vector>

#include "model/deadline.h"

namespace vorn {

struct LagrangianProblem {
  std::vector<long long> cost;          ///< per row, at least 0
  std::vector<std::vector<int>> cells;  ///< per row: the columns it covers, each below `columns`
  int columns = 0;
};

struct LagrangianParams {
  int iterations = 300;              ///< subgradient steps at most
  long long upperBound = LLONG_MAX;  ///< the cost of a known cover: the steps aim at it, and the search
                                     ///< stops once the bound reaches it
  std::vector<double> start;         ///< multipliers to start from, per column (empty: from zero)
  Deadline deadline;                 ///< the best multipliers so far are returned once this has expired
};

struct LagrangianResult {
  long long bound = 0;               ///< no cover costs less (L of the best multipliers, rounded up)
  double value = 0;                  ///< L of the best multipliers
  std::vector<double> multipliers;   ///< the best multipliers, per column
  std::vector<double> reducedCost;   ///< per row, at the best multipliers
};

/// \brief L(u) of the problem at the multipliers u, and the reduced costs of the rows into rc.
double LagrangianValue(const LagrangianProblem& p, const std::vector<double>& u, std::vector<double>& rc);

/// \brief The smallest integer that no cover's cost can be below, given L(u) = value (with a margin for
/// rounding errors of the sums).
long long BoundOf(double value);

/// \brief Subgradient optimisation of the multipliers of p.
LagrangianResult LagrangianBound(const LagrangianProblem& p, const LagrangianParams& params);

}  // namespace vorn
