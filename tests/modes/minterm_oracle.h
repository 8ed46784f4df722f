// Test helpers for the FC-Min and term-splitting tests: functions written as
// "cube/output" texts, a per-minterm oracle with the fr reading of the output
// characters ('~' says nothing), random fr functions with intersecting terms,
// and a count of the random draws a call took.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/function.h"
#include "model/random.h"
#include "support/oracle.h"

namespace vorn::test {

/// \brief The terms of f as "cube/output" texts in list order.
inline std::vector<std::string> termTexts(const TBoolFnct& f) {
  std::vector<std::string> texts;
  forEachTerm(f, [&](const TPfnct& t) { texts.push_back(t.input.str() + "/" + t.output); });
  return texts;
}

/// \brief The free counts of f's terms in list order.
inline std::vector<int> freeCounts(const TBoolFnct& f) {
  std::vector<int> counts;
  forEachTerm(f, [&](const TPfnct& t) { counts.push_back(t.freeCount); });
  return counts;
}

/// \brief The number of f's terms whose cube contains minterm m.
inline int termsContaining(const TBoolFnct& f, std::uint64_t m) {
  int n = 0;
  forEachTerm(f, [&](const TPfnct& t) { n += cubeHasMinterm(t.input.str(), m); });
  return n;
}

/// \brief Per output, the character other than '~' that the terms containing m give it ('~' when none);
/// `clash` is set when two of them differ.
inline std::string frMintermOutput(const TBoolFnct& f, std::uint64_t m, bool* clash = nullptr) {
  std::string out(f.outputCount, '~');
  if (clash) *clash = false;
  forEachTerm(f, [&](const TPfnct& t) {
    if (!cubeHasMinterm(t.input.str(), m)) return;
    for (int j = 0; j < f.outputCount; ++j) {
      const char c = t.output[j];
      if (c == '~') continue;
      if (out[j] != '~' && out[j] != c && clash) *clash = true;
      out[j] = c;
    }
  });
  return out;
}

/// \brief A random fr function of `terms` random (mostly intersecting) cubes over a hidden truth table:
/// a term says '1' (or '0') at an output only when every minterm of its cube is on (off) there, else '~',
/// so intersecting terms never disagree.  With noisePercent > 0 that share of output characters is
/// replaced by a random one of `noise`, which may make the function inconsistent.
inline FunctionPtr randomOverlappingFr(std::uint32_t seed, int inputs, int outputs, int terms, int noisePercent = 0,
                                       int literalPercent = 65, const std::string& noise = "01-") {
  std::mt19937 rng(seed);
  const std::uint64_t count = std::uint64_t{1} << inputs;
  std::vector<std::string> table(count, std::string(outputs, '0'));
  for (auto& row : table)
    for (char& c : row) {
      const int r = static_cast<int>(rng() % 100);
      c = r < 10 ? 'd' : r < 60 ? '1' : '0';
    }
  std::string text = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
  for (int k = 0; k < terms; ++k) {
    std::string cube(inputs, '-');
    for (char& c : cube)
      if (static_cast<int>(rng() % 100) < literalPercent) c = rng() % 2 ? '1' : '0';
    std::string out(outputs, '~');
    for (int j = 0; j < outputs; ++j) {
      bool allOn = true, allOff = true;
      for (std::uint64_t m = 0; m < count; ++m) {
        if (!cubeHasMinterm(cube, m)) continue;
        allOn = allOn && table[m][j] == '1';
        allOff = allOff && table[m][j] == '0';
      }
      out[j] = allOn ? '1' : allOff ? '0' : '~';
      if (static_cast<int>(rng() % 100) < noisePercent) out[j] = noise[rng() % noise.size()];
    }
    text += cube + " " + out + "\n";
  }
  return pla(text + ".e\n");
}

/// \brief How many draws `used` took since it was seeded with seed (it is left as it is).
inline int drawsTaken(const Random& used, std::uint32_t seed) {
  Random ahead = used;
  const int a = ahead.nextRandom(), b = ahead.nextRandom();
  Random fresh;
  fresh.seedRandom(seed);
  int previous = fresh.nextRandom();
  for (int n = 0; n < 100000; ++n) {
    const int next = fresh.nextRandom();
    if (previous == a && next == b) return n;
    previous = next;
  }
  return -1;
}

}  // namespace vorn::test
