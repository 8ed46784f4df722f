// Witnesses of a cover's terms and the bound they start: every witness is
// an on-set minterm whose off flips make a prime around it; the bound never
// passes the brute-force minimum (terms, literals, output cost), whatever
// the seed, nor the cost of any cover by literals and output cost together;
// the bound is the same whether the off-set is asked through its literal
// columns or cube by cube through its index; and where the minimum is made
// of essential primes, the witnesses of a minimum cover prove it without any
// prime generated.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "exact/essential_points.h"
#include "exact/exact_minimize.h"
#include "exact/exact_oracle.h"
#include "exact/incompatible_points.h"
#include "model/cost.h"

namespace vorn {
namespace {

/// \brief The minterm number of a text that holds one minterm.
std::uint64_t mintermOf(const std::string& text) {
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << text.size()); ++m)
    if (test::cubeHasMinterm(text, m)) return m;
  ADD_FAILURE() << "no minterm in " << text;
  return 0;
}

/// \brief The cover's terms as the source's on-set: its '1' outputs.
FunctionPtr minimumCover(TBoolFnct& f, int criterion) {
  ExactParams p;
  p.criterion = criterion;
  ExactStats st;
  FunctionPtr c = MinimizeExact(f, p, st);
  EXPECT_TRUE(c && st.proven);
  if (c) {
    computeStatistics(*c);
    computeCost(*c, criterion);
  }
  return c;
}

TEST(CoverWitnesses, AreOnSetMintermsInsideASinglePrime) {
  int witnesses = 0;
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 5), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = test::randomFr(seed, inputs, outputs);
    buildLists(*f);
    FunctionPtr cover = minimumCover(*f, 0);
    ASSERT_TRUE(cover);
    const RefineSource src = MakeSource(*f);
    const std::vector<std::string> table = test::truthTable(*f);
    for (const OnPoint& p : CoverWitnesses(src, CoverOf(*cover, src.inputs, src.outputs), WitnessParams{})) {
      ++witnesses;
      const std::string text = unpackCube(p.minterm.data(), inputs).str();
      ASSERT_EQ(text.find('-'), std::string::npos) << text;
      const std::size_t j = static_cast<std::size_t>(p.output);
      EXPECT_EQ(table[mintermOf(text)][j], '1') << "seed " << seed << " " << text;
      // The inputs where a flip of the minterm is off at the output, fixed to its values, make an implicant
      // of that output: the one prime around the minterm.
      std::string region = text;
      for (std::size_t i = 0; i < text.size(); ++i) {
        std::string flipped = text;
        flipped[i] = flipped[i] == '0' ? '1' : '0';
        if (table[mintermOf(flipped)][j] != '0') region[i] = '-';
      }
      const bool found = test::carried(region, table, outputs)[j] == '1';
      EXPECT_TRUE(found) << "seed " << seed << " " << text;
    }
  }
  EXPECT_GT(witnesses, 50);
}

