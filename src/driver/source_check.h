// Preconditions of minimization that the loaded file may violate.  A source
// whose on-set and off-set meet has no valid cover at all, and an input part
// holding '~' has no meaning as a cube; both are refused before the run
// instead of letting the generators chase an impossible goal.
#pragma once

#include <optional>
#include <string>

#include "model/function.h"

namespace vorn {

struct OnOffConflict {
  int first = 0;   ///< position of the term with '1' (0 = head)
  int second = 0;  ///< position of the term with '0'
  int output = 0;
};

/// \brief The first pair of intersecting terms with '1' against '0' at one output, if any.
std::optional<OnOffConflict> findOnOffConflict(const TBoolFnct& f);
/// \brief Position of the first term whose input part holds '~', if any.
std::optional<int> findTildeInput(const TBoolFnct& f);

}  // namespace vorn
