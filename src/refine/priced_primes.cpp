// Primes grown around on-set minterms for the prices a covering problem puts on them.
//
// The cover of a sampled function is a set cover of its on-set minterms by
// implicants, and the cover found is only as good as the implicants offered.
// Column generation (Gilmore and Gomory; for set covering the standard way
// to solve problems whose sets are too many to list) answers which ones to
// add: the multipliers of the covering problem's relaxation price every
// minterm, and an implicant whose minterms' prices add up to more than its
// cost would lower the relaxation's bound, so a cover may want it.  Finding
// the best such implicant is hard; growing one around each dear minterm,
// literal by literal with the information gain (FOIL) weighted by the
// prices, finds many: the weight steers the cube towards the minterms that
// the implicants already offered cover only at a high cost, where plain
// seeded primes (seeded_primes.h) keep making the cubes the problem holds.
// Prices are rounded to kLevels levels and each level kept as a bit span, so
// a weighted count is kPlanes word passes; a prime costs kPlanes times the
// literals times the inputs times (on-set + off-set) / 64 word operations.
#include "refine/priced_primes.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/cost.h"
#include "model/packed_cube.h"
#include "refine/prime_pool.h"
#include "refine/seeded_primes.h"

namespace vorn {

std::vector<int> DearestSeeds(std::vector<int> seeds, const std::vector<double>& priceOf, Random* random, int most) {
  if (random)
    for (std::size_t k = seeds.size(); k > 1; --k)
      std::swap(seeds[k - 1], seeds[static_cast<std::size_t>(random->randomBelow(static_cast<int>(k)))]);
  std::stable_sort(seeds.begin(), seeds.end(), [&](int a, int b) {
    return priceOf[static_cast<std::size_t>(a)] > priceOf[static_cast<std::size_t>(b)];
  });
  if (most > 0 && static_cast<int>(seeds.size()) > most) seeds.resize(static_cast<std::size_t>(most));
  return seeds;
}

void PricedPrimes(const RefineSource& source, const std::vector<double>& price, Random* random,
                  const PricedPrimesParams& params, Cover& out, PricedPrimesStats& stats) {
  if (!PrimePool::applies(source)) return;
  // The on-set minterms of the output with their prices, and the dearest price.
  std::vector<int> minterm;
  bitspan::forEach(source.on.ofBits[0].data(), source.on.ofBits[0].size(), [&](int t) { minterm.push_back(t); });
  if (price.size() != minterm.size()) return;
  const double dearest = *std::max_element(price.begin(), price.end());
  if (!(dearest > 0)) return;
  // Minterms of no price still count a little: a cube that holds more of them leaves a cover more
  // room to choose.
  std::vector<int> level(static_cast<std::size_t>(source.on.cubes.size()), 0);
  std::vector<double> priceOf(level.size(), 0.0);
  std::vector<int> seeds;
  for (std::size_t c = 0; c < minterm.size(); ++c) {
    const std::size_t t = static_cast<std::size_t>(minterm[c]);
    priceOf[t] = std::max(0.0, price[c]);
    level[t] = 1 + static_cast<int>(std::lround((MintermPrimeGrower::kLevels - 1) * priceOf[t] / dearest));
    if (priceOf[t] > 0) seeds.push_back(minterm[c]);
  }
  seeds = DearestSeeds(std::move(seeds), priceOf, random, params.most);
  MintermPrimeGrower grower(source, &level);
  OutputSet one(1);
  one.set(0);
  std::vector<Word> held;
  DeadlineProbe probe(params.deadline, 8);
  for (int t : seeds) {
    if (probe.expired()) return;
    if (!grower.grow(t, random, params.slack)) continue;
    ++stats.grown;
    grower.held(held);
    double worth = 0;
    bitspan::forEach(held.data(), held.size(), [&](int m) { worth += priceOf[static_cast<std::size_t>(m)]; });
    const int literals = cubeLiterals(grower.cube(), bits::wordsFor(source.inputs));
    if (worth <= static_cast<double>(termWeight(params.criterion, literals, 1)) + 1e-9) continue;
    ++stats.kept;
    out.add(grower.cube(), one);
  }
}

}  // namespace vorn
