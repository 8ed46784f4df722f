// The fr and fd forms of sources of every type: their truth tables against
// the source's own reading, and minimized results checked by the independent
// cover checker and a minterm-by-minterm truth table.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "driver/minimize.h"
#include "forms/fr_form.h"
#include "model/pla.h"
#include "model/settings.h"
#include "modes/minterm_oracle.h"
#include "support/oracle.h"

namespace vorn {
namespace {

const char* const kTypes[] = {"fd", "f", "fdr", "r"};

/// A random source of the given type: cubes with random output characters.  An fdr source is a
/// consistent random fr function with some '~' made '-'.
FunctionPtr randomSource(std::mt19937& rng, const std::string& type, int n, int m) {
  std::string text = ".i " + std::to_string(n) + "\n.o " + std::to_string(m) + "\n.type " + type + "\n";
  if (type == "fdr") {
    FunctionPtr fr = test::randomFr(static_cast<std::uint32_t>(rng()), n, m);
    forEachTerm(*fr, [&](const TPfnct& t) {
      std::string out = t.output;
      for (char& c : out)
        if (c == '~' && rng() % 2) c = '-';
      text += t.input.str() + " " + out + "\n";
    });
    return test::pla(text);
  }
  const int terms = 1 + static_cast<int>(rng() % 12);
  const std::string chars = type == "r" ? "0~~" : "1-0~";
  for (int k = 0; k < terms; ++k) {
    std::string in(static_cast<std::size_t>(n), '-'), out(static_cast<std::size_t>(m), '~');
    for (char& c : in) c = "01--"[rng() % 4];
    for (char& c : out) c = chars[rng() % chars.size()];
    text += in + " " + out + "\n";
  }
  return test::pla(text);
}

/// Per minterm and output: '1', '0' or '-' by the type's reading of f (on before off before don't-care).
std::string valueOf(const TBoolFnct& f, std::uint64_t mt) {
  const int t = f.type;
  const char rest = t == kTypeFd || t == kTypeF ? '0' : t == kTypeR ? '1' : '-';
  std::vector<int> on(static_cast<std::size_t>(f.outputCount), 0), off = on, dc = on;
  forEachTerm(f, [&](const TPfnct& term) {
    if (!test::cubeHasMinterm(term.input.str(), mt)) return;
    for (int j = 0; j < f.outputCount; ++j) {
      const char c = outputAt(term, j);
      on[static_cast<std::size_t>(j)] |= c == '1' && typeHasOn(t);
      off[static_cast<std::size_t>(j)] |= c == '0' && typeHasOff(t);
      dc[static_cast<std::size_t>(j)] |= c == '-' && typeHasDc(t);
    }
  });
  std::string v;
  for (std::size_t j = 0; j < on.size(); ++j) v += on[j] ? '1' : off[j] ? '0' : dc[j] ? '-' : rest;
  return v;
}

/// Empty when the result covers every on-set minterm of f and no off-set one.
std::string truthFault(const TBoolFnct& f, const TBoolFnct& result) {
  for (std::uint64_t mt = 0; mt < (std::uint64_t{1} << f.inputCount); ++mt) {
    const std::string v = valueOf(f, mt);
    for (int j = 0; j < f.outputCount; ++j) {
      bool covered = false;
      forEachTerm(result, [&](const TPfnct& t) {
        covered = covered || (outputAt(t, j) == '1' && test::cubeHasMinterm(t.input.str(), mt));
      });
      if (v[static_cast<std::size_t>(j)] == '1' && !covered) return "minterm " + std::to_string(mt) + " uncovered";
      if (v[static_cast<std::size_t>(j)] == '0' && covered) return "minterm " + std::to_string(mt) + " off but covered";
    }
  }
  return "";
}

class FrFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.stopOnIterations = 1;
    settings.iterationLimit = 3;
  }
  Settings settings;
};

