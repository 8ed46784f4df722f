// The smallest cube holding the part of a cube that a union of cubes leaves
// uncovered.
#pragma once

#include <cstdint>

#include "model/cube.h"
#include "unate/cube_list.h"

namespace vorn {

/// Limits of one computation; past them the answer is widened, never narrowed.
struct UncoveredParams {
  int maxDepth = 48;      ///< nested splits before a sub-list is answered by the whole space
  long long maxSplits = 256;  ///< splits per call before every further sub-list is
};

/// \brief Supercube of the minterms of the packed cube c that lie in no cube of `cover`; false when
/// there is none.  The result (packed, the list's width) may be larger than the exact supercube when
/// the limits are reached, never smaller; it always lies inside c.
bool UncoveredSupercube(const std::uint64_t* c, const CubeList& cover, std::uint64_t* out,
                        const UncoveredParams& params = {});
/// \brief The same for Cube values; the result is written to `out`.
bool UncoveredSupercube(const Cube& c, const CubeList& cover, Cube& out, const UncoveredParams& params = {});

}  // namespace vorn
