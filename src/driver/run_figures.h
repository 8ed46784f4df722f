// The figures of a minimization run, returned by the driver: how long it
// ran, with which seed, and the course of its best covers.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <vorn/figures.hpp>

namespace vorn {

/// What an exact run (-exact) proved.
struct ExactFigures {
  bool proven = false;          ///< the result is a cover of minimum cost
  long long lowerBound = 0;     ///< no cover is cheaper than this
  long long primes = 0;         ///< primes generated
  int coreRows = 0, coreColumns = 0;  ///< size of the cyclic core of the covering problem
};

struct RunFigures {
  int iterations = 0;          ///< iterations run (of the winning run in a parallel set)
  float elapsedSeconds = 0;    ///< from the start of the run (of the set) to its end
  std::uint32_t seed = 0;      ///< the seed of the run (of the winning run in a parallel set)
  std::vector<Improvement> improvements;
  bool interrupted = false;    ///< the run was ended by its interrupt flag
  int runs = 1;                ///< runs in the set (-jN)
  std::optional<ExactFigures> exact;  ///< only for an exact run
};

}  // namespace vorn
