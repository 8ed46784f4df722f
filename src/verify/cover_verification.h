// Whether a result is a valid cover of its source, output by output: every
// on-set minterm lies in a term of the result with '1' at that output, and
// no such term reaches outside the on-set and don't-care set.
//
// Each type gives two of the three sets and leaves the third as the rest of
// the space, so the test follows what is given.  With the off-set given (fr,
// fdr, r) a result term must meet none of its cubes; without it (f, fd) the
// term must lie inside the union of on-set and don't-care set, a tautology
// of that union's cofactor.  With the on-set given, each of its cubes must
// lie inside the result's terms; without it (r), the off-set and the result
// together must fill the space.  Containment is always decided by tautology,
// never by walking minterms, so wide functions cost what their cubes cost.
#pragma once

#include <string>

#include "model/function.h"

namespace vorn {

/// \brief Empty when `result` is a valid cover of `source`; otherwise the first output and cube at fault.
/// Both have the same inputs and outputs, and no '~' in their input parts.  The result's cover of an
/// output is its terms with '1' there, whatever its type.
std::string FindCoverFault(const TBoolFnct& source, const TBoolFnct& result);

}  // namespace vorn
