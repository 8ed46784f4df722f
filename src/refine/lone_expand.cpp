// Terms expanded alone.
//
// EXPAND steers every cube towards the other terms of the cover, so that each
// prime comes to hold as many of them as it can: few terms.  Where literals
// count, that can be the costlier way.  On-set terms that differ in a few
// positions of a one-hot code show it: the cube holding two of them must keep
// a literal in every other position of the code, while each of them alone
// becomes a prime of two or three literals.  Expanded with no other term in
// sight, every term takes the prime the literal choice against the off-set
// gives; IRREDUNDANT then weighs these primes against the cover's own terms.
// Where the source has off-set columns, all terms are expanded on one set of
// columns, none of them in sight of the others.
#include "refine/lone_expand.h"

#include <algorithm>

#include "model/deadline.h"
#include "refine/column_expand.h"

namespace vorn {

void ExpandEachAlone(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
                     ExpandStats& stats) {
  if (ExpandEachAloneByColumns(source, test, cover, params, stats)) return;
  const Deadline none;
  DeadlineProbe outOfTime(params.deadline ? *params.deadline : none, 4);
  Cover one;
  one.in = CubeList(cover.in.inputs());
  for (int k = 0; k < cover.size(); ++k) {
    if (!cover.alive[static_cast<std::size_t>(k)]) continue;
    if (outOfTime.expired()) return;
    one.in.clear();
    one.out.clear();
    one.alive.clear();
    one.add(cover.in.cube(k), cover.out[static_cast<std::size_t>(k)]);
    Expand(source, test, one, params, stats);
    std::copy(one.in.cube(0), one.in.cube(0) + cover.in.stride(), cover.in.cube(k));
    cover.out[static_cast<std::size_t>(k)] = one.out[0];
  }
}

}  // namespace vorn
