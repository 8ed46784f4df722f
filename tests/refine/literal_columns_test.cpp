// The column answers of the refinement against independent ones: which cubes
// a cube meets (also within a subset) and holds, judged position by position on cube texts and, for
// few inputs, minterm by minterm; and EXPAND on columns against the off-set
// scan (every term an implicant, every term prime) and the independent cover
// checker, on minterm-shaped and cube-shaped functions of 1 to 130 inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "refine/expand.h"
#include "refine/irredundant.h"
#include "model/literal_columns.h"
#include "refine/cover_function.h"
#include "support/oracle.h"
#include "unate/cube_text.h"

namespace vorn {
namespace {

using test::randomCube;

bool textsMeet(const std::string& a, const std::string& b) {
  for (std::size_t p = 0; p < a.size(); ++p)
    if (a[p] != '-' && b[p] != '-' && a[p] != b[p]) return false;
  return true;
}

bool textContains(const std::string& outer, const std::string& inner) {
  for (std::size_t p = 0; p < outer.size(); ++p)
    if (outer[p] != '-' && outer[p] != inner[p]) return false;
  return true;
}

/// Minterm by minterm (n at most 10): some minterm lies in both cubes, every minterm of inner lies in outer.
bool mintermsMeet(const std::string& a, const std::string& b, int n) {
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << n); ++m)
    if (test::cubeHasMinterm(a, m) && test::cubeHasMinterm(b, m)) return true;
  return false;
}
bool mintermsInside(const std::string& outer, const std::string& inner, int n) {
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << n); ++m)
    if (test::cubeHasMinterm(inner, m) && !test::cubeHasMinterm(outer, m)) return false;
  return true;
}

TEST(LiteralColumns, MeetingAndInsideMatchTheCubeTextsAcrossWordBoundaries) {
  std::mt19937 rng(1701);
  const int sizes[] = {1, 2, 63, 64, 65, 127, 128, 130};
  for (int round = 0; round < 80; ++round) {
    const int n = sizes[round % 8];
    const int count = static_cast<int>(rng() % 200);
    // Half the rounds are minterm lists, as the on- and off-sets of sampled functions are.
    const int density = round % 2 ? 100 : 5 + static_cast<int>(rng() % 40);
    std::vector<std::string> cubes;
    for (int k = 0; k < count; ++k) cubes.push_back(randomCube(rng, n, density));
    const LiteralColumns cols(test::listOf(n, cubes));
    ASSERT_EQ(cols.size(), count);
    std::vector<std::uint64_t> met(cols.blocks()), in(cols.blocks());
    for (int q = 0; q < 10; ++q) {
      const std::string query = randomCube(rng, n, static_cast<int>(rng() % 30));
      const CubeList one = test::listOf(n, {query});
      cols.meeting(one.cube(0), met.data());
      cols.inside(one.cube(0), in.data());
      for (int k = 0; k < count; ++k) {
        EXPECT_EQ(bitspan::test(met.data(), k), textsMeet(cubes[static_cast<std::size_t>(k)], query))
            << "n " << n << " cube " << cubes[static_cast<std::size_t>(k)] << " query " << query;
        EXPECT_EQ(bitspan::test(in.data(), k), textContains(query, cubes[static_cast<std::size_t>(k)]))
            << "n " << n << " cube " << cubes[static_cast<std::size_t>(k)] << " query " << query;
      }
      // No bit beyond the last cube.
      if (count % 64) {
        EXPECT_EQ(met.back() >> (count % 64), 0u);
        EXPECT_EQ(in.back() >> (count % 64), 0u);
      }
      // Whether the query meets a cube of a subset (an output's off-set): sparse, dense, empty subsets.
      std::vector<std::uint64_t> among(cols.blocks()), scratch(cols.blocks());
      const unsigned keepOneIn = 1 + q % 4 * 7;
      bool expected = false;
      for (int k = 0; k < count; ++k)
        if (q % 5 != 4 && rng() % keepOneIn == 0) {
          bitspan::set(among.data(), k);
          expected = expected || textsMeet(cubes[static_cast<std::size_t>(k)], query);
        }
      const std::vector<std::uint64_t> before = among;
      EXPECT_EQ(cols.meetsAnyOf(one.cube(0), among.data(), scratch.data()), expected) << "n " << n << " query " << query;
      EXPECT_EQ(among, before);
    }
  }
}

TEST(LiteralColumns, AgreeWithTheMintermOracleOnFewInputs) {
  std::mt19937 rng(99);
  for (int n = 1; n <= 8; ++n) {
    std::vector<std::string> cubes;
    for (int k = 0; k < 70; ++k) cubes.push_back(randomCube(rng, n, 50));
    const LiteralColumns cols(test::listOf(n, cubes));
    std::vector<std::uint64_t> met(cols.blocks()), in(cols.blocks());
    for (int q = 0; q < 12; ++q) {
      const std::string query = randomCube(rng, n, 40);
      const CubeList one = test::listOf(n, {query});
      cols.meeting(one.cube(0), met.data());
      cols.inside(one.cube(0), in.data());
      for (int k = 0; k < 70; ++k) {
        EXPECT_EQ(bitspan::test(met.data(), k), mintermsMeet(cubes[static_cast<std::size_t>(k)], query, n));
        EXPECT_EQ(bitspan::test(in.data(), k), mintermsInside(query, cubes[static_cast<std::size_t>(k)], n));
      }
    }
  }
}

