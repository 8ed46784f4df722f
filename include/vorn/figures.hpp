// The figures by which a two-level cover is judged, and the points of a
// run's course.  Plain values with no dependency, shared by the library's
// callers and the minimizer that fills them.
#pragma once

namespace vorn {

/// The five figures of a sum-of-products function and the cost its criterion picks from them.
struct Figures {
  int terms = 0;
  int literals = 0;         ///< '0' and '1' in the input parts
  int outputCost = 0;       ///< '1' in the output parts
  int gates = 0;            ///< two-input gates of an AND-OR network
  int gateEquivalents = 0;  ///< gate inputs, outputs fed by one term not counted
  long long cost = 0;       ///< the figure the optimization criterion picks
};

/// One point of a run's course: a cover became the best (the first one, or a cheaper one).
struct Improvement {
  int iteration = 0;
  double seconds = 0;
  long long cost = 0;
  bool refined = false;  ///< made by the refinement after the search
};

}  // namespace vorn
