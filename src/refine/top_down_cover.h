// Covers built top-down, one cube at a time (separate and conquer).
#pragma once

#include "model/deadline.h"
#include "model/random.h"
#include "refine/refine_problem.h"

namespace vorn {

/// \brief True when `source` suits TopDownCover: its on-set terms are minterms and both its on-set and
/// its off-set are held in literal columns.
bool TopDownApplies(const RefineSource& source);

/// \brief A cover of the source's on-set made of primes built from the universal cube down: per output,
/// each cube takes one literal at a time, keeping the `beam` partial cubes with the best information
/// gain between the on-set minterms not yet covered that they keep and the off-set terms they still
/// meet, until they meet none; each end gives back every literal no off-set term needs, the one
/// holding the most uncovered minterms is taken, and the next cube starts on the minterms left.
/// With `random`, every gain is lowered by a drawn share of at most a tenth, so that covers built
/// again differ.  Every cube carries every output it is an implicant of and whose uncovered
/// minterms it holds.
/// False (and `out` left as it was) when the source does not suit or `deadline` expired on the way.
bool TopDownCover(const RefineSource& source, int beam, Random* random, const Deadline* deadline, Cover& out);

}  // namespace vorn
