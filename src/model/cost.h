// The five figures by which a two-level function is judged (terms, literals,
// output cost, two-input gates, gate equivalents) and the cost the
// optimization criterion picks from them.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Fills terms, literals, outputCost, gates, gateEquivalents and every term's freeCount.
void computeStatistics(TBoolFnct& f);
/// \brief Sets f.cost from the figures by the criterion (-Q: 0 terms ... 5 gate equivalents); returns f.
TBoolFnct& computeCost(TBoolFnct& f, int criterion);
/// \brief The -info action: prints the figures of f to standard output.
void runInfo(TBoolFnct& f);

}  // namespace vorn
