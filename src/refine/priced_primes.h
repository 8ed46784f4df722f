// Primes grown around on-set minterms for the prices a covering problem puts on them.
#pragma once

#include <vector>

#include "model/deadline.h"
#include "model/random.h"
#include "refine/refine_problem.h"

namespace vorn {

struct PricedPrimesParams {
  double slack = 0.3;  ///< with a random source, each gain is lowered by a drawn share of at most this
  int most = 0;        ///< seeds to grow from at most (0: every priced one)
  Deadline deadline;   ///< no prime is grown once this has expired
  int criterion = 1;   ///< a prime costs its weight by this -Q criterion (cost.h), as a row of the pool
};

struct PricedPrimesStats {
  int grown = 0;  ///< primes grown
  int kept = 0;   ///< of them, those whose prices exceed their cost
};

/// \brief The seeds in the order primes are grown around them: dearest first by `priceOf` (per on-set
/// term), ties in an order drawn from `random` when given (else as given), at most `most` of them (0:
/// all).
std::vector<int> DearestSeeds(std::vector<int> seeds, const std::vector<double>& priceOf, Random* random, int most);

/// \brief Adds to `out` (one output, inputs of the source) primes whose on-set minterms' prices add up
/// to more than their cost (their weight by the criterion), for a one-output source that PrimePool::applies to.
/// `price` holds one price per on-set minterm of the output, in the order of the source's on-set (the
/// columns of PrimePool::Problem).  Each prime grows around a minterm of positive price, the dearest
/// first: the universal cube takes, one at a time, the minterm's literal with the best information
/// gain between the price of the on-set minterms it keeps and the off-set minterms it still meets,
/// until it meets none; then every literal the off-set does not need goes, the last taken first.
/// With `random`, ties between seeds of equal price and each gain are drawn, so that primes grown
/// again differ.
void PricedPrimes(const RefineSource& source, const std::vector<double>& price, Random* random,
                  const PricedPrimesParams& params, Cover& out, PricedPrimesStats& stats);

}  // namespace vorn
