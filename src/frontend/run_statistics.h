// The figures of one minimization run as JSON, for scripts (-statsFILE):
// the source, the options in effect, the seed, the run's length, the result
// and the cost after each improvement.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/run_figures.h"
#include "model/settings.h"

namespace vorn {

struct RunStatistics {
  std::string sourcePath;   ///< "-": standard input
  std::string destination;  ///< empty: standard output
  int inputs = 0, outputs = 0, sourceTerms = 0;
  std::string type;
  std::optional<std::uint32_t> seed;  ///< none when the run did not report it (of the winner under -jN)
  int jobs = 1;                       ///< independent runs in the set (-jN)
  int iterations = 0;
  double seconds = 0;
  int terms = 0, literals = 0, outputCost = 0, gates = 0, gateEquivalents = 0;
  long long cost = 0;
  std::vector<Improvement> improvements;
  bool interrupted = false;
  std::optional<ExactFigures> exact;  ///< only for an exact run (-exact)
};

/// \brief The statistics and the settings in effect as a JSON object.
std::string statisticsJson(const RunStatistics& stats, const Settings& settings);
/// \brief The -Q letter of a criterion number ('?' when there is none).
char criterionLetter(int criterion);

}  // namespace vorn
