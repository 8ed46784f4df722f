// The recursive pair search against the walk over all pairs: seeded random
// cube lists of every density, with predicates that accept few or many
// pairs, must give the very pair the walk finds first.
#include "modes/intersecting_pairs.h"

#include <gtest/gtest.h>

#include <random>

namespace vorn {
namespace {

std::optional<std::pair<int, int>> walk(const std::vector<Cube>& cubes, const std::function<bool(int, int)>& q) {
  for (int a = 0; a < static_cast<int>(cubes.size()); ++a)
    for (int b = a + 1; b < static_cast<int>(cubes.size()); ++b)
      if (cubes[a].intersects(cubes[b]) && q(a, b)) return std::make_pair(a, b);
  return std::nullopt;
}

std::vector<const Cube*> pointers(const std::vector<Cube>& cubes) {
  std::vector<const Cube*> v;
  for (const Cube& c : cubes) v.push_back(&c);
  return v;
}

std::vector<Cube> randomCubes(std::mt19937& rng, int count, int inputs, int dashPercent) {
  std::vector<Cube> cubes;
  for (int i = 0; i < count; ++i) {
    std::string s;
    for (int p = 0; p < inputs; ++p)
      s += static_cast<int>(rng() % 100) < dashPercent ? '-' : (rng() % 2 ? '1' : '0');
    cubes.emplace_back(s);
  }
  return cubes;
}

TEST(IntersectingPairs, SameFirstPairAsTheWalkOverAllPairs) {
  std::mt19937 rng(11);
  int found = 0, none = 0;
  for (int round = 0; round < 400; ++round) {
    const int inputs = round % 9 == 0 ? 0 : 1 + static_cast<int>(rng() % (round % 4 == 0 ? 140 : 12));
    const int count = static_cast<int>(rng() % 120);
    const int dashes = static_cast<int>(rng() % 95);
    std::vector<Cube> cubes = randomCubes(rng, count, inputs, dashes);
    if (count > 3 && round % 5 == 0) cubes[count - 1] = cubes[1];  // a repeated cube
    const unsigned salt = rng();
    const int rarity = 1 + static_cast<int>(rng() % 60);
    const auto q = [&](int a, int b) { return (static_cast<unsigned>(a * 7919 + b * 104729) ^ salt) % rarity == 0; };
    SCOPED_TRACE(testing::Message() << "round " << round << " inputs " << inputs << " count " << count);
    const auto expected = walk(cubes, q);
    EXPECT_EQ(firstIntersectingPair(pointers(cubes), q), expected);
    found += expected.has_value();
    none += !expected;
  }
  EXPECT_GT(found, 100);
  EXPECT_GT(none, 50);
}

TEST(IntersectingPairs, MintermListsGiveTheWalksFirstPairAcrossWordBoundaries) {
  // Minterms meet only when equal; drawing them from a small pool makes
  // classes of equal minterms of every size, hash collisions aside.
  std::mt19937 rng(23);
  int found = 0;
  for (int round = 0; round < 300; ++round) {
    const int inputs = 1 + static_cast<int>(rng() % 140);
    const std::vector<Cube> pool = randomCubes(rng, 1 + static_cast<int>(rng() % 30), inputs, 0);
    std::vector<Cube> cubes;
    for (int k = static_cast<int>(rng() % 90); k > 0; --k) cubes.push_back(pool[rng() % pool.size()]);
    const unsigned salt = rng();
    const int rarity = 1 + static_cast<int>(rng() % 40);
    const auto q = [&](int a, int b) { return (static_cast<unsigned>(a * 7919 + b * 104729) ^ salt) % rarity == 0; };
    SCOPED_TRACE(testing::Message() << "round " << round << " inputs " << inputs << " count " << cubes.size());
    const auto expected = walk(cubes, q);
    EXPECT_EQ(firstIntersectingPair(pointers(cubes), q), expected);
    found += expected.has_value();
  }
  EXPECT_GT(found, 100);
}

TEST(IntersectingPairs, DisjointCubesAreNeverOfferedAndSplittingSavesWork) {
  // 2,000 distinct minterms over 16 inputs: no pair intersects.
  std::vector<Cube> cubes;
  for (int m = 0; m < 2000; ++m) {
    std::string s;
    for (int p = 15; p >= 0; --p) s += (m * 31 >> p) & 1 ? '1' : '0';
    cubes.emplace_back(s);
  }
  PairSearchStats stats;
  bool offered = false;
  EXPECT_FALSE(firstIntersectingPair(pointers(cubes), [&](int, int) { return offered = true; }, &stats));
  EXPECT_FALSE(offered);
  EXPECT_LT(stats.parts, 2000);
  // Cubes that all meet: every pair is a candidate, and the first is (0, 1).
  const std::vector<Cube> meeting(50, Cube(8));
  EXPECT_EQ(firstIntersectingPair(pointers(meeting), [](int, int) { return true; }), std::make_pair(0, 1));
  EXPECT_EQ(firstIntersectingPair(pointers(meeting), [](int a, int b) { return a == 7 && b == 40; }),
            std::make_pair(7, 40));
  EXPECT_FALSE(firstIntersectingPair({}, [](int, int) { return true; }));
}

}  // namespace
}  // namespace vorn
