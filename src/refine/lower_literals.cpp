// Literal lowering.
//
// IRREDUNDANT ends by dropping the output connections that other terms cover,
// the connections of the costliest terms first.  A term that carries fewer
// outputs than when it was expanded faces a smaller off-set: literals it had
// to keep for an output it no longer feeds may go now, and the larger cube
// may come to hold other terms.  Those terms are the ones that could take an
// output again (expansion had given each every output it could carry); they
// alone are expanded once more, with no output raised (raising would give
// back the connections just dropped), and the cover is made irredundant
// again, which also drops the terms the grown ones now make redundant.  The
// refinement keeps the result only when it is cheaper.
#include "refine/lower_literals.h"

namespace vorn {

void LowerLiterals(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& expand,
                   const IrredundantParams& irredundant, ExpandStats& expandStats, IrredundantStats& irredundantStats) {
  Cover lost;
  lost.in = CubeList(source.inputs);
  std::vector<int> from;
  for (int k = 0; k < cover.size(); ++k) {
    const OutputSet& o = cover.out[static_cast<std::size_t>(k)];
    if (!cover.alive[static_cast<std::size_t>(k)] || !OutputsToRaise(source, test, cover.in.cube(k), o).any()) continue;
    lost.add(cover.in.cube(k), o);
    from.push_back(k);
  }
  if (from.empty()) return;
  ExpandParams lower = expand;
  lower.raiseOutputs = false;
  Expand(source, test, lost, lower, expandStats);
  const std::size_t stride = cover.in.stride();
  for (std::size_t i = 0; i < from.size(); ++i) {
    const int k = from[i];
    std::copy(lost.in.cube(static_cast<int>(i)), lost.in.cube(static_cast<int>(i)) + stride, cover.in.cube(k));
    cover.out[static_cast<std::size_t>(k)] = lost.out[i];
    cover.alive[static_cast<std::size_t>(k)] = lost.alive[i];
  }
  Irredundant(source, cover, irredundant, irredundantStats);
  cover.compact();
}

}  // namespace vorn
