// The cover built top-down, cube by cube, on sampled functions: a valid cover
// of primes (checked against the function's own terms), the planted cube found
// again, the same cover from the same draws, and nothing where it does not
// apply or the time is up.
#include <gtest/gtest.h>

#include <string>

#include "model/random.h"
#include "refine/cover_function.h"
#include "refine/refine.h"
#include "refine/top_down_cover.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::sampled;

std::string text(const Cover& c) {
  std::string s;
  for (int k = 0; k < c.size(); ++k) {
    s += c.in.get(k).str() + " ";
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { s += std::to_string(j) + ","; });
    s += "\n";
  }
  return s;
}

/// True when no literal of term k can go without the cube meeting an off-set term of its outputs.
bool prime(const RefineSource& source, const Cover& c, int k) {
  const OffSetTest test = OffSetTestOf(source.off);
  std::vector<Word> cube(c.in.cube(k), c.in.cube(k) + c.in.stride());
  bool isPrime = true;
  forEachLiteral(c.in.cube(k), c.in.words(), [&](int i) {
    std::vector<Word> wider = cube;
    freePosition(wider.data(), c.in.words(), i);
    bool fits = true;
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { fits = fits && test.allowed(wider.data(), j); });
    if (fits) isPrime = false;
  });
  return isPrime;
}

TEST(TopDownCover, GivesValidCoversOfPrimesAcrossWordBoundaries) {
  const int sizes[] = {1, 6, 20, 63, 64, 65, 100, 130};
  for (int round = 0; round < 24; ++round) {
    const int n = sizes[round % 8];
    const int outputs = 1 + round % 3;
    FunctionPtr f = sampled(900 + static_cast<std::uint32_t>(round), n, 200, outputs);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(TopDownApplies(source));
    Random random;
    random.seedRandom(static_cast<std::uint32_t>(round));
    for (int beam : {1, 8}) {
      const std::string where = "n " + std::to_string(n) + " round " + std::to_string(round) + " beam " + std::to_string(beam);
      Cover c;
      ASSERT_TRUE(TopDownCover(source, beam, round % 2 ? &random : nullptr, nullptr, c)) << where;
      EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, c)), "") << where;
      for (int k = 0; k < c.size(); ++k) EXPECT_TRUE(prime(source, c, k)) << where << " term " << k;
    }
  }
}

TEST(TopDownCover, FindsThePlantedCube) {
  // One cube of three literals over 24 inputs, seen on 600 random minterms: no cube of fewer
  // literals avoids the off-set, and every other cube holding its minterms is larger.
  std::mt19937 rng(5);
  const std::string planted = "----1-------0-------1---";
  std::string pla = ".i 24\n.o 1\n.type fr\n";
  for (int s = 0; s < 600; ++s) {
    const std::string m = test::randomCube(rng, 24, 100);
    pla += m + (test::cubeHolds(planted, m) ? " 1\n" : " 0\n");
  }
  FunctionPtr f = test::pla(pla + ".e\n");
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  for (int beam : {1, 4}) {
    Cover c;
    ASSERT_TRUE(TopDownCover(source, beam, nullptr, nullptr, c));
    EXPECT_EQ(text(c), planted + " 0,\n") << "beam " << beam;
  }
}

TEST(TopDownCover, TheSameDrawsGiveTheSameCover) {
  FunctionPtr f = sampled(31, 40, 300, 2);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  Random a, b;
  a.seedRandom(7);
  b.seedRandom(7);
  Cover ca, cb;
  ASSERT_TRUE(TopDownCover(source, 4, &a, nullptr, ca));
  ASSERT_TRUE(TopDownCover(source, 4, &b, nullptr, cb));
  EXPECT_EQ(text(ca), text(cb));
  EXPECT_EQ(a.nextRandom(), b.nextRandom());
}

TEST(TopDownCover, NothingWhereItDoesNotApplyOrTheTimeIsUp) {
  // An on-set term with a free input is no minterm.
  FunctionPtr g = test::pla(".i 3\n.o 1\n.type fr\n0-1 1\n111 0\n");
  buildLists(*g);
  const RefineSource cubes = MakeSource(*g);
  EXPECT_FALSE(TopDownApplies(cubes));
  Cover kept;
  kept.in = CubeList(3);
  EXPECT_FALSE(TopDownCover(cubes, 4, nullptr, nullptr, kept));
  EXPECT_EQ(kept.size(), 0);

  FunctionPtr f = sampled(41, 30, 200, 1);
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  Deadline over;
  over.at = Deadline::Clock::now() - std::chrono::seconds(1);
  Cover c;
  c.in = CubeList(30);
  EXPECT_FALSE(TopDownCover(source, 4, nullptr, &over, c));
  EXPECT_EQ(c.size(), 0);
}

TEST(TopDownCover, RefinementFromItStaysValidAndNeverCostsMore) {
  for (std::uint32_t seed : {51u, 52u, 53u}) {
    FunctionPtr f = sampled(seed, 48, 400, 1 + seed % 2);
    buildLists(*f);
    // The on-set minterms themselves: a valid but poor cover to start from.
    FunctionPtr start = derive(*f);
    start->type = kTypeFd;
    forEachTerm(*f, [&](const TPfnct& t) {
      std::string out;
      for (int j = 0; j < f->outputCount; ++j) out += outputAt(t, j) == '1' ? '1' : '0';
      if (out.find('1') != std::string::npos) appendTerm(*start, t.input, out, 0);
    });
    RefineParams plain, topDown;
    topDown.topDownBeam = 8;
    RefineStats sp, st;
    FunctionPtr a = Refine(*f, *start, nullptr, plain, sp);
    FunctionPtr b = Refine(*f, *start, nullptr, topDown, st);
    ASSERT_TRUE(a && b) << "seed " << seed;
    EXPECT_EQ(test::checkCover(*f, *b), "") << "seed " << seed;
    EXPECT_LE(st.endCost, sp.endCost) << "seed " << seed;
  }
}

}  // namespace
}  // namespace vorn
