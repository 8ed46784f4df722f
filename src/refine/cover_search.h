// A local search for cheap covers of the prime pool's covering problem.
#pragma once

#include <vector>

#include "model/deadline.h"
#include "model/random.h"
#include "refine/prime_pool.h"

namespace vorn {

struct CoverSearchParams {
  Deadline deadline;       ///< the search ends once this has expired
  long long maxMoves = 0;  ///< rows added at most (0: no bound but the deadline)
  long long tabu = 10;     ///< moves after it left during which a row enters only where no other can
  long long restart = 3000;  ///< moves without a cheaper cover after which the walk starts again from
                             ///< the cheapest with fresh weights (0: never)
};

struct CoverSearchStats {
  long long moves = 0;     ///< rows added
  int improvements = 0;    ///< covers found cheaper than the cheapest before
};

/// \brief Searches covers of `p` cheaper than the cover `start` (rows of `p`): rows leave while the rows
/// taken cover every column or cost at least the cheapest cover found, the row holding the least weight
/// only it holds per cost first; then every open column gains weight, a row holding a drawn open column
/// enters, the one holding the most open weight per cost (not one that left lately), and rows that
/// became redundant leave.  Gives the cheapest cover found in `best` (at first `start`) and returns
/// its cost; -1 when `start` is not a cover.  Draws from `random`.
long long SearchCover(const PrimePool::Problem& p, const std::vector<int>& start, Random& random,
                      const CoverSearchParams& params, std::vector<int>& best, CoverSearchStats& stats);

}  // namespace vorn
