// Essential primes from witnesses against brute force: each is a prime with
// all the outputs it can carry and the only prime holding one of its
// witnesses; the on-set left outside them holds exactly the on-set
// minterms those primes miss, output by output.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "exact/essential_primes.h"
#include "exact/exact_oracle.h"

namespace vorn {
namespace {

/// \brief The source's own terms with a '1' as a cover (costly, with terms that are no primes).
Cover sourceCover(TBoolFnct& f, const RefineSource& src) {
  FunctionPtr c = derive(f);
  forEachTerm(f, [&](const TPfnct& t) {
    std::string out;
    for (char o : t.output) out += o == '1' ? '1' : '0';
    if (out.find('1') != std::string::npos) appendTerm(*c, t.input, out, 0);
  });
  return CoverOf(*c, src.inputs, src.outputs);
}

/// \brief The minterm number of a packed cube that holds one minterm.
std::uint64_t mintermOf(const std::vector<Word>& packed, int inputs) {
  const std::string text = unpackCube(packed.data(), inputs).str();
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << inputs); ++m)
    if (test::cubeHasMinterm(text, m)) return m;
  ADD_FAILURE() << "no minterm in " << text;
  return 0;
}

TEST(WitnessedEssentials, AreTheOnlyPrimeOfOneOfTheirWitnesses) {
  int essentials = 0;
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 5), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = test::randomFr(seed, inputs, outputs);
    buildLists(*f);
    const RefineSource src = MakeSource(*f);
    const auto primes = test::brutePrimes(*f);
    const std::vector<OnPoint> points = CoverWitnesses(src, sourceCover(*f, src), WitnessParams{});
    for (const EssentialPrime& e : WitnessedEssentials(src, points)) {
      ++essentials;
      const std::string cube = unpackCube(e.cube.data(), inputs).str();
      std::string outs(static_cast<std::size_t>(outputs), '0');
      e.outputs.forEach([&](int j) { outs[static_cast<std::size_t>(j)] = '1'; });
      ASSERT_EQ(primes.count(cube), 1u) << "seed " << seed << " " << cube;
      EXPECT_EQ(primes.at(cube), outs) << "seed " << seed << " " << cube;
      // Some witness of it lies in no other prime at its output.
      bool alone = false;
      for (const OnPoint& p : points) {
        if (p.prime != e.cube) continue;
        const std::uint64_t m = mintermOf(p.minterm, inputs);
        int holders = 0;
        for (const auto& [c, o] : primes)
          if (o[static_cast<std::size_t>(p.output)] == '1' && test::cubeHasMinterm(c, m)) ++holders;
        alone = alone || holders == 1;
      }
      EXPECT_TRUE(alone) << "seed " << seed << " " << cube;
    }
  }
  EXPECT_GT(essentials, 20);
}

/// \brief An fr function whose on-set is given by a few random cubes per output (not minterms, so that the
/// essential primes cut them into pieces) and whose off-set is the rest.
FunctionPtr cubeFunction(std::uint32_t seed, int inputs, int outputs) {
  std::mt19937 rng(seed);
  const std::uint64_t count = std::uint64_t{1} << inputs;
  std::string text = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
  std::vector<std::string> table(count, std::string(static_cast<std::size_t>(outputs), '0'));
  for (int j = 0; j < outputs; ++j)
    for (int k = 2 + static_cast<int>(rng() % 3); k > 0; --k) {
      std::string cube;
      for (int i = 0; i < inputs; ++i) cube += rng() % 10 < 5 ? (rng() % 2 ? '1' : '0') : '-';
      std::string out(static_cast<std::size_t>(outputs), '~');
      out[static_cast<std::size_t>(j)] = '1';
      text += cube + " " + out + "\n";
      for (std::uint64_t m = 0; m < count; ++m)
        if (test::cubeHasMinterm(cube, m)) table[m][static_cast<std::size_t>(j)] = '1';
    }
  for (std::uint64_t m = 0; m < count; ++m) {
    std::string out = table[m];
    for (char& c : out) c = c == '0' ? '0' : '~';
    if (out.find('0') != std::string::npos) text += test::mintermText(m, inputs) + " " + out + "\n";
  }
  return test::pla(text + ".e\n");
}

TEST(OnSetOutside, LeavesExactlyTheOnSetTheEssentialPrimesMiss) {
  int cut = 0;
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 5), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = cubeFunction(seed + 100, inputs, outputs);
    buildLists(*f);
    const RefineSource src = MakeSource(*f);
    const std::vector<EssentialPrime> essentials =
        WitnessedEssentials(src, CoverWitnesses(src, sourceCover(*f, src), WitnessParams{}));
    CubeSet left;
    ASSERT_TRUE(OnSetOutside(src, essentials, 100000, left));
    const std::vector<std::string> table = test::truthTable(*f);
    for (int j = 0; j < outputs; ++j) {
      for (std::uint64_t m = 0; m < table.size(); ++m) {
        bool inEssential = false;
        for (const EssentialPrime& e : essentials)
          inEssential = inEssential || (e.outputs.test(j) &&
                                        test::cubeHasMinterm(unpackCube(e.cube.data(), inputs).str(), m));
        int pieces = 0;
        for (int k : left.of[static_cast<std::size_t>(j)]) pieces += test::cubeHasMinterm(left.cubes.get(k).str(), m);
        const bool on = table[m][static_cast<std::size_t>(j)] == '1';
        // The pieces lie inside the on-set and hold what the essential primes leave of it.
        EXPECT_EQ(pieces > 0, on && !inEssential) << "seed " << seed << " output " << j << " minterm " << m;
      }
      for (int k : left.of[static_cast<std::size_t>(j)]) EXPECT_TRUE(left.outputs[static_cast<std::size_t>(k)].test(j));
    }
    std::set<std::string> whole;
    for (int k = 0; k < src.on.cubes.size(); ++k) whole.insert(src.on.cubes.get(k).str());
    for (int k = 0; k < left.cubes.size(); ++k) cut += whole.count(left.cubes.get(k).str()) == 0;
  }
  EXPECT_GT(cut, 0);  // some on-set cube was cut into pieces
}

}  // namespace
}  // namespace vorn
