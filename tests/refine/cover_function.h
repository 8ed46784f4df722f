// A refinement cover as a function derived from its source, for the checker, and the random
// cube texts the refinement tests draw.
#pragma once

#include <random>
#include <string>

#include "model/function.h"
#include "refine/refine_problem.h"

namespace vorn::test {

/// \brief A cube text over n inputs holding each literal with the given percent chance, '0' or '1' alike.
inline std::string randomCube(std::mt19937& rng, int n, int literalPercent) {
  std::string c(static_cast<std::size_t>(n), '-');
  for (char& x : c)
    if (static_cast<int>(rng() % 100) < literalPercent) x = "01"[rng() % 2];
  return c;
}

/// \brief The live terms of c with their outputs, as a type-f function derived from f.
inline FunctionPtr asFunction(TBoolFnct& f, const Cover& c) {
  FunctionPtr r = derive(f);
  r->type = 0;
  for (int k = 0; k < c.size(); ++k) {
    if (!c.alive[static_cast<std::size_t>(k)] || !c.out[static_cast<std::size_t>(k)].any()) continue;
    std::string out(static_cast<std::size_t>(f.outputCount), '0');
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { out[static_cast<std::size_t>(j)] = '1'; });
    appendTerm(*r, c.in.get(k), out, 0);
  }
  return r;
}

}  // namespace vorn::test
