// Seeded random covering problems for the tests of the Lagrangian bound and
// of the greedy cover built from its prices.
#pragma once

#include <cstdint>
#include <random>

#include "exact/lagrangian_bound.h"

namespace vorn {

/// \brief A problem of `rows` rows and `columns` columns: each cell is set with probability
/// 1/`density`, a column no row holds goes to one drawn row, and a row costs a draw below
/// `maxCost` plus `costFloor`.
inline LagrangianProblem randomCoveringProblem(std::uint32_t seed, int rows, int columns, int maxCost, int density,
                                               int costFloor) {
  std::mt19937 rng(seed);
  LagrangianProblem p;
  p.columns = columns;
  p.cells.resize(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) p.cost.push_back(static_cast<long long>(rng() % maxCost) + costFloor);
  for (int c = 0; c < columns; ++c) {
    bool any = false;
    for (int r = 0; r < rows; ++r)
      if (rng() % static_cast<std::uint32_t>(density) == 0) p.cells[static_cast<std::size_t>(r)].push_back(c), any = true;
    if (!any) p.cells[rng() % static_cast<std::uint32_t>(rows)].push_back(c);
  }
  return p;
}

}  // namespace vorn
