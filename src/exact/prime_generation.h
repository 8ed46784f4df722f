// All multi-output prime implicants of an fr function, from its off-set.
//
// The outputs are read as one multiple-valued variable, so a multi-output
// prime is a cube with the largest output set it may carry: its input part
// meets no off-set cube of those outputs, and neither the input part nor
// the output set can grow.  The primes of F = not R (R the off-set) follow
// from a split on an input x (F0 and F1 the cofactors, x' and x the
// literals), as in recursive prime generation by unate splitting:
//
//   P(F) = x' p for p in P(F0) that is no implicant of F1
//        + x  p for p in P(F1) that is no implicant of F0
//        + the largest of p0 * q1 (p0 in P(F0), q1 in P(F1), sharing outputs),
//
// the last part being the primes without x (every implicant lies in a
// prime, so a prime of F0 F1 is the intersection of one of each).  Splitting
// on the most binate input keeps the cofactors apart; an input that is
// unate in R needs no products at all: one cofactor contains the other, so
// the primes without x are those of the smaller one.  The leaves are an
// empty off-set (the whole space with every allowed output) and a single
// off-set cube (the complement's literals, and the space with the other
// outputs); an off-set cube without literals takes its outputs out of
// every prime below it.
//
// Only the primes meeting some cubes (the on-set left once the essential
// primes are taken) may be wanted.  A prime is the product of cofactor
// primes that contain it, or one of them with the split literal, so when it
// meets such a cube, so do they (they are free at the split input): every
// level drops what misses the cubes, and the primes of no use are never
// multiplied.
#pragma once

#include <cstdint>
#include <vector>

#include "model/deadline.h"
#include "refine/output_set.h"
#include "refine/refine_problem.h"
#include "unate/cube_list.h"

namespace vorn {

/// Primes with their largest output sets.
struct PrimeSet {
  CubeList cubes;
  std::vector<OutputSet> outputs;
  int size() const { return cubes.size(); }
};

struct PrimeParams {
  long long maxPrimes = 400000;  ///< primes of any partial result before the generation gives up
  long long maxNodes = 20000000; ///< recursion nodes before it gives up
  Deadline deadline;             ///< it gives up once this has expired
  const CubeSet* within = nullptr;  ///< only the primes that meet one of these cubes at an output of both
                                    ///< (null: every prime); the recursion drops the parts that cannot
};

struct PrimeStats {
  long long nodes = 0;  ///< recursion nodes
  bool complete = false;
};

/// \brief Every multi-output prime of the function whose off-set is `off` (inputs and outputs as in the
/// source), or those meeting `params.within`; false when a bound of `params` was reached first.
bool GeneratePrimes(const CubeSet& off, int inputs, int outputs, const PrimeParams& params, PrimeSet& primes,
                    PrimeStats& stats);

}  // namespace vorn
