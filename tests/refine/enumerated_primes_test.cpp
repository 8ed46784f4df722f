// The best primes around priced on-set minterms, against a brute force over every subset of a
// seed's literals: the table (up to 16 inputs) and the branch and bound (beyond) both give, per
// seed, an implicant holding the seed whose prices exceed its cost by the most there is; the same
// primes from the same draws, none where nothing pays or the source does not suit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/cost.h"
#include "model/random.h"
#include "refine/cover_function.h"
#include "refine/enumerated_primes.h"
#include "refine/prime_pool.h"

namespace vorn {
namespace {

using test::sampled;

constexpr int kLiterals = 1;

/// The minterm texts of output 0 of a cube set, in term order.
std::vector<std::string> mintermsOf(const CubeSet& set) {
  std::vector<std::string> m;
  bitspan::forEach(set.ofBits[0].data(), set.ofBits[0].size(), [&](int t) { m.push_back(set.cubes.get(t).str()); });
  return m;
}

std::uint32_t valueOf(const std::string& minterm) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < minterm.size(); ++i)
    if (minterm[i] == '1') v |= std::uint32_t{1} << i;
  return v;
}

/// The largest excess of prices over cost of an implicant keeping some of minterm `seed`'s literals,
/// by trying every subset of them.
double bruteBest(const std::string& seed, const std::vector<std::string>& on, const std::vector<double>& price,
                 const std::vector<std::string>& off) {
  const int n = static_cast<int>(seed.size());
  const std::uint32_t all = (std::uint32_t{1} << n) - 1, t = valueOf(seed);
  std::vector<std::uint32_t> onAgree, offAgree;
  for (const std::string& u : on) onAgree.push_back(~(t ^ valueOf(u)) & all);
  for (const std::string& o : off) offAgree.push_back(~(t ^ valueOf(o)) & all);
  double best = -1e18;
  for (std::uint32_t s = 0; s <= all; ++s) {
    if (std::any_of(offAgree.begin(), offAgree.end(), [&](std::uint32_t a) { return (s & ~a) == 0; })) continue;
    double worth = 0;
    for (std::size_t k = 0; k < on.size(); ++k)
      if ((s & ~onAgree[k]) == 0) worth += price[k];
    int literals = 0;
    for (std::uint32_t b = s; b; b &= b - 1) ++literals;
    best = std::max(best, worth - static_cast<double>(termWeight(kLiterals, literals, 1)));
  }
  return best;
}

Cover enumerated(const RefineSource& source, const std::vector<double>& price, Random* random, int most,
                 PricedPrimesStats& stats) {
  Cover c;
  c.in = CubeList(source.inputs);
  PricedPrimesParams params;
  params.criterion = kLiterals;
  params.most = most;
  EnumeratedPrimes(source, price, random, params, c, stats);
  return c;
}

TEST(EnumeratedPrimes, EachSeedGetsTheBestImplicantAroundItByTableAndByBranchAndBound) {
  for (int n : {9, 16, 18, 20}) {
    FunctionPtr f = sampled(700 + static_cast<std::uint32_t>(n), n, n > 16 ? 90 : 300, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(EnumeratedPrimesApply(source));
    const std::vector<std::string> on = mintermsOf(source.on), off = mintermsOf(source.off);
    // Distinct prices, every other minterm free: without draws the seeds are the dearest, in order.
    std::vector<double> price(on.size(), 0.0);
    for (std::size_t m = 0; m < price.size(); m += 2) price[m] = 1500.0 + 37.0 * static_cast<double>(m);
    std::vector<std::size_t> seeds;
    for (std::size_t m = 0; m < price.size(); m += 2) seeds.push_back(m);
    std::sort(seeds.begin(), seeds.end(), [&](std::size_t a, std::size_t b) { return price[a] > price[b]; });
    const int most = 6;
    seeds.resize(std::min<std::size_t>(seeds.size(), most));
    PricedPrimesStats stats;
    const Cover c = enumerated(source, price, nullptr, most, stats);
    const std::string where = "n " + std::to_string(n);
    EXPECT_EQ(stats.grown, static_cast<int>(seeds.size())) << where;
    EXPECT_EQ(stats.kept, c.size()) << where;
    int k = 0;
    for (std::size_t s : seeds) {
      const double best = bruteBest(on[s], on, price, off);
      if (best <= 1e-9) continue;
      ASSERT_LT(k, c.size()) << where << ": no prime for seed " << on[s];
      const std::string cube = c.in.get(k++).str();
      EXPECT_TRUE(test::cubeHolds(cube, on[s])) << where << " " << cube << " misses its seed " << on[s];
      for (const std::string& o : off) EXPECT_FALSE(test::cubeHolds(cube, o)) << where << " " << cube << " holds " << o;
      double worth = 0;
      int literals = 0;
      for (std::size_t m = 0; m < on.size(); ++m)
        if (test::cubeHolds(cube, on[m])) worth += price[m];
      for (char x : cube) literals += x != '-';
      EXPECT_NEAR(worth - static_cast<double>(termWeight(kLiterals, literals, 1)), best, 1e-6) << where << " " << cube;
    }
    EXPECT_EQ(k, c.size()) << where;
    EXPECT_GT(c.size(), 0) << where << ": no seed paid";
  }
}

TEST(EnumeratedPrimes, SameDrawsGiveTheSamePrimesAndNothingWithoutPricesOrASuitingSource) {
  for (int n : {12, 22}) {
    FunctionPtr f = sampled(81 + static_cast<std::uint32_t>(n), n, 200, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const std::vector<double> price(mintermsOf(source.on).size(), 6000.0);
    Random a, b;
    a.seedRandom(3);
    b.seedRandom(3);
    PricedPrimesStats sa, sb;
    const Cover first = enumerated(source, price, &a, 0, sa), again = enumerated(source, price, &b, 0, sb);
    ASSERT_GT(first.size(), 0) << n;
    EXPECT_EQ(first.in.raw(), again.in.raw()) << n;
    PricedPrimesStats none;
    EXPECT_EQ(enumerated(source, std::vector<double>(price.size(), 0.0), nullptr, 0, none).size(), 0) << n;
    EXPECT_EQ(enumerated(source, std::vector<double>(price.size() + 1, 6000.0), nullptr, 0, none).size(), 0) << n;
    EXPECT_EQ(none.grown, 0) << n;
  }
  FunctionPtr wide = sampled(93, 25, 200, 1);
  buildLists(*wide);
  EXPECT_FALSE(EnumeratedPrimesApply(MakeSource(*wide)));
  FunctionPtr two = sampled(94, 12, 200, 2);
  buildLists(*two);
  EXPECT_FALSE(EnumeratedPrimesApply(MakeSource(*two)));
}

}  // namespace
}  // namespace vorn
