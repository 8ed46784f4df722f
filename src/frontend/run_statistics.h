// The figures of one minimization run as JSON, for scripts (-statsFILE):
// the source, the options in effect, the seed, the run's length, the result
// and the cost after each improvement.
#pragma once

#include <string>
#include <vector>

#include <vorn/vorn.hpp>

#include "model/settings.h"

namespace vorn {

struct RunStatistics {
  std::string sourcePath;   ///< "-": standard input
  std::string destination;  ///< empty: standard output
  int inputs = 0, outputs = 0, sourceTerms = 0;
  std::string type;
  MinimizeStats run;        ///< what the run did, as the library reports it
};

/// \brief The statistics and the settings in effect as a JSON object.
std::string statisticsJson(const RunStatistics& stats, const Settings& settings);
/// \brief The -Q letter of a criterion number ('?' when there is none).
char criterionLetter(int criterion);

}  // namespace vorn
