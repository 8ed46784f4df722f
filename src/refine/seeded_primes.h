// Primes grown around single on-set minterms, one per minterm.
#pragma once

#include "model/deadline.h"
#include "model/random.h"
#include "refine/refine_problem.h"

namespace vorn {

/// \brief Adds to `out` (one output, inputs of the source) one prime per on-set minterm of a one-output
/// source that PrimePool::applies to: the universal cube takes, one at a time, the literal of the
/// minterm with the best information gain between the on-set minterms it keeps and the off-set
/// minterms it still meets, until it meets none; then every literal the off-set does not need goes
/// again, the last taken first.  With `random`, each gain is lowered by a drawn share of at most
/// `slack`, so that primes grown again differ.  Stops early once `deadline` expires.
void SeededPrimes(const RefineSource& source, Random* random, double slack, const Deadline& deadline, Cover& out);

}  // namespace vorn
