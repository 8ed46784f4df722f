// Brute-force judges for the exact minimizer on small functions: the truth
// table, every cube with the outputs it may carry, the primes, and the
// cheapest cover found by trying every subset of the primes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/function.h"
#include "support/oracle.h"

namespace vorn::test {

/// Per minterm, per output: '1', '0' or '-'.
inline std::vector<std::string> truthTable(const TBoolFnct& f) {
  std::vector<std::string> t;
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << f.inputCount); ++m) t.push_back(evaluate(f, m));
  return t;
}

/// \brief Every cube over n inputs as text.
inline std::vector<std::string> allCubes(int n) {
  std::vector<std::string> cubes{""};
  for (int i = 0; i < n; ++i) {
    std::vector<std::string> next;
    for (const std::string& c : cubes)
      for (char v : {'0', '1', '-'}) next.push_back(c + v);
    cubes = next;
  }
  return cubes;
}

/// \brief The outputs (as a '0'/'1' text) whose off-set the cube misses.
inline std::string carried(const std::string& cube, const std::vector<std::string>& table, int outputs) {
  std::string o(static_cast<std::size_t>(outputs), '1');
  for (std::uint64_t m = 0; m < table.size(); ++m)
    if (cubeHasMinterm(cube, m))
      for (int j = 0; j < outputs; ++j)
        if (table[m][static_cast<std::size_t>(j)] == '0') o[static_cast<std::size_t>(j)] = '0';
  return o;
}

/// \brief The multi-output primes: cube text to its outputs.
inline std::map<std::string, std::string> brutePrimes(const TBoolFnct& f) {
  const std::vector<std::string> table = truthTable(f);
  std::map<std::string, std::string> primes;
  for (const std::string& c : allCubes(f.inputCount)) {
    const std::string o = carried(c, table, f.outputCount);
    if (o.find('1') == std::string::npos) continue;
    bool prime = true;
    for (std::size_t i = 0; i < c.size() && prime; ++i) {
      if (c[i] == '-') continue;
      std::string wider = c;
      wider[i] = '-';
      if (carried(wider, table, f.outputCount) == o) prime = false;
    }
    if (prime) primes[c] = o;
  }
  return primes;
}

/// \brief The least cost of a cover made of the given cubes (each feeding every output it may carry and
/// needs), by trying every subset; cost per cube from `cubeCost`.  Single-output: per output, summed.
template <typename CostFn>
long long bruteMinimum(const TBoolFnct& f, const std::map<std::string, std::string>& primes, CostFn cubeCost,
                       int onlyOutput = -1) {
  const std::vector<std::string> table = truthTable(f);
  std::vector<std::string> cubes;
  std::vector<std::vector<std::uint64_t>> holds;  // per cube: per minterm, outputs it covers (bits)
  for (const auto& [c, o] : primes) {
    if (onlyOutput >= 0 && o[static_cast<std::size_t>(onlyOutput)] != '1') continue;
    cubes.push_back(c);
    std::vector<std::uint64_t> h(table.size(), 0);
    for (std::uint64_t m = 0; m < table.size(); ++m)
      if (cubeHasMinterm(c, m))
        for (int j = 0; j < f.outputCount; ++j)
          if (o[static_cast<std::size_t>(j)] == '1' && (onlyOutput < 0 || j == onlyOutput)) h[m] |= std::uint64_t{1} << j;
    holds.push_back(h);
  }
  std::vector<std::uint64_t> need(table.size(), 0);
  for (std::uint64_t m = 0; m < table.size(); ++m)
    for (int j = 0; j < f.outputCount; ++j)
      if (table[m][static_cast<std::size_t>(j)] == '1' && (onlyOutput < 0 || j == onlyOutput)) need[m] |= std::uint64_t{1} << j;
  long long best = -1;
  const std::size_t n = cubes.size();
  for (std::uint64_t subset = 0; subset < (std::uint64_t{1} << n); ++subset) {
    long long cost = 0;
    std::vector<std::uint64_t> got(table.size(), 0);
    for (std::size_t k = 0; k < n; ++k)
      if ((subset >> k) & 1) {
        cost += cubeCost(cubes[k]);
        for (std::uint64_t m = 0; m < table.size(); ++m) got[m] |= holds[k][m];
      }
    if (best >= 0 && cost >= best) continue;
    bool ok = true;
    for (std::uint64_t m = 0; m < table.size() && ok; ++m) ok = (need[m] & ~got[m]) == 0;
    if (ok) best = cost;
  }
  return best;
}

/// \brief Number of literals of a cube text.
inline long long literalsOf(const std::string& cube) {
  long long n = 0;
  for (char c : cube) n += c == '0' || c == '1';
  return n;
}

}  // namespace vorn::test
