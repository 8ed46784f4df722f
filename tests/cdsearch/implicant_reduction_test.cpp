#include "cdsearch/implicant_reduction.h"

#include <gtest/gtest.h>

#include "cdsearch/cd_test_support.h"

namespace vorn {
namespace {

using test::cubes;
using test::pla;
using Cubes = std::vector<std::string>;

class ReductionTest : public ::testing::Test {
 protected:
  RunContext ctx;
  static std::vector<std::string> outputs(const TBoolFnct& r) {
    std::vector<std::string> v;
    forEachTerm(r, [&](const TPfnct& t) { v.push_back(t.output); });
    return v;
  }
};

// Off-set of output 1: 11- and -00; no single literal separates both, so the
// copy of --- is reduced once more, and only the second copy serves output 1.
// Seed 1 without mutation: four tied counts, draw mod 4 = 0 takes literal 0 at
// position 0; then two ties, draw mod 2 = 0 takes 1 at position 1.
TEST_F(ReductionTest, CopiesChainUntilTheyServeTheOutput) {
  auto f = pla(".i 3\n.o 2\n.type fr\n11- 10\n-00 10\n.e\n");
  buildLists(*f);
  for (int ratio : {0, 50, 100})
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
      ctx.settings.irMutationRatio = ratio;
      ctx.random.seedRandom(seed);
      auto r = derive(*f);
      appendTerm(*r, "---", "10", 3);
      ReduceImplicants(*r, ctx);
      ASSERT_EQ(r->termCount, 3) << ratio << " " << seed;
      EXPECT_EQ(outputs(*r), (Cubes{"10", "10", "11"}));
      const Cubes c = cubes(*r);
      EXPECT_TRUE(test::textContains(c[0], c[1]) && test::textContains(c[1], c[2]));
      EXPECT_EQ(r->tail->freeCount, 1);
      EXPECT_TRUE(test::oracleImplicant(*f, c[2], 1)) << c[2];
      EXPECT_TRUE(test::oracleImplicant(*f, c[2], 0));
    }
  ctx.settings.irMutationRatio = 0;
  ctx.random.seedRandom(1);
  auto r = derive(*f);
  appendTerm(*r, "---", "10", 3);
  ReduceImplicants(*r, ctx);
  EXPECT_EQ(cubes(*r), (Cubes{"---", "0--", "01-"}));
}

// Counts only at (1, position 0) and (0, position 1).  Seed 3 with -RM 100
// draws p = 2, v = 0: the scan runs to the end of row 0, returns to position
// 0 still in row 0 and stops at (0, 1); switching rows at the first return
// would have taken (1, 0).  The copy -0- still meets 0--, so a second copy
// (literal 1 at position 0) follows.
TEST_F(ReductionTest, MutationScanFinishesItsRowBeforeSwitching) {
  auto f = pla(".i 3\n.o 2\n.type fr\n-1- ~0\n0-- ~0\n.e\n");
  buildLists(*f);
  ctx.settings.irMutationRatio = 100;
  ctx.random.seedRandom(3);
  auto r = derive(*f);
  appendTerm(*r, "---", "10", 3);
  ReduceImplicants(*r, ctx);
  EXPECT_EQ(cubes(*r), (Cubes{"---", "-0-", "10-"}));
  EXPECT_EQ(outputs(*r), (Cubes{"10", "10", "11"}));
}

TEST_F(ReductionTest, NoCopyWhenNothingCanBeSeparated) {
  auto f = pla(".i 3\n.o 2\n.type fr\n0-- 10\n1-- 01\n.e\n");
  buildLists(*f);
  auto r = derive(*f);
  appendTerm(*r, "0--", "10", 2);  // meets 0-- (off for 1), which is '-' at every free position
  appendTerm(*r, "011", "10", 0);  // no free position
  appendTerm(*r, "-1-", "11", 2);  // serves every output already (as far as its part says)
  ReduceImplicants(*r, ctx);
  EXPECT_EQ(r->termCount, 3);
}

TEST_F(ReductionTest, FdFunctionHasNoOffSetToReduceAgainst) {
  auto f = pla(".i 3\n.o 2\n.type fd\n11- 10\n-00 1-\n.e\n");
  buildLists(*f);
  auto r = derive(*f);
  appendTerm(*r, "---", "10", 3);
  ReduceImplicants(*r, ctx);
  EXPECT_EQ(r->termCount, 1);
}

TEST_F(ReductionTest, ProgressReportsEveryExaminedTermAndStopsOnRequest) {
  auto f = pla(".i 3\n.o 2\n.type fr\n11- 10\n-00 10\n.e\n");
  buildLists(*f);
  std::string begun;
  int steps = 0;
  ctx.progress.begin = [&](const std::string& m, int, int) {
    begun = m;
    return 0;
  };
  ctx.progress.step = [&](int, int) { return ++steps == 1 ? 2 : 0; };
  auto r = derive(*f);
  appendTerm(*r, "---", "10", 3);
  ReduceImplicants(*r, ctx);
  EXPECT_EQ(begun, "IR");
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(r->termCount, 2);  // the first copy was made before the stop
}

}  // namespace
}  // namespace vorn