TEST_F(FrFormTest, FrFormReadsLikeTheSource) {
  std::mt19937 rng(77);
  for (int round = 0; round < 80; ++round) {
    const std::string type = kTypes[round % 4];
    const int n = 1 + static_cast<int>(rng() % 8), m = 1 + static_cast<int>(rng() % 3);
    FunctionPtr f = randomSource(rng, type, n, m);
    FrFormStats st;
    FunctionPtr g = MakeFrForm(*f, FrFormParams{}, st);
    ASSERT_TRUE(g) << type;
    EXPECT_TRUE(st.complete);
    EXPECT_EQ(g->type, kTypeFr);
    for (std::uint64_t mt = 0; mt < (std::uint64_t{1} << n); ++mt) {
      ASSERT_EQ(valueOf(*g, mt), valueOf(*f, mt)) << type << " round " << round << " minterm " << mt;
    }
  }
}

TEST_F(FrFormTest, EqualComputedCubesShareOneTerm) {
  // Both outputs have the on-set x0, so their off-sets are the one cube 0-.
  FunctionPtr f = test::pla(".i 2\n.o 2\n.type f\n1- 11\n");
  FrFormStats st;
  FunctionPtr g = MakeFrForm(*f, FrFormParams{}, st);
  EXPECT_EQ(test::termTexts(*g), (std::vector<std::string>{"1-/11", "0-/00"}));
  EXPECT_EQ(st.computedCubes, 2);
  // r: the on-set is computed, the given off-set terms follow.
  FunctionPtr r = test::pla(".i 2\n.o 1\n.type r\n11 0\n");
  EXPECT_EQ(test::termTexts(*MakeFrForm(*r, FrFormParams{}, st)),
            (std::vector<std::string>{"0-/1", "-0/1", "11/0"}));
}

TEST_F(FrFormTest, BoundsGiveNoFrForm) {
  FunctionPtr f = test::pla(".i 6\n.o 1\n.type fd\n11---- 1\n--11-- 1\n----11 1\n");
  FrFormParams tight;
  tight.complement.maxCubes = 4;  // the off-set has 8 cubes
  FrFormStats st;
  EXPECT_FALSE(MakeFrForm(*f, tight, st));
  EXPECT_FALSE(st.complete);
  tight = FrFormParams{};
  tight.maxCubes = 7;
  EXPECT_FALSE(MakeFrForm(*f, tight, st));
  FunctionPtr fd = MakeFdForm(*f);
  EXPECT_EQ(fd->type, kTypeFd);
  EXPECT_EQ(fd->termCount, 3);
}

TEST_F(FrFormTest, MinimizedFormsAreValidCoversOfTheSource) {
  std::mt19937 rng(4242);
  for (int round = 0; round < 48; ++round) {
    const std::string type = kTypes[round % 4];
    const int n = 2 + static_cast<int>(rng() % 6), m = 1 + static_cast<int>(rng() % 3);
    FunctionPtr f = randomSource(rng, type, n, m);
    FrFormStats st;
    FunctionPtr g = MakeFrForm(*f, FrFormParams{}, st);
    ASSERT_TRUE(g);
    FunctionPtr result = minimize(*g, settings, 100 + round);
    ASSERT_TRUE(result);
    EXPECT_EQ(test::checkCover(*f, *result), "") << type << " round " << round;
    EXPECT_EQ(truthFault(*f, *result), "") << type << " round " << round;
  }
}

TEST_F(FrFormTest, MinimizedFdFormsAreValidCoversOfTheSource) {
  std::mt19937 rng(99);
  for (int round = 0; round < 40; ++round) {
    const std::string type = round % 2 ? "fd" : "f";
    const int n = 2 + static_cast<int>(rng() % 6), m = 1 + static_cast<int>(rng() % 3);
    FunctionPtr f = randomSource(rng, type, n, m);
    FunctionPtr g = MakeFdForm(*f);
    settings.fcMinRatio = round % 3 == 0 ? 100 : 0;
    settings.refine = round % 4 < 2;
    settings.singleOutput = round % 5 == 0;
    FunctionPtr result = minimize(*g, settings, 300 + round);
    ASSERT_TRUE(result);
    EXPECT_EQ(test::checkCover(*f, *result), "") << type << " round " << round;
    EXPECT_EQ(truthFault(*f, *result), "") << type << " round " << round << "\n" << formatPla(*f) << formatPla(*result);
  }
}

}  // namespace
}  // namespace vorn
