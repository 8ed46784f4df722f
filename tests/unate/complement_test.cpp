// The complement against brute force over every minterm, on seeded random
// cube lists of up to 10 inputs (binate and unate), and its bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "unate/complement.h"
#include "unate/cube_list.h"
#include "unate/cube_text.h"

namespace vorn {
namespace {

using test::has;
using test::inUnion;
using test::listOf;

std::vector<std::string> textsOf(const CubeList& l) {
  std::vector<std::string> v;
  for (int k = 0; k < l.size(); ++k) v.push_back(l.get(k).str());
  return v;
}

/// Empty when the complement is exact: every minterm is in exactly one of the list and its complement.
std::string judge(int n, const std::vector<std::string>& f, const std::vector<std::string>& g) {
  for (std::uint32_t m = 0; m < (1u << n); ++m) {
    bool inF = false, inG = false;
    for (const std::string& c : f) inF = inF || has(c, m);
    for (const std::string& c : g) inG = inG || has(c, m);
    if (inF == inG) return "minterm " + std::to_string(m) + (inF ? " in both" : " in neither");
  }
  return "";
}

TEST(Complement, PlainCases) {
  ComplementParams p;
  ComplementStats st;
  CubeList out;
  ASSERT_TRUE(Complement(listOf(3, {}), out, p, st));
  EXPECT_EQ(textsOf(out), (std::vector<std::string>{"---"}));
  ASSERT_TRUE(Complement(listOf(3, {"1-0", "---"}), out, p, st));
  EXPECT_TRUE(out.empty());
  ASSERT_TRUE(Complement(listOf(3, {"1-0"}), out, p, st));
  EXPECT_EQ(textsOf(out), (std::vector<std::string>{"0--", "--1"}));
  // x0 + x0' is everything; x0 x1 + x0' x1 is x1.
  ASSERT_TRUE(Complement(listOf(2, {"1-", "0-"}), out, p, st));
  EXPECT_TRUE(out.empty());
  ASSERT_TRUE(Complement(listOf(2, {"11", "01"}), out, p, st));
  EXPECT_EQ(textsOf(out), (std::vector<std::string>{"-0"}));  // merged: no literal of x0
  // No inputs: the empty list complements to the one empty cube.
  ASSERT_TRUE(Complement(CubeList(0), out, p, st));
  EXPECT_EQ(out.size(), 1);
}

TEST(Complement, AgreesWithBruteForceOnRandomLists) {
  std::mt19937 rng(20261208);
  ComplementParams p;
  ComplementStats st;
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(rng() % 10);
    const int count = static_cast<int>(rng() % 24);
    const bool unate = round % 4 == 0;
    std::string polarity(n, '0');
    for (char& c : polarity) c = "01"[rng() % 2];
    const int literalPercent = 20 + static_cast<int>(rng() % 60);
    std::vector<std::string> f;
    for (int k = 0; k < count; ++k) {
      std::string c(n, '-');
      for (int q = 0; q < n; ++q)
        if (static_cast<int>(rng() % 100) < literalPercent) c[q] = unate ? polarity[q] : "01"[rng() % 2];
      f.push_back(c);
    }
    CubeList out;
    ASSERT_TRUE(Complement(listOf(n, f), out, p, st));
    EXPECT_EQ(judge(n, f, textsOf(out)), "") << "round " << round;
  }
  EXPECT_GT(st.merged, 0);
}

TEST(Complement, WideListsAcrossWordBoundaries) {
  // 130 inputs: x_k x_{k+65} for k < 5; its complement is the 2^5 products of (x_k' + x_{k+65}').
  const int n = 130;
  CubeList f(n);
  for (int k = 0; k < 5; ++k) {
    Cube c(n);
    c.set(k, '1');
    c.set(k + 65, '1');
    f.push(c);
  }
  ComplementParams p;
  ComplementStats st;
  CubeList out;
  ASSERT_TRUE(Complement(f, out, p, st));
  EXPECT_EQ(out.size(), 32);
  for (int k = 0; k < out.size(); ++k) {
    const Cube c = out.get(k);
    EXPECT_EQ(c.countLiterals(), 5);
    for (int j = 0; j < f.size(); ++j) EXPECT_FALSE(c.intersects(f.get(j)));
  }
}

TEST(Complement, GivesUpPastItsBounds) {
  const int n = 130;
  CubeList f(n);
  for (int k = 0; k < 65; ++k) {
    Cube c(n);
    c.set(k, '1');
    c.set(k + 65, '1');
    f.push(c);
  }
  ComplementStats st;
  CubeList out;
  EXPECT_FALSE(Complement(f, out, ComplementParams{}, st));  // 2^65 cubes
  ComplementParams tight;
  tight.maxCubes = 8;
  EXPECT_FALSE(Complement(listOf(4, {"11--", "--11", "1-1-"}), out, tight, st) &&
               out.size() > tight.maxCubes);
  tight.maxCubes = 3;
  EXPECT_FALSE(Complement(listOf(6, {"11----", "--11--", "----11"}), out, tight, st));  // 8 cubes
  ComplementParams shallow;
  shallow.maxDepth = 1;
  EXPECT_FALSE(Complement(listOf(6, {"11----", "--11--", "----11"}), out, shallow, st));
}

}  // namespace
}  // namespace vorn
