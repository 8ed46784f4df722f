// Terms expanded alone: on seeded random functions every term stays in its
// place, grows to a prime of its outputs that holds the term it was, and the
// cover stays valid; where the steered expansion joins one-hot terms into one
// costly cube, the lone primes win, and the whole refinement finds them.
#include <gtest/gtest.h>

#include <string>

#include "model/cost.h"
#include "refine/cover_function.h"
#include "refine/lone_expand.h"
#include "refine/refine.h"
#include "support/oracle.h"

namespace vorn {
namespace {

/// True when no literal of term k can go without the cube meeting an off-set term of its outputs.
bool prime(const OffSetTest& test, const Cover& c, int k) {
  const Cube cube = c.in.get(k);
  for (int p = 0; p < cube.size(); ++p) {
    if (!cube.isLiteral(p)) continue;
    Cube wider = cube;
    wider.set(p, '-');
    CubeList one(c.in.inputs());
    one.push(wider);
    bool fits = true;
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { fits = fits && test.allowed(one.cube(0), j); });
    if (fits) return false;
  }
  return true;
}

/// The source's on-set terms as a cover.
Cover onSet(const RefineSource& source) {
  Cover c;
  c.in = CubeList(source.inputs);
  for (int t = 0; t < source.on.cubes.size(); ++t) c.add(source.on.cubes.cube(t), source.on.outputs[static_cast<std::size_t>(t)]);
  return c;
}

TEST(LoneExpand, EveryTermBecomesAPrimeHoldingItselfAndTheCoverStaysValid) {
  for (std::uint32_t seed = 400; seed < 430; ++seed) {
    // Minterm on-sets (the column path) and cube-shaped ones alike.
    FunctionPtr f = seed % 2 ? test::randomFr(seed, 4 + static_cast<int>(seed % 5), 1, 40)
                             : test::sampled(seed, 6 + static_cast<int>(seed % 70), 120, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const OffSetTest test = OffSetTestOf(source.off);
    const Cover before = onSet(source);
    Cover c = before;
    ExpandStats stats;
    ExpandEachAlone(source, test, c, ExpandParams{}, stats);
    ASSERT_EQ(c.size(), before.size()) << seed;
    for (int k = 0; k < c.size(); ++k) {
      EXPECT_TRUE(c.alive[static_cast<std::size_t>(k)]) << seed;
      EXPECT_TRUE(c.in.get(k).contains(before.in.get(k))) << "seed " << seed << " term " << k;
      EXPECT_TRUE(before.out[static_cast<std::size_t>(k)].subsetOf(c.out[static_cast<std::size_t>(k)])) << seed;
      EXPECT_TRUE(prime(test, c, k)) << "seed " << seed << " term " << c.in.get(k).str();
    }
    EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, c)), "") << seed;
  }
}

// All terms expanded at once on one set of columns give what a cover of each term alone gives,
// drawn literal choices included (the same draws in the same order).
TEST(LoneExpand, AllAtOnceMatchesEachTermInACoverOfItsOwn) {
  for (std::uint32_t seed = 440; seed < 460; ++seed) {
    FunctionPtr f = seed % 2 ? test::randomFr(seed, 4 + static_cast<int>(seed % 5), 1 + static_cast<int>(seed % 3), 40)
                             : test::sampled(seed, 6 + static_cast<int>(seed % 70), 120, 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const OffSetTest test = OffSetTestOf(source.off);
    for (bool drawn : {false, true}) {
      Random together, apart;
      together.seedRandom(seed);
      apart.seedRandom(seed);
      ExpandParams p;
      p.random = drawn ? &together : nullptr;
      Cover all = onSet(source);
      ExpandStats stats;
      ExpandEachAlone(source, test, all, p, stats);
      p.random = drawn ? &apart : nullptr;
      Cover each = onSet(source);
      for (int k = 0; k < each.size(); ++k) {
        Cover one;
        one.in = CubeList(source.inputs);
        one.add(each.in.cube(k), each.out[static_cast<std::size_t>(k)]);
        Expand(source, test, one, p, stats);
        ASSERT_EQ(all.in.get(k).str(), one.in.get(0).str()) << "seed " << seed << " drawn " << drawn << " term " << k;
        EXPECT_TRUE(all.out[static_cast<std::size_t>(k)] == one.out[0]) << seed;
      }
    }
  }
}

TEST(LoneExpand, APassedDeadlineLeavesTheTermsAsTheyWere) {
  FunctionPtr f = test::randomFr(9, 6, 2, 30);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  const OffSetTest test = OffSetTestOf(source.off);
  const Cover before = onSet(source);
  Cover c = before;
  Deadline passed;
  passed.at = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  ExpandParams p;
  p.deadline = &passed;
  ExpandStats stats;
  ExpandEachAlone(source, test, c, p, stats);
  for (int k = 0; k < c.size(); ++k) EXPECT_EQ(c.in.get(k).str(), before.in.get(k).str());
}

// Two one-hot codes on, the other four off, every other point free: the steered expansion joins the
// two terms into --0000 (four literals), alone each becomes a one-literal prime.
const char* kOneHot = ".i 6\n.o 1\n.type fr\n100000 1\n010000 1\n001000 0\n000100 0\n000010 0\n000001 0\n.e\n";

TEST(LoneExpand, OneHotTermsGiveOneLiteralPrimesWhereTheSteeredExpansionJoinsThem) {
  FunctionPtr f = test::pla(kOneHot);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  const OffSetTest test = OffSetTestOf(source.off);
  Cover steered = onSet(source);
  ExpandStats stats;
  Expand(source, test, steered, ExpandParams{}, stats);
  steered.compact();
  ASSERT_EQ(steered.size(), 1);
  EXPECT_EQ(steered.in.get(0).str(), "--0000");
  Cover alone = onSet(source);
  ExpandEachAlone(source, test, alone, ExpandParams{}, stats);
  ASSERT_EQ(alone.size(), 2);
  EXPECT_EQ(alone.in.get(0).str(), "1-----");
  EXPECT_EQ(alone.in.get(1).str(), "-1----");
}

TEST(LoneExpand, TheRefinementTakesTheLonePrimesByLiteralsAndKeepsTheJoinedCubeByTerms) {
  FunctionPtr f = test::pla(kOneHot);
  FunctionPtr start = test::pla(".i 6\n.o 1\n100000 1\n010000 1\n.e\n");
  for (bool thorough : {false, true}) {
    RefineParams p;
    p.thorough = thorough;
    RefineStats stats;
    FunctionPtr byLiterals = Refine(*f, *start, nullptr, p, stats);
    ASSERT_TRUE(byLiterals);
    EXPECT_EQ(test::checkCover(*f, *byLiterals), "");
    computeStatistics(*byLiterals);
    EXPECT_EQ(byLiterals->terms, 2) << thorough;
    EXPECT_EQ(byLiterals->literals, 2) << thorough;
    p.criterion = 0;
    FunctionPtr byTerms = Refine(*f, *start, nullptr, p, stats);
    ASSERT_TRUE(byTerms);
    computeStatistics(*byTerms);
    EXPECT_EQ(byTerms->terms, 1) << thorough;
  }
}

}  // namespace
}  // namespace vorn
