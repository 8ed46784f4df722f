// Essential primes known from witnesses, before any list of primes, and
// the on-set they leave.
//
// A witness (m, j) of a prime p of output j (every flip of m across a
// literal of p is off at j) lies in no implicant of j that reaches outside
// p.  A multi-output prime holding m and feeding j is therefore inside p;
// one with an output k that p cannot carry holds the minterm m at k, so it
// exists only when m is not off at k.  When m is off at every output p
// cannot carry, p with all the outputs it can carry is the only prime
// holding (m, j): every cover made of primes takes it.  With terms or
// literals counted, covers of primes are the cheapest, so the minimum is
// these primes plus a minimum cover of the on-set they leave, and only the
// primes that meet that rest need to be generated.
#pragma once

#include <vector>

#include "exact/essential_points.h"
#include "refine/output_set.h"
#include "refine/refine_problem.h"

namespace vorn {

/// A multi-output prime: a packed input cube and every output it can carry.
struct EssentialPrime {
  std::vector<Word> cube;
  OutputSet outputs;
};

/// \brief The distinct primes of the witnesses (each point's `prime`) that are the only prime holding
/// their point, in the order of the points.
std::vector<EssentialPrime> WitnessedEssentials(const RefineSource& src, const std::vector<OnPoint>& points);

/// \brief The on-set of src outside the primes (each at the outputs it carries), in disjoint cubes of one
/// output each; false when more than `maxCubes` cubes would be needed.
bool OnSetOutside(const RefineSource& src, const std::vector<EssentialPrime>& primes, int maxCubes,
                  CubeSet& left);

}  // namespace vorn
