// Exact two-level minimization: all primes, the covering problem over cells
// of the on-set, and a branch and bound for a cover of minimum cost by the
// run's criterion, with a proof or a lower bound when it was stopped.
//
// Terms, literals and output cost are covering problems whose rows carry
// the criterion's cost exactly (output cost: one row per prime and output).
// The sum of literals and output cost, gates and gate equivalents share a
// term's cost among its outputs; their rows carry a bound from below of that
// cost (the term's own part plus one output), so the cover found is judged
// by its real cost and is proven only when that meets the bound.
#pragma once

#include <cstdint>
#include <optional>

#include "model/deadline.h"
#include "model/function.h"

namespace vorn {

struct ExactParams {
  int criterion = 1;           ///< as -Q: 0 terms, 1 literals, 2 output cost, 3 both, 4 gates, 5 gate equivalents
  bool singleOutput = false;   ///< one covering problem per output, each term feeding one output
  char unconnected = '~';      ///< the output character of a term at the outputs it does not feed
  Deadline deadline;           ///< the search stops once it has expired; the best cover so far stands
  const TBoolFnct* seed = nullptr;  ///< a valid cover found otherwise: the result is never costlier
  long long maxPrimes = 400000;     ///< primes of a partial list before the generation gives up
  /// What comes before the covering search (bounds, essential primes, the primes and their table) must
  /// be done by then (none: by the deadline): a caller with other uses for its time gives up early
  /// where the primes are too many, and leaves the rest to the covering search where not.
  std::optional<Deadline::Clock::time_point> primesBy;
};

struct ExactStats {
  bool proven = false;         ///< no cover is cheaper than the result
  long long lowerBound = 0;    ///< no cover is cheaper than this
  long long primes = 0;        ///< primes generated (summed over outputs under single-output)
  int coreRows = 0, coreColumns = 0;  ///< size of the cyclic core (summed likewise)
  long long columns = 0;       ///< columns of the covering problem
  long long nodes = 0;         ///< search nodes
  bool primesComplete = true;  ///< false when the primes could not all be generated
};

/// \brief A cover of minimum cost of the fr function f (lists built), or the cheapest found before the
/// deadline; none when the seed is at least as cheap (the seed then stands).  Fills stats.
FunctionPtr MinimizeExact(TBoolFnct& f, const ExactParams& params, ExactStats& stats);

}  // namespace vorn
