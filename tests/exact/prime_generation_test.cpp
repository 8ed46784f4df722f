// Prime generation against brute force over every cube: every prime is
// found with its largest output set, and nothing else is.
#include <gtest/gtest.h>

#include <algorithm>

#include "exact/exact_oracle.h"
#include "exact/prime_generation.h"
#include "refine/refine_problem.h"

namespace vorn {
namespace {

std::map<std::string, std::string> generated(const TBoolFnct& f, const CubeSet* within = nullptr) {
  const RefineSource src = MakeSource(f);
  PrimeSet primes;
  PrimeStats stats;
  PrimeParams params;
  params.within = within;
  EXPECT_TRUE(GeneratePrimes(src.off, f.inputCount, f.outputCount, params, primes, stats));
  std::map<std::string, std::string> out;
  for (int k = 0; k < primes.size(); ++k) {
    std::string o(static_cast<std::size_t>(f.outputCount), '0');
    primes.outputs[static_cast<std::size_t>(k)].forEach([&](int j) { o[static_cast<std::size_t>(j)] = '1'; });
    const std::string c = primes.cubes.get(k).str();
    EXPECT_EQ(out.count(c), 0u) << "prime " << c << " found twice";
    out[c] = o;
  }
  return out;
}

TEST(PrimeGeneration, MatchesBruteForceOnRandomFunctions) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const int inputs = 2 + static_cast<int>(seed % 5), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = test::randomFr(seed, inputs, outputs, 25);
    buildLists(*f);
    EXPECT_EQ(generated(*f), test::brutePrimes(*f)) << "seed " << seed << ", " << inputs << " inputs";
  }
}

// Which kept prime contains a product is found by the outputs' columns as well as the literals':
// output sets across word boundaries, with many primes sharing their literals but not their outputs.
TEST(PrimeGeneration, MatchesBruteForceWithOutputsAcrossWordBoundaries) {
  const int outputCounts[] = {63, 64, 65, 129};
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    const int outputs = outputCounts[seed % 4], inputs = 4 + static_cast<int>(seed % 2);
    FunctionPtr f = test::randomFr(100 + seed, inputs, outputs, 20);
    buildLists(*f);
    EXPECT_EQ(generated(*f), test::brutePrimes(*f)) << "seed " << seed << ", " << outputs << " outputs";
  }
}

// Above 32 inputs a cube's signature folds its literals together, so that containment found by it
// must be checked in full: a function of 5 inputs spread over 70, some of them on the folded bits
// of one another, has the primes of the 5 with every other input free.
TEST(PrimeGeneration, WideCubesWithFoldedSignaturesMatchBruteForce) {
  const int spread[5] = {0, 32, 33, 64, 69};
  const int wide = 70;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    const int outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr small = test::randomFr(300 + seed, 5, outputs, 25);
    buildLists(*small);
    std::string text = ".i " + std::to_string(wide) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
    for (std::uint64_t m = 0; m < 32; ++m) {
      std::string out = test::evaluate(*small, m);
      if (out.find_first_not_of('-') == std::string::npos) continue;
      for (char& c : out)
        if (c == '-') c = '~';
      const std::string bits = test::mintermText(m, 5);
      std::string cube(wide, '-');
      for (int i = 0; i < 5; ++i) cube[static_cast<std::size_t>(spread[i])] = bits[static_cast<std::size_t>(i)];
      text += cube + " " + out + "\n";
    }
    FunctionPtr f = test::pla(text + ".e\n");
    buildLists(*f);
    std::map<std::string, std::string> narrowed;
    for (const auto& [cube, outs] : generated(*f)) {
      std::string c;
      for (int i = 0; i < 5; ++i) c += cube[static_cast<std::size_t>(spread[i])];
      EXPECT_EQ(std::count(cube.begin(), cube.end(), '-'), wide - 5 + std::count(c.begin(), c.end(), '-')) << cube;
      narrowed[c] = outs;
    }
    EXPECT_EQ(narrowed, test::brutePrimes(*small)) << "seed " << seed;
  }
}

/// \brief True when the cube text c meets the cube text d (no position '0' in one and '1' in the other).
bool textsMeet(const std::string& c, const std::string& d) {
  for (std::size_t i = 0; i < c.size(); ++i)
    if ((c[i] == '0' && d[i] == '1') || (c[i] == '1' && d[i] == '0')) return false;
  return true;
}

TEST(PrimeGeneration, WithinSomeCubesGivesExactlyThePrimesMeetingThem) {
  int dropped = 0, kept = 0;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 5), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = test::randomFr(seed, inputs, outputs, 25);
    buildLists(*f);
    // A few cubes of another function's on-set stand for the part left to cover.
    FunctionPtr g = test::randomFr(seed + 1000, inputs, outputs, 3 + static_cast<int>(seed % 4));
    buildLists(*g);
    const RefineSource other = MakeSource(*g);
    std::map<std::string, std::string> want;
    for (const auto& [cube, outs] : test::brutePrimes(*f)) {
      bool meets = false;
      for (int k = 0; k < other.on.cubes.size() && !meets; ++k) {
        bool shared = false;
        other.on.outputs[static_cast<std::size_t>(k)].forEach([&](int j) { shared = shared || outs[static_cast<std::size_t>(j)] == '1'; });
        meets = shared && textsMeet(cube, other.on.cubes.get(k).str());
      }
      if (meets) want[cube] = outs;
      ++(meets ? kept : dropped);
    }
    EXPECT_EQ(generated(*f, &other.on), want) << "seed " << seed;
  }
  EXPECT_GT(dropped, 0);
  EXPECT_GT(kept, 0);
}

TEST(PrimeGeneration, ConstantFunctions) {
  // Off-set only at output 1: the whole space carries output 0 alone; output 1 has no prime.
  FunctionPtr f = test::pla(".i 2\n.o 2\n.type fr\n-- 10\n.e\n");
  buildLists(*f);
  std::map<std::string, std::string> want{{"--", "10"}};
  EXPECT_EQ(generated(*f), want);
  // No off-set at all: one prime, the whole space with every output.
  FunctionPtr g = test::pla(".i 3\n.o 2\n.type fr\n1-0 11\n.e\n");
  buildLists(*g);
  std::map<std::string, std::string> all{{"---", "11"}};
  EXPECT_EQ(generated(*g), all);
}

TEST(PrimeGeneration, StopsAtItsBounds) {
  FunctionPtr f = test::randomFr(7, 8, 2, 10);
  buildLists(*f);
  const RefineSource src = MakeSource(*f);
  PrimeParams params;
  params.maxNodes = 3;
  PrimeSet primes;
  PrimeStats stats;
  EXPECT_FALSE(GeneratePrimes(src.off, f->inputCount, f->outputCount, params, primes, stats));
  EXPECT_FALSE(stats.complete);
}

}  // namespace
}  // namespace vorn
