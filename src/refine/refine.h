// The refinement phase: after the search, the best cover is improved by
// EXPAND, IRREDUNDANT and REDUCE with coverage judged minterm by minterm.
#pragma once

#include <functional>

#include "model/deadline.h"
#include "model/function.h"
#include "model/random.h"
#include "refine/expand.h"
#include "refine/irredundant.h"
#include "refine/prime_pool.h"
#include "refine/reduce.h"

namespace vorn {

struct RefineParams {
  int criterion = 1;         ///< as -Q: 0 terms, 1 literals, 2 output cost, 3 both, 4 gates, 5 gate equivalents
  bool singleOutput = false; ///< refine output by output, one term per output connection
  int maxPasses = 1000;      ///< REDUCE-EXPAND-IRREDUNDANT passes at most (each must gain)
  Deadline deadline;         ///< no pass starts once it has expired (the run's limit and interrupt)
  char unconnected = '0';    ///< the output character of a term for the outputs it does not feed
  bool thorough = false;     ///< every start passes, stalled passes get a last try (for runs under a time limit)
  /// Also start from the source's own on-set terms.  That start does not depend on the cover given, so
  /// a run that refines again and again takes it only the first time.
  bool fromSourceTerms = true;
  /// When set, the terms are taken in an order drawn from it (among those of equal size) before
  /// every expansion and reduction, so that a refinement run again starts differently; none keeps
  /// the order of the cover.
  Random* random = nullptr;
  /// When above 0, also start from a cover built top-down, cube by cube, keeping this many partial
  /// cubes per step (top_down_cover.h), drawn from `random` when set, and offer its cubes to the
  /// selection together with the best cover's terms; only where the on-set terms are minterms.
  int topDownBeam = 0;
  /// When 0 or more, the refinement ends as soon as its best cover costs at most this (by the
  /// criterion, for the whole cover; not output by output): a cover that cheap is all the caller
  /// wants.
  long long goal = -1;
  /// When set, gets every cover a start's selection or pass gives, and the top-down cubes.
  PrimePool* pool = nullptr;
  /// Told after every start's first selection and after every pass, so that a caller can show
  /// progress or raise the deadline's interrupt; may be none.
  std::function<void()> onStep;
};

struct RefineStats {
  int passes = 0;
  long long startCost = 0, endCost = 0;
  bool improved = false;
  bool fromImplicants = false;  ///< the implicant set gave a cheaper cover
  long long topDownCost = -1;   ///< the cost of the cover built top-down (-1: none was built)
  ExpandStats expand;
  IrredundantStats irredundant;
  ReduceStats reduce;
};

/// \brief Improves `cover`, a valid cover of the fr function f, using the run's implicant set when given.
/// Returns a strictly cheaper valid cover by the criterion, derived from f, or none when it found none.
FunctionPtr Refine(TBoolFnct& f, TBoolFnct& cover, const TBoolFnct* implicants, const RefineParams& params,
                   RefineStats& stats);

}  // namespace vorn