TEST(IncompatibleBound, NeverPassesTheMinimumWhateverTheSeed) {
  int checked = 0;
  for (std::uint32_t seed = 40; seed <= 120 && checked < 25; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 4), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = test::randomFr(seed, inputs, outputs);
    buildLists(*f);
    const auto primes = test::brutePrimes(*f);
    if (primes.size() > 20) continue;
    ++checked;
    long long perOutput = 0;
    for (int j = 0; j < outputs; ++j)
      perOutput += test::bruteMinimum(*f, test::brutePrimesOf(*f, j), [](const std::string&) { return 1LL; }, j);
    const long long minimum[3] = {test::bruteMinimum(*f, primes, [](const std::string&) { return 1LL; }),
                                  test::bruteMinimum(*f, primes, test::literalsOf), perOutput};
    const RefineSource src = MakeSource(*f);
    for (int criterion = 0; criterion < 3; ++criterion)
      for (bool cheap : {true, false}) {
        FunctionPtr cover = cheap ? minimumCover(*f, criterion) : test::onSetCover(*f, criterion);
        ASSERT_TRUE(cover);
        IncompatibleParams ip;
        ip.criterion = criterion;
        ip.first = CoverWitnesses(src, CoverOf(*cover, src.inputs, src.outputs), WitnessParams{});
        EXPECT_LE(IncompatibleBound(src, ip), minimum[criterion])
            << "seed " << seed << " criterion " << criterion << (cheap ? " minimum seed" : " on-set seed");
      }
    // Literals and output cost together: never above what any cover at hand costs by that sum.
    long long cheapest = LLONG_MAX;
    std::vector<FunctionPtr> covers;
    for (int criterion = 0; criterion < 3; ++criterion) covers.push_back(minimumCover(*f, criterion));
    covers.push_back(test::onSetCover(*f, 3));
    for (FunctionPtr& c : covers) {
      ASSERT_TRUE(c);
      computeCost(*c, 3);
      cheapest = std::min<long long>(cheapest, c->cost);
    }
    for (FunctionPtr& c : covers) {
      IncompatibleParams ip;
      ip.criterion = 3;
      ip.first = CoverWitnesses(src, CoverOf(*c, src.inputs, src.outputs), WitnessParams{});
      EXPECT_LE(IncompatibleBound(src, ip), cheapest) << "seed " << seed;
    }
  }
  EXPECT_GE(checked, 15);
}

TEST(IncompatibleBound, OffSetColumnsAndIndexGiveTheSameBound) {
  int differentOutputs = 0;
  for (std::uint32_t seed = 200; seed < 240; ++seed) {
    const int inputs = 4 + static_cast<int>(seed % 6), outputs = 1 + static_cast<int>(seed % 4);
    FunctionPtr f = test::randomFr(seed, inputs, outputs);
    buildLists(*f);
    const RefineSource src = MakeSource(*f);
    ASSERT_TRUE(src.off.hasColumns());
    RefineSource byIndex = src;
    byIndex.off.ofBits.clear();  // the path of off-sets too large for columns
    for (int criterion = 0; criterion < 4; ++criterion) {
      FunctionPtr cover = test::onSetCover(*f, criterion);
      IncompatibleParams ip;
      ip.criterion = criterion;
      ip.first = CoverWitnesses(src, CoverOf(*cover, src.inputs, src.outputs), WitnessParams{});
      for (const OnPoint& p : ip.first) differentOutputs += p.output != ip.first.front().output;
      EXPECT_EQ(IncompatibleBound(src, ip), IncompatibleBound(byIndex, ip)) << "seed " << seed << " criterion " << criterion;
    }
  }
  EXPECT_GT(differentOutputs, 0);  // pairs of points at different outputs were asked
}

TEST(IncompatibleBound, EssentialMinimumIsProvenWithoutPrimes) {
  // Three pairs of inputs, each pair's product an output's on-set and more: x0 x1 + x2 x3 + x4 x5 at
  // output 0, x2 x3 + x4 x5 at output 1; many primes meet, yet the minimum is its essential primes.
  std::string text = ".i 6\n.o 2\n.type fr\n";
  for (std::uint64_t m = 0; m < 64; ++m) {
    const std::string t = test::mintermText(m, 6);
    const bool a = t[0] == '1' && t[1] == '1', b = t[2] == '1' && t[3] == '1', c = t[4] == '1' && t[5] == '1';
    text += t + " " + (a || b || c ? '1' : '0') + (b || c ? '1' : '0') + "\n";
  }
  FunctionPtr f = test::pla(text + ".e\n");
  buildLists(*f);
  for (int criterion : {0, 1, 2}) {
    FunctionPtr seed = minimumCover(*f, criterion);
    ASSERT_TRUE(seed);
    ExactParams p;
    p.criterion = criterion;
    p.seed = seed.get();
    ExactStats st;
    EXPECT_FALSE(MinimizeExact(*f, p, st));  // the seed stands
    EXPECT_TRUE(st.proven) << "criterion " << criterion;
    EXPECT_EQ(st.lowerBound, seed->cost) << "criterion " << criterion;
    EXPECT_EQ(st.primes, 0) << "criterion " << criterion;
  }
}

}  // namespace
}  // namespace vorn
