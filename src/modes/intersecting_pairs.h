// Finding intersecting cube pairs without comparing every pair: the cubes
// are split recursively on an input position, those with '0' there going to
// one side, those with '1' to the other and those with '-' to both, so two
// cubes meet in some part exactly when they intersect.  Only the parts too
// small or too uniform to split are compared pair by pair.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "model/cube.h"

namespace vorn {

/// Statistics of one search.
struct PairSearchStats {
  long long parts = 0;         ///< parts compared pair by pair
  long long pairsTested = 0;   ///< pairs given to the predicate
};

/// \brief The first pair (a, b), a < b, in the order a then b, of intersecting cubes for which
/// `qualifies(a, b)` holds; the same pair a walk over all pairs in that order would find first.
std::optional<std::pair<int, int>> firstIntersectingPair(const std::vector<const Cube*>& cubes,
                                                         const std::function<bool(int, int)>& qualifies,
                                                         PairSearchStats* stats = nullptr);

}  // namespace vorn
