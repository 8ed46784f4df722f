// Brute-force judges for the exact minimizer on small functions: the truth
// table, every cube with the outputs it may carry, the primes, and the
// cheapest cover found by trying every subset of the primes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/cost.h"
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

/// \brief The primes of output j alone: the largest cubes that miss its off-set.
inline std::map<std::string, std::string> brutePrimesOf(const TBoolFnct& f, int j) {
  const std::vector<std::string> table = truthTable(f);
  auto fits = [&](const std::string& c) { return carried(c, table, f.outputCount)[static_cast<std::size_t>(j)] == '1'; };
  std::map<std::string, std::string> primes;
  for (const std::string& c : allCubes(f.inputCount)) {
    if (!fits(c)) continue;
    bool prime = true;
    for (std::size_t i = 0; i < c.size() && prime; ++i) {
      if (c[i] == '-') continue;
      std::string wider = c;
      wider[i] = '-';
      prime = !fits(wider);
    }
    std::string o(static_cast<std::size_t>(f.outputCount), '0');
    o[static_cast<std::size_t>(j)] = '1';
    if (prime) primes[c] = o;
  }
  return primes;
}

/// \brief The least cost of a cover made of the given cubes (each feeding every output it may carry),
/// found by trying every subset of them (subsets costlier than the best so far are cut); cost per cube from
/// `cubeCost`.  Cubes that hold no on-set minterm are left out, they never make a cover cheaper.  With
/// `only` at an output, the on-set of that output alone is to be covered.
template <typename CostFn>
long long bruteMinimum(const TBoolFnct& f, const std::map<std::string, std::string>& primes, CostFn cubeCost,
                       int only = -1) {
  const std::vector<std::string> table = truthTable(f);
  // Cells to cover: (minterm, output) pairs of the on-set, as bits.
  std::vector<std::pair<std::uint64_t, int>> cells;
  for (std::uint64_t m = 0; m < table.size(); ++m)
    for (int j = 0; j < f.outputCount; ++j)
      if (table[m][static_cast<std::size_t>(j)] == '1' && (only < 0 || j == only)) cells.emplace_back(m, j);
  const std::size_t words = (cells.size() + 63) / 64;
  std::vector<std::vector<std::uint64_t>> holds;
  std::vector<long long> costs;
  for (const auto& [c, o] : primes) {
    std::vector<std::uint64_t> h(words, 0);
    bool any = false;
    for (std::size_t k = 0; k < cells.size(); ++k)
      if (o[static_cast<std::size_t>(cells[k].second)] == '1' && cubeHasMinterm(c, cells[k].first))
        h[k / 64] |= std::uint64_t{1} << (k % 64), any = true;
    if (!any) continue;
    holds.push_back(h);
    costs.push_back(cubeCost(c));
  }
  long long best = -1;
  std::vector<std::uint64_t> got(words, 0);
  auto full = [&]() {
    for (std::size_t k = 0; k < cells.size(); ++k)
      if (!((got[k / 64] >> (k % 64)) & 1)) return false;
    return true;
  };
  // Every subset, in include-first order.
  auto walk = [&](auto&& self, std::size_t k, long long cost) -> void {
    if (best >= 0 && cost >= best) return;
    if (k == holds.size()) {
      if (full()) best = cost;
      return;
    }
    const std::vector<std::uint64_t> before = got;
    for (std::size_t w = 0; w < words; ++w) got[w] |= holds[k][w];
    self(self, k + 1, cost + costs[k]);
    got = before;
    self(self, k + 1, cost);
  };
  walk(walk, 0, 0);
  return best;
}

/// \brief Number of literals of a cube text.
inline long long literalsOf(const std::string& cube) {
  long long n = 0;
  for (char c : cube) n += c == '0' || c == '1';
  return n;
}

/// \brief A valid but costly cover: the source's own terms with a '1', with its cost by `criterion`.
inline FunctionPtr onSetCover(TBoolFnct& f, int criterion) {
  FunctionPtr seed = derive(f);
  forEachTerm(f, [&](const TPfnct& t) {
    std::string out;
    for (char c : t.output) out += c == '1' ? '1' : '0';
    if (out.find('1') != std::string::npos) appendTerm(*seed, t.input, out, 0);
  });
  computeStatistics(*seed);
  computeCost(*seed, criterion);
  return seed;
}

}  // namespace vorn::test
