// On-set points that only one term of a cover can hold: the witnesses that
// make a lower bound meet a good heuristic cover.
//
// A term t feeding output j is the only implicant region of j around an
// on-set minterm m when every neighbour of m across a literal of t (m with
// that input flipped) is off at j: any cube holding m and reaching outside
// t holds such a neighbour.  Every cover then holds (m, j) in a term inside
// t, which costs at least t's literals.  Such minterms are found without
// listing primes: the minterms of t that are on at j, cut by, for each
// literal i of t, the off-set cubes of j that conflict with t at i alone
// (freed at i), since those hold exactly the minterms whose flip at i is off.
// A term that is no prime of j has no such minterm, so it is first expanded
// into one.  When the function's minimum consists of essential primes, a
// cover that reaches it has a witness in every term, and the witnesses need
// a term each.
#pragma once

#include <vector>

#include "model/bits.h"
#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

/// An on-set point: a minterm (packed, every input a literal) and an output.
struct OnPoint {
  std::vector<Word> minterm;
  int output = 0;
  std::vector<Word> prime;  ///< of a witness: the prime of the output around it (packed; else empty)
};

struct WitnessParams {
  int maxCubes = 64;  ///< cubes of the region kept while it is cut (fewer: a witness may be missed)
  int perTerm = 3;    ///< witnesses at most per term and output
  Deadline deadline;  ///< the witnesses found so far are returned once this has expired
};

/// \brief For each term of `cover` and output it feeds, on-set minterms of src at that output all of
/// whose neighbours across the term's literals are off there (where found), in the cover's order.
std::vector<OnPoint> CoverWitnesses(const RefineSource& src, const Cover& cover, const WitnessParams& params);

/// \brief The number of inputs at which flipping the point's minterm gives an off-set minterm of its
/// output: every implicant holding the point has a literal at each, so at least that many literals.
int OffNeighbours(const RefineSource& src, const OnPoint& point);

/// \brief Those inputs, one bit each (words of the source's cubes): every implicant holding the point
/// holds its minterm's values there.
std::vector<Word> OffNeighbourInputs(const RefineSource& src, const OnPoint& point);

}  // namespace vorn
