// The columns of the exact covering problem: the on-set cut into cells.
//
// A cover must hold every on-set minterm of every output in some chosen
// prime that carries that output.  Minterms are too many to list, so each
// on-set cube is split, input by input, until every prime of its output
// either contains the piece or misses it; the minterms of such a cell are
// covered by exactly the same primes, so one column stands for all of them.
// Cells with the same set of primes (of any output) are one column.
#pragma once

#include <vector>

#include "exact/prime_generation.h"
#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

struct CoveringTable {
  std::vector<std::vector<int>> columns;        ///< per column: the primes holding its cells, increasing
  std::vector<std::vector<int>> columnOutputs;  ///< per column: the outputs its cells belong to, increasing
};

struct TableParams {
  long long maxCells = 3000000;  ///< cells before the table gives up
  Deadline deadline;             ///< it gives up once this has expired
};

/// \brief The columns for covering the on-set `on` with `primes`; false when a bound was reached first.
bool BuildCoveringTable(const CubeSet& on, const PrimeSet& primes, int outputs, const TableParams& params,
                        CoveringTable& table);

}  // namespace vorn
