// The minimization driver: iterations of a randomly chosen generator step
// (CD step or FC-Min step) that grow an accumulated implicant set, a cover
// selected from that set after every net gain, and the cheapest cover kept.
#pragma once

#include <cstdint>
#include <optional>

#include "model/function.h"

namespace vorn {

/// \brief Minimizes the fr function f by the settings; returns the best cover, or none when no
/// cover was made or the covering problem failed.  Seeds the random source from the clock unless
/// a seed is given.
FunctionPtr minimize(TBoolFnct& f, std::optional<std::uint32_t> seed = std::nullopt);

}  // namespace vorn
