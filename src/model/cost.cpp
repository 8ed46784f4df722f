#include "model/cost.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vorn {

void computeStatistics(TBoolFnct& f) {
  const int n = f.inputCount, m = f.outputCount;
  std::vector<int> k(m, 0);
  // Sums in 64 bits: a large function must not overflow the running totals.
  long long literals = 0, outputCost = 0, gates = 0, ges = 0;
  for (TPfnct* t = f.head.get(); t; t = t->next.get()) {
    const int lit = t->input.countLiterals();
    t->freeCount = n - lit;
    literals += lit;
    if (lit >= 2) {
      gates += lit - 1;
      ges += lit;
    }
    const int width = std::min<int>(m, static_cast<int>(t->output.size()));
    for (int j = 0; j < width; ++j)
      if (t->output[j] == '1') {
        ++outputCost;
        ++k[j];
      }
  }
  gates += outputCost - m;
  if (gates < 0) gates = 0;
  ges += outputCost;
  for (int j = 0; j < m; ++j)
    if (k[j] == 1) --ges;
  auto clamp = [](long long v) { return static_cast<int>(v > 2147483647LL ? 2147483647LL : v); };
  f.terms = f.termCount;
  f.literals = clamp(literals);
  f.outputCost = clamp(outputCost);
  f.gates = clamp(gates);
  f.gateEquivalents = clamp(ges);
}

namespace {

/// The figure the criterion picks, from the five given.
long long pick(int criterion, long long terms, long long literals, long long outputCost, long long gates,
               long long gateEquivalents) {
  switch (criterion) {
    case 0: return terms;
    case 2: return outputCost;
    case 3: return literals + outputCost;
    case 4: return gates;
    case 5: return gateEquivalents;
    default: return literals;
  }
}

}  // namespace

long long criterionCost(const TBoolFnct& f, int criterion) {
  return pick(criterion, f.terms, f.literals, f.outputCost, f.gates, f.gateEquivalents);
}

long long termShare(int criterion, int literals, int outputs) {
  return pick(criterion, 1, literals, outputs, std::max(literals - 1, 0) + outputs,
              (literals >= 2 ? literals : 0) + outputs);
}

long long termWeight(int criterion, int literals, int outputs) {
  const long long share = termShare(criterion, literals, outputs);
  // Where literals are no part of the figure, the term with more of them
  // weighs more among terms of equal share; terms count once more by a unit,
  // except where literals and connections already decide.
  if (criterion == 0) return share * 1000000LL + literals;
  if (criterion == 2) return share * 1000LL + literals;
  if (criterion == 3) return share * 1000LL;
  return share * 1000LL + 1;
}

TBoolFnct& computeCost(TBoolFnct& f, int criterion) {
  if (criterion < 0 || criterion > 5) return f;
  // literals and output cost together can pass the int range where each alone does not
  f.cost = static_cast<int>(std::min<long long>(criterionCost(f, criterion), 2147483647LL));
  return f;
}

void runInfo(TBoolFnct& f) {
  computeStatistics(f);
  std::printf("Terms: %i\nLiterals: %i\nOutput cost: %i\nGates: %i\nGEs: %i\n\n", f.terms, f.literals, f.outputCost,
              f.gates, f.gateEquivalents);
  std::fflush(stdout);
}

}  // namespace vorn