TEST(LiteralColumns, FollowCubesAsTheyGrowAndAreAdded) {
  const int n = 70;
  std::string a(n, '-'), b(n, '-');
  a[0] = '1';
  a[69] = '0';
  b[64] = '1';
  LiteralColumns cols(test::listOf(n, {a}), 2);
  ASSERT_EQ(cols.size(), 2);
  EXPECT_TRUE(bitspan::test(cols.holds(69, 0), 0));
  EXPECT_FALSE(bitspan::test(cols.holds(64, 1), 1));
  const CubeList bl = test::listOf(n, {b});
  cols.add(1, bl.cube(0));
  EXPECT_TRUE(bitspan::test(cols.holds(64, 1), 1));
  EXPECT_TRUE(bitspan::test(cols.blocked(64, 0), 1));
  cols.free(0, 69, 0);
  EXPECT_FALSE(bitspan::test(cols.holds(69, 0), 0));
  // Cube 0 is now 1---...: inside the query 1-...; cube 1 is not.
  std::string q(n, '-');
  q[0] = '1';
  std::vector<std::uint64_t> in(cols.blocks());
  cols.inside(test::listOf(n, {q}).cube(0), in.data());
  EXPECT_TRUE(bitspan::test(in.data(), 0));
  EXPECT_FALSE(bitspan::test(in.data(), 1));
}

/// A sampled function: a random target cube set labels `samples` random minterms of n inputs.
FunctionPtr sampledFunction(std::uint32_t seed, int n, int samples) {
  std::mt19937 rng(seed);
  std::vector<std::string> target;
  for (int k = 0; k < 4; ++k) target.push_back(randomCube(rng, n, std::min(100, 400 / n + 2)));
  std::string text = ".i " + std::to_string(n) + "\n.o 1\n.type fr\n";
  std::vector<std::string> seen;
  for (int s = 0; s < samples; ++s) {
    const std::string m = randomCube(rng, n, 100);
    if (std::find(seen.begin(), seen.end(), m) != seen.end()) continue;
    seen.push_back(m);
    bool on = false;
    for (const std::string& t : target) on = on || textContains(t, m);
    text += m + (on ? " 1\n" : " 0\n");
  }
  return test::pla(text + ".e\n");
}

Cover ownTerms(const RefineSource& source) {
  Cover c;
  c.in = CubeList(source.inputs);
  for (int t = 0; t < source.on.cubes.size(); ++t) c.add(source.on.cubes.cube(t), source.on.outputs[static_cast<std::size_t>(t)]);
  return c;
}

using test::asFunction;

/// Every live term is an implicant of its outputs and prime, judged by the off-set scan.
void expectPrimeImplicants(const Cover& c, const OffSetTest& test, int inputs, const std::string& where) {
  for (int k = 0; k < c.size(); ++k) {
    if (!c.alive[static_cast<std::size_t>(k)]) continue;
    const Cube cube = c.in.get(k);
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { EXPECT_TRUE(test.allowed(c.in.cube(k), j)) << where; });
    for (int p = 0; p < inputs; ++p) {
      if (!cube.isLiteral(p)) continue;
      Cube wider = cube;
      wider.set(p, '-');
      CubeList one(inputs);
      one.push(wider);
      bool fits = true;
      c.out[static_cast<std::size_t>(k)].forEach([&](int j) { fits = fits && test.allowed(one.cube(0), j); });
      EXPECT_FALSE(fits) << where << " term " << cube.str() << " can drop position " << p;
    }
  }
}

TEST(ColumnExpand, SampledFunctionsOfManyInputsGetPrimeImplicantsThatCoverTheOnSet) {
  const int sizes[] = {1, 5, 20, 63, 64, 65, 100, 130};
  for (int round = 0; round < 16; ++round) {
    const int n = sizes[round % 8];
    FunctionPtr f = sampledFunction(500 + static_cast<std::uint32_t>(round), n, 150);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(source.off.hasColumns());
    const OffSetTest test = OffSetTestOf(source.off);
    Cover c = ownTerms(source);
    ExpandStats stats;
    Expand(source, test, c, ExpandParams{}, stats);
    c.compact();
    const std::string where = "n " + std::to_string(n) + " round " + std::to_string(round);
    expectPrimeImplicants(c, test, n, where);
    EXPECT_EQ(test::checkCover(*f, *asFunction(*f, c)), "") << where;
    // The minterms the terms came from are held by the expanded ones.
    EXPECT_LE(c.size(), source.on.cubes.size()) << where;
  }
}

TEST(ColumnExpand, CubeShapedMultiOutputFunctionsKeepAValidCover) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const int n = 2 + static_cast<int>(seed % 8);
    FunctionPtr f = test::randomFr(seed, n, 1 + static_cast<int>(seed % 4), 30);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const OffSetTest test = OffSetTestOf(source.off);
    Cover c = ownTerms(source);
    ExpandStats stats;
    ExpandParams params;
    params.outputsFirst = seed % 2 == 0;
    Expand(source, test, c, params, stats);
    c.compact();
    EXPECT_EQ(test::checkCover(*f, *asFunction(*f, c)), "") << "seed " << seed;
    for (int k = 0; k < c.size(); ++k)
      c.out[static_cast<std::size_t>(k)].forEach([&](int j) { EXPECT_TRUE(test.allowed(c.in.cube(k), j)) << seed; });
  }
}

}  // namespace
}  // namespace vorn
