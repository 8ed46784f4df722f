// Tautology, containment and the uncovered supercube against brute force over
// every minterm, on seeded random cube lists of up to 10 inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "unate/cofactor.h"
#include "unate/containment.h"
#include "unate/cube_list.h"
#include "unate/cube_text.h"
#include "unate/tautology.h"
#include "unate/uncovered_supercube.h"

namespace vorn {
namespace {

using test::has;
using test::inUnion;
using test::listOf;

/// A random cube: each position a literal with the given odds (percent), its value at random;
/// a unate list takes every literal of position p with the value polarity[p].
std::string randomCube(std::mt19937& rng, int n, int literalPercent, const std::string* polarity = nullptr) {
  std::string c(n, '-');
  for (int p = 0; p < n; ++p)
    if (static_cast<int>(rng() % 100) < literalPercent) c[p] = polarity ? (*polarity)[p] : "01"[rng() % 2];
  return c;
}

bool bruteTautology(int n, const std::vector<std::string>& cubes) {
  for (std::uint32_t m = 0; m < (1u << n); ++m)
    if (!inUnion(cubes, m)) return false;
  return true;
}

TEST(Tautology, SmallCasesByHand) {
  EXPECT_FALSE(Tautology(listOf(3, {})));
  EXPECT_TRUE(Tautology(listOf(3, {"---"})));
  EXPECT_TRUE(Tautology(listOf(3, {"1--", "0--"})));
  EXPECT_FALSE(Tautology(listOf(3, {"1--", "01-"})));
  EXPECT_TRUE(Tautology(listOf(3, {"1--", "01-", "00-"})));
  // Unate everywhere but no universal cube.
  EXPECT_FALSE(Tautology(listOf(3, {"1--", "-1-", "--1"})));
  // Binate in every variable; 010 is the one minterm the first five miss.
  EXPECT_FALSE(Tautology(listOf(3, {"11-", "0-1", "-00", "1-0", "-01"})));
  EXPECT_TRUE(Tautology(listOf(3, {"11-", "0-1", "-00", "1-0", "-01", "01-"})));
  // No inputs: a list is a tautology when it holds a cube.
  EXPECT_TRUE(Tautology(listOf(0, {""})));
  EXPECT_FALSE(Tautology(listOf(0, {})));
}

TEST(Tautology, AgreesWithBruteForceOnRandomBinateAndUnateLists) {
  std::mt19937 rng(20261208);
  int tautologies = 0, cases = 0;
  for (int round = 0; round < 3000; ++round) {
    const int n = 1 + static_cast<int>(rng() % 10);
    const int count = static_cast<int>(rng() % 24);
    const bool unate = round % 4 == 0;
    std::string polarity = randomCube(rng, n, 100);
    std::vector<std::string> cubes;
    for (int k = 0; k < count; ++k) cubes.push_back(randomCube(rng, n, 10 + static_cast<int>(rng() % 60), unate ? &polarity : nullptr));
    const bool expected = bruteTautology(n, cubes);
    ASSERT_EQ(Tautology(listOf(n, cubes)), expected) << "round " << round;
    tautologies += expected;
    ++cases;
  }
  // The generator must exercise both answers.
  EXPECT_GT(tautologies, cases / 20);
  EXPECT_LT(tautologies, cases - cases / 20);
}

TEST(Tautology, WideListsAcrossWordBoundaries) {
  // 130 inputs: the two halves x129 and x129' plus noise cubes elsewhere.
  std::string a(130, '-'), b(130, '-'), c(130, '-');
  a[129] = '1';
  b[129] = '0';
  b[3] = '1';
  c[129] = '0';
  c[3] = '0';
  c[70] = '1';
  EXPECT_FALSE(Tautology(listOf(130, {a, b, c})));
  c[70] = '-';
  EXPECT_TRUE(Tautology(listOf(130, {a, b, c})));
}

TEST(Tautology, DeepSplitsDoNotUseTheCallStack) {
  // The cubes x0 ... x(k-1) x_k' for every k, and x0..x(n-1): a chain that
  // needs a split per variable.  It is a tautology.
  const int n = 1200;
  CubeList l(n);
  for (int k = 0; k <= n; ++k) {
    std::string c(n, '-');
    for (int p = 0; p < k && p < n; ++p) c[p] = '1';
    if (k < n) c[k] = '0';
    l.push(Cube(c));
  }
  EXPECT_TRUE(Tautology(l));
}

TEST(Containment, OneCubeInsideAUnionOfThree) {
  // 11- lies in 1-0 + -11 only together with a third cube covering 111/110.
  const CubeList three = listOf(3, {"1-0", "-11", "000"});
  EXPECT_TRUE(CubeCovered(Cube("11-"), three));
  EXPECT_FALSE(CubeCovered(Cube("1--"), three));  // 101 is missing
  EXPECT_TRUE(CubeCovered(Cube("110"), three));
  EXPECT_FALSE(CubeCovered(Cube("0-0"), three));  // 010 is missing
}

TEST(Containment, AgreesWithBruteForceOnRandomCubes) {
  std::mt19937 rng(7);
  int yes = 0;
  for (int round = 0; round < 3000; ++round) {
    const int n = 1 + static_cast<int>(rng() % 10);
    const int count = static_cast<int>(rng() % 16);
    std::vector<std::string> cubes;
    for (int k = 0; k < count; ++k) cubes.push_back(randomCube(rng, n, 20 + static_cast<int>(rng() % 50)));
    const std::string c = randomCube(rng, n, 30 + static_cast<int>(rng() % 60));
    bool expected = true;
    for (std::uint32_t m = 0; m < (1u << n) && expected; ++m)
      if (has(c, m) && !inUnion(cubes, m)) expected = false;
    ASSERT_EQ(CubeCovered(Cube(c), listOf(n, cubes)), expected) << "round " << round << " cube " << c;
    yes += expected;
  }
  EXPECT_GT(yes, 150);
  EXPECT_LT(yes, 2850);
}

TEST(Cofactor, KeepsMeetingCubesAndFreesTheLiteralPositions) {
  const CubeList l = listOf(4, {"1-0-", "0---", "11-1"});
  const CubeList c = Cofactor(l, Cube("1--1"));
  ASSERT_EQ(c.size(), 2);
  EXPECT_EQ(c.get(0).str(), "--0-");
  EXPECT_EQ(c.get(1).str(), "-1--");
}

TEST(UncoveredSupercube, AgreesWithBruteForce) {
  std::mt19937 rng(99);
  int empty = 0;
  for (int round = 0; round < 2000; ++round) {
    const int n = 1 + static_cast<int>(rng() % 10);
    const int count = static_cast<int>(rng() % 12);
    std::vector<std::string> cubes;
    for (int k = 0; k < count; ++k) cubes.push_back(randomCube(rng, n, 20 + static_cast<int>(rng() % 50)));
    const std::string c = randomCube(rng, n, static_cast<int>(rng() % 70));
    // Brute-force supercube of the uncovered minterms of c.
    std::string expected;
    for (std::uint32_t m = 0; m < (1u << n); ++m) {
      if (!has(c, m) || inUnion(cubes, m)) continue;
      std::string point(n, '0');
      for (int p = 0; p < n; ++p) point[p] = (m >> p) & 1 ? '1' : '0';
      if (expected.empty()) {
        expected = point;
      } else {
        for (int p = 0; p < n; ++p)
          if (expected[p] != point[p]) expected[p] = '-';
      }
    }
    Cube got;
    const bool any = UncoveredSupercube(Cube(c), listOf(n, cubes), got);
    ASSERT_EQ(any, !expected.empty()) << "round " << round;
    if (any) {
      ASSERT_EQ(got.str(), expected) << "round " << round << " cube " << c;
    }
    empty += !any;
  }
  EXPECT_GT(empty, 100);
}

TEST(UncoveredSupercube, BoundsWidenTheResultButKeepItInsideTheCube) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    const int n = 10;
    std::vector<std::string> cubes;
    for (int k = 0; k < 20; ++k) cubes.push_back(randomCube(rng, n, 40));
    const std::string c = randomCube(rng, n, 20);
    Cube exact, bounded;
    UncoveredParams tight;
    tight.maxDepth = 1;
    tight.maxSplits = 1;
    const bool any = UncoveredSupercube(Cube(c), listOf(n, cubes), exact);
    const bool anyBounded = UncoveredSupercube(Cube(c), listOf(n, cubes), bounded, tight);
    if (any) {
      ASSERT_TRUE(anyBounded);
      EXPECT_TRUE(bounded.contains(exact)) << bounded.str() << " " << exact.str();
    }
    if (anyBounded) {
      EXPECT_TRUE(Cube(c).contains(bounded));
    }
  }
}

}  // namespace
}  // namespace vorn
