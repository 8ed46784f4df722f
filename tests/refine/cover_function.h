// A refinement cover as a function derived from its source, for the checker, and the random
// cube texts the refinement tests draw.
#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/function.h"
#include "refine/refine_problem.h"
#include "support/oracle.h"

namespace vorn::test {

/// \brief A cube text over n inputs holding each literal with the given percent chance, '0' or '1' alike.
inline std::string randomCube(std::mt19937& rng, int n, int literalPercent) {
  std::string c(static_cast<std::size_t>(n), '-');
  for (char& x : c)
    if (static_cast<int>(rng() % 100) < literalPercent) x = "01"[rng() % 2];
  return c;
}

/// \brief True when the cube text holds the minterm text.
inline bool cubeHolds(const std::string& cube, const std::string& m) {
  for (std::size_t p = 0; p < cube.size(); ++p)
    if (cube[p] != '-' && cube[p] != m[p]) return false;
  return true;
}

/// \brief An fr function of distinct random minterms over n inputs, labelled per output by a random
/// DNF of three cubes: the shape of a sampled function.
inline FunctionPtr sampled(std::uint32_t seed, int n, int samples, int outputs) {
  std::mt19937 rng(seed);
  std::vector<std::vector<std::string>> target(static_cast<std::size_t>(outputs));
  for (auto& t : target)
    for (int k = 0; k < 3; ++k) t.push_back(randomCube(rng, n, std::min(100, 300 / n + 2)));
  std::string text = ".i " + std::to_string(n) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
  std::vector<std::string> seen;
  for (int s = 0; s < samples; ++s) {
    const std::string m = randomCube(rng, n, 100);
    if (std::find(seen.begin(), seen.end(), m) != seen.end()) continue;
    seen.push_back(m);
    std::string out;
    for (const auto& t : target)
      out += std::any_of(t.begin(), t.end(), [&](const std::string& c) { return cubeHolds(c, m); }) ? '1' : '0';
    text += m + " " + out + "\n";
  }
  return pla(text + ".e\n");
}

/// \brief The live terms of c with their outputs, as a function of type fd derived from f (a cover: no don't-cares).
inline FunctionPtr asFunction(TBoolFnct& f, const Cover& c) {
  FunctionPtr r = derive(f);
  r->type = kTypeFd;
  for (int k = 0; k < c.size(); ++k) {
    if (!c.alive[static_cast<std::size_t>(k)] || !c.out[static_cast<std::size_t>(k)].any()) continue;
    std::string out(static_cast<std::size_t>(f.outputCount), '0');
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { out[static_cast<std::size_t>(j)] = '1'; });
    appendTerm(*r, c.in.get(k), out, 0);
  }
  return r;
}

}  // namespace vorn::test
