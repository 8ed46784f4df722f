// The five figures by which a two-level function is judged (terms, literals,
// output cost, two-input gates, gate equivalents) and the cost the
// optimization criterion picks from them.
#pragma once

#include "model/function.h"

namespace vorn {

/// \brief Fills terms, literals, outputCost, gates, gateEquivalents and every term's freeCount.
void computeStatistics(TBoolFnct& f);
/// \brief The cost of f's figures (computeStatistics) by the criterion (-Q: 0 terms, 1 literals, 2 output cost,
/// 3 literals and output cost, 4 gates, 5 gate equivalents; any other value: literals).
long long criterionCost(const TBoolFnct& f, int criterion);
/// \brief A term's share of the criterion's figure: one term, its literals, its `outputs` connections, its gates
/// (one per literal past the first, one per connection) or gate equivalents (its literals when two or more,
/// one per connection).  Summed over the terms it exceeds the function's gates by one per output and its
/// gate equivalents by one per output fed by a single term.
long long termShare(int criterion, int literals, int outputs);
/// \brief The weight of one term with `literals` literals and `outputs` output connections by the criterion,
/// for choosing which terms to keep: its share of the criterion's figure in thousandths, with a tie-break.
long long termWeight(int criterion, int literals, int outputs);
/// \brief Sets f.cost from the figures by the criterion (0 to 5; f.cost stays for any other value); returns f.
TBoolFnct& computeCost(TBoolFnct& f, int criterion);
/// \brief The -info action: prints the figures of f to standard output.
void runInfo(TBoolFnct& f);

}  // namespace vorn
