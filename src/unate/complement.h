// Complement of a cube list by the unate recursive paradigm.
#pragma once

#include "unate/cube_list.h"

namespace vorn {

/// Bounds of one complement; past any of them the complement gives up.
struct ComplementParams {
  int maxCubes = 20000;          ///< cubes in the result or in any partial result
  long long maxSplits = 100000;  ///< splits per call
  int maxDepth = 2000;           ///< nested splits (each fixes one variable)
};

struct ComplementStats {
  long long splits = 0;  ///< binate or unate splits, summed over calls
  long long merged = 0;  ///< cubes that lost the split variable's literal when the halves were merged
  int largest = 0;       ///< largest result so far
};

/// \brief Cubes covering exactly the minterms that no cube of `s` holds; false (and `out` unspecified)
/// when a bound of `params` was reached first.
bool Complement(const CubeList& s, CubeList& out, const ComplementParams& params, ComplementStats& stats);

}  // namespace vorn
