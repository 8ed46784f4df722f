// The columns of the exact covering problem: the on-set cut into cells.
//
// A cover must hold every on-set minterm of every output in some chosen
// prime that carries that output.  Minterms are too many to list, so each
// on-set cube is split, input by input, until every prime of its output
// either contains the piece or misses it; the minterms of such a cell are
// covered by exactly the same primes, so one column stands for all of them.
// Cells with the same set of primes (of any output) are one column, and a
// cell whose primes include all those of a column already made is left out:
// any cover of that column covers it (its prime carries the cell's output,
// as every prime listed for a cell does).  Output connections of a cover
// must therefore be judged against the on-set itself, not the columns.
#pragma once

#include <vector>

#include "exact/prime_generation.h"
#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

struct CoveringTable {
  std::vector<std::vector<int>> columns;        ///< per column: the primes holding its cells, increasing
  std::vector<std::vector<int>> columnOutputs;  ///< per column: outputs of the cells it stands for, increasing
};

struct TableParams {
  long long maxCells = 3000000;  ///< cells before the table gives up
  Deadline deadline;             ///< it gives up once this has expired
  bool perOutput = false;        ///< columns of different outputs are kept apart (for the output cost)
};

/// \brief The columns for covering the on-set `on` with `primes`; false when a bound was reached first.
bool BuildCoveringTable(const CubeSet& on, const PrimeSet& primes, int outputs, const TableParams& params,
                        CoveringTable& table);

}  // namespace vorn
