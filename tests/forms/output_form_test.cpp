// The cover in the types other tools expect: minterm by minterm, each type
// must say of the cover what its letters mean.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "forms/output_form.h"
#include "support/oracle.h"

using namespace vorn;

namespace {

/// The output characters of the terms that contain minterm m at output j.
std::set<char> charsAt(const TBoolFnct& f, std::uint64_t m, int j) {
  std::set<char> s;
  forEachTerm(f, [&](const TPfnct& t) {
    if (test::cubeHasMinterm(t.input.str(), m)) s.insert(outputAt(t, j));
  });
  return s;
}

}  // namespace

TEST(OutputForm, EachTypeSaysWhatTheCoverIs) {
  // An fd source: on-set 11-, don't-care 10-, so the cover 1-- is valid.
  auto source = test::pla(".i 3\n.o 2\n11- 1~\n10- -~\n0-1 ~1\n");
  auto cover = test::pla(".i 3\n.o 2\n1-- 10\n0-1 01\n");
  for (int type : {kTypeF, kTypeFd, kTypeFr, kTypeFdr}) {
    const FunctionPtr g = MakeOutputForm(*cover, *source, type);
    ASSERT_TRUE(g) << typeName(type);
    EXPECT_EQ(g->type, type);
    for (std::uint64_t m = 0; m < 8; ++m)
      for (int j = 0; j < 2; ++j) {
        const std::set<char> got = charsAt(*g, m, j), in = charsAt(*cover, m, j);
        const bool covered = in.count('1') > 0;
        EXPECT_EQ(got.count('1') > 0, covered) << typeName(type) << " minterm " << m << " output " << j;
        if (type == kTypeF || type == kTypeFd) {
          EXPECT_EQ(got.count('~'), 0u) << "f and fd write '0' where a term feeds no output";
        }
        if (type == kTypeFr) {
          EXPECT_EQ(got.count('0') > 0, !covered) << "fr: the off-set is the rest";
        }
        if (type == kTypeFdr) {
          // The source's don't-care set is written; the off-set is what cover and don't-care set leave.
          const bool dc = charsAt(*source, m, j).count('-') > 0;
          EXPECT_EQ(got.count('-') > 0, dc) << m << " " << j;
          EXPECT_EQ(got.count('0') > 0, !covered && !dc) << m << " " << j;
        }
      }
  }
}

TEST(OutputForm, TheOffSetOfAnFrSourceIsItsOwnAndWhatItLeavesOpenIsWrittenAsDontCares) {
  auto source = test::pla(".i 2\n.o 1\n.type fr\n11 1\n00 0\n");
  auto cover = test::pla(".i 2\n.o 1\n1- 1\n");
  const FunctionPtr g = MakeOutputForm(*cover, *source, kTypeFdr);
  ASSERT_TRUE(g);
  std::vector<std::string> terms;
  forEachTerm(*g, [&](const TPfnct& t) { terms.push_back(t.input.str() + " " + t.output); });
  EXPECT_EQ(terms, (std::vector<std::string>{"1- 1", "00 0", "01 -"}));
}

TEST(OutputForm, AnFdrResultOfAnFrSourceNamesEveryMintermOnce) {
  // Two outputs whose on- and off-sets leave different minterms open.
  auto source = test::pla(".i 3\n.o 2\n.type fr\n11- 1~\n000 0~\n0-1 ~1\n1-0 ~0\n");
  auto cover = test::pla(".i 3\n.o 2\n1-1 10\n11- 10\n--1 01\n");
  const FunctionPtr g = MakeOutputForm(*cover, *source, kTypeFdr);
  ASSERT_TRUE(g);
  for (std::uint64_t m = 0; m < 8; ++m)
    for (int j = 0; j < 2; ++j) {
      const std::set<char> got = charsAt(*g, m, j);
      const int kinds = int(got.count('1')) + int(got.count('0')) + int(got.count('-'));
      EXPECT_EQ(kinds, 1) << "minterm " << m << " output " << j;
      EXPECT_EQ(got.count('1') > 0, charsAt(*cover, m, j).count('1') > 0) << m << " " << j;
      EXPECT_EQ(got.count('0') > 0, charsAt(*source, m, j).count('0') > 0) << m << " " << j;
    }
}

TEST(OutputForm, AComplementPastItsBoundsGivesNone) {
  auto source = test::pla(".i 8\n.o 1\n1------- 1\n-1------ 1\n--1----- 1\n---1---- 1\n");
  auto cover = test::pla(".i 8\n.o 1\n1------- 1\n-1------ 1\n--1----- 1\n---1---- 1\n");
  FrFormParams tight;
  tight.maxCubes = 0;
  EXPECT_FALSE(MakeOutputForm(*cover, *source, kTypeFr, tight));
  EXPECT_TRUE(MakeOutputForm(*cover, *source, kTypeFd, tight));  // f and fd need no complement
}
