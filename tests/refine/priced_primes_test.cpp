// Primes grown for the prices of a covering problem, on sampled functions:
// implicants that are primes and worth more than their weight by the
// criterion (the cost of a row of the pool), the same primes
// from the same draws, none where nothing is priced or the source does not
// suit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/cost.h"
#include "model/random.h"
#include "refine/cover_function.h"
#include "refine/priced_primes.h"
#include "refine/prime_pool.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::sampled;

/// The source's on-set minterm texts in the order the prices follow.
std::vector<std::string> onSetOf(const RefineSource& source) {
  std::vector<std::string> on;
  bitspan::forEach(source.on.ofBits[0].data(), source.on.ofBits[0].size(),
                   [&](int t) { on.push_back(source.on.cubes.get(t).str()); });
  return on;
}

/// The -Q criteria of literals and of terms (cost.h).
constexpr int kLiterals = 1, kTerms = 0;

Cover priced(const RefineSource& source, const std::vector<double>& price, Random* random, PricedPrimesStats& stats,
             int criterion = kLiterals) {
  Cover c;
  c.in = CubeList(source.inputs);
  PricedPrimesParams params;
  params.criterion = criterion;
  PricedPrimes(source, price, random, params, c, stats);
  return c;
}

TEST(PricedPrimes, KeptPrimesAreImplicantsWorthMoreThanTheirCostAcrossWordBoundaries) {
  for (int n : {7, 63, 64, 65, 130}) {
    FunctionPtr f = sampled(900 + static_cast<std::uint32_t>(n), n, 240, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(PrimePool::applies(source));
    const std::vector<std::string> on = onSetOf(source);
    // Every third minterm is dear, the others free; a term weighs a thousand per literal.
    std::vector<double> price(on.size(), 0.0);
    for (std::size_t m = 0; m < price.size(); m += 3) price[m] = 4000.0 + static_cast<double>(m % 5) * 1000.0;
    Random random;
    random.seedRandom(static_cast<std::uint32_t>(n));
    PricedPrimesStats stats;
    const Cover c = priced(source, price, &random, stats);
    const std::string where = "n " + std::to_string(n);
    EXPECT_EQ(stats.kept, c.size()) << where;
    EXPECT_LE(stats.kept, stats.grown) << where;
    EXPECT_LE(stats.grown, static_cast<int>((price.size() + 2) / 3)) << where << ": only priced minterms seed";
    ASSERT_GT(c.size(), 0) << where;
    const OffSetTest offSet = OffSetTestOf(source.off);
    for (int k = 0; k < c.size(); ++k) {
      const std::string cube = c.in.get(k).str();
      std::vector<Word> packed(c.in.cube(k), c.in.cube(k) + c.in.stride());
      EXPECT_TRUE(offSet.allowed(packed.data(), 0)) << where << " term " << cube << " meets the off-set";
      forEachLiteral(c.in.cube(k), c.in.words(), [&](int i) {
        std::vector<Word> wider = packed;
        freePosition(wider.data(), c.in.words(), i);
        EXPECT_FALSE(offSet.allowed(wider.data(), 0)) << where << " term " << cube << " is not prime";
      });
      double worth = 0;
      for (std::size_t m = 0; m < on.size(); ++m)
        if (test::cubeHolds(cube, on[m])) worth += price[m];
      EXPECT_GT(worth, static_cast<double>(termWeight(kLiterals, c.literals(k), 1))) << where << " term " << cube;
    }
  }
}

TEST(PricedPrimes, SameDrawsGiveTheSamePrimesAndNothingWithoutPricesOrASuitingSource) {
  FunctionPtr f = sampled(91, 40, 300, 1);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  const std::vector<double> price(onSetOf(source).size(), 6000.0);
  Random a, b;
  a.seedRandom(5);
  b.seedRandom(5);
  PricedPrimesStats sa, sb;
  const Cover first = priced(source, price, &a, sa), again = priced(source, price, &b, sb);
  ASSERT_GT(first.size(), 0);
  ASSERT_EQ(first.size(), again.size());
  EXPECT_EQ(first.in.raw(), again.in.raw());

  PricedPrimesStats none;
  EXPECT_EQ(priced(source, std::vector<double>(price.size(), 0.0), nullptr, none).size(), 0);
  EXPECT_EQ(priced(source, std::vector<double>(price.size() + 1, 6000.0), nullptr, none).size(), 0);
  EXPECT_EQ(none.grown, 0);

  // By the terms criterion a term weighs a million: prices that pay for literals pay for no term.
  PricedPrimesStats byTerms;
  EXPECT_EQ(priced(source, price, nullptr, byTerms, kTerms).size(), 0);
  EXPECT_GT(byTerms.grown, 0);

  FunctionPtr two = sampled(92, 40, 300, 2);
  buildLists(*two);
  const RefineSource twoOutputs = MakeSource(*two);
  EXPECT_EQ(priced(twoOutputs, price, nullptr, none).size(), 0);
}

}  // namespace
}  // namespace vorn
