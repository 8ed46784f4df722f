// Primes of the greatest worth around on-set minterms, found by going through every subset of a
// minterm's literals: the exact pricing step of column generation on functions of few inputs.
#pragma once

#include <vector>

#include "model/random.h"
#include "refine/priced_primes.h"
#include "refine/refine_problem.h"

namespace vorn {

/// \brief True when `source` suits EnumeratedPrimes: PrimePool::applies, and few enough inputs (24 at
/// most) that the subsets of a minterm's literals can be gone through (as a table up to 16 inputs, by
/// branch and bound with a node budget per minterm beyond).
bool EnumeratedPrimesApply(const RefineSource& source);

/// \brief For each on-set minterm of positive price, the dearest first (ties drawn from `random` when
/// given): of the implicants whose literals are some of the minterm's, the one whose on-set minterms'
/// prices exceed its cost (its weight by the criterion) the most, fewer literals first on a tie (or,
/// when the branch and bound runs out of nodes, the best it found); added to `out` when that excess is
/// positive.  The best such implicant is a prime.  `price` is as for
/// PricedPrimes; `params.slack` is not used.  Stops once `params.deadline` expires.
void EnumeratedPrimes(const RefineSource& source, const std::vector<double>& price, Random* random,
                      const PricedPrimesParams& params, Cover& out, PricedPrimesStats& stats);

}  // namespace vorn
