// Literal lowering.
//
// IRREDUNDANT ends by dropping the output connections that other terms cover,
// the connections of the costliest terms first.  A term that carries fewer
// outputs than when it was expanded faces a smaller off-set: literals it had
// to keep for an output it no longer feeds may go now, and the larger cube
// may come to hold other terms.  Expanding the cover once more with no output
// raised (raising would give back the connections just dropped) and making it
// irredundant again turns that into fewer literals; the refinement keeps the
// result only when it is cheaper.
#include "refine/lower_literals.h"

namespace vorn {

void LowerLiterals(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& expand,
                   const IrredundantParams& irredundant, ExpandStats& expandStats, IrredundantStats& irredundantStats) {
  ExpandParams lower = expand;
  lower.raiseOutputs = false;
  Expand(source, test, cover, lower, expandStats);
  cover.compact();
  Irredundant(source, cover, irredundant, irredundantStats);
  cover.compact();
}

}  // namespace vorn
