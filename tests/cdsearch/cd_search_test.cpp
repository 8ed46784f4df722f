#include "cdsearch/cd_search.h"

#include <gtest/gtest.h>

#include "cdsearch/cd_test_support.h"

namespace vorn {
namespace {

using test::cubes;
using test::pla;
using test::RunScope;

class CdSearchTest : public ::testing::Test {
 protected:
  RunContext ctx;
};

TEST_F(CdSearchTest, OutputWithoutOnSetBuildsNothing) {
  auto f = pla(".i 2\n.o 2\n.type fr\n11 10\n00 00\n.e\n");
  RunScope run(*f, ctx);
  std::vector<std::string> log;
  ctx.progress.begin = [&](const std::string& m, int total, int kind) {
    log.push_back("begin " + m + " " + std::to_string(total) + " " + std::to_string(kind));
    return 0;
  };
  ctx.progress.step = [&](int i, int) {
    log.push_back("step " + std::to_string(i));
    return 0;
  };
  ctx.progress.end = [&] { log.push_back("end"); };
  CdSearch(*f, 1, ctx);
  EXPECT_EQ(run.pool().termCount, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"begin CD-search 0 1", "end"}));
  log.clear();
  CdSearch(*f, 0, ctx);
  EXPECT_EQ(log, (std::vector<std::string>{"begin CD-search 1 1", "step 1", "end"}));
}

// Tied best literals -1- and --1 complete the implicant, 1-- does not: the
// choice is drawn among the two completing ones only.  Seed 1 draws an even
// second number (-1-), seed 14 an odd one (--1).
TEST_F(CdSearchTest, TiedLiteralThatCompletesTheImplicantIsPreferred) {
  auto f = pla(".i 3\n.o 1\n.type fr\n111 1\n000 0\n100 0\n.e\n");
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    RunScope run(*f, ctx, seed);
    CdSearch(*f, 0, ctx);
    ASSERT_EQ(run.pool().termCount, 1);
    EXPECT_NE(cubes(run.pool())[0], "1--") << seed;
  }
  {
    RunScope run(*f, ctx, 1);
    CdSearch(*f, 0, ctx);
    EXPECT_EQ(cubes(run.pool()), (std::vector<std::string>{"-1-"}));
    const TPfnct& e = *run.pool().head;
    EXPECT_EQ(e.output, "000");
    EXPECT_EQ(e.freeCount, 2);
    EXPECT_EQ(e.outputIndex, 0);
  }
  {
    RunScope run(*f, ctx, 14);
    CdSearch(*f, 0, ctx);
    EXPECT_EQ(cubes(run.pool()), (std::vector<std::string>{"--1"}));
  }
}

// With -CM 100 each step draws the mutation test and then a slot mod 6,
// moving up past zero scores.  Seed 1: slot 0 -> 1--, not an implicant
// (meets 100); then 4 -> 11-.  Seed 6: slot 0 -> 1--, then 5 -> 1-1.
TEST_F(CdSearchTest, MutationDrawsFollowTheStatedOrder) {
  auto f = pla(".i 3\n.o 1\n.type fr\n111 1\n100 0\n010 0\n.e\n");
  ctx.settings.cdMutationRatio = 100;
  {
    RunScope run(*f, ctx, 1);
    CdSearch(*f, 0, ctx);
    EXPECT_EQ(cubes(run.pool()), (std::vector<std::string>{"11-"}));
  }
  {
    RunScope run(*f, ctx, 6);
    CdSearch(*f, 0, ctx);
    EXPECT_EQ(cubes(run.pool()), (std::vector<std::string>{"1-1"}));
  }
}

TEST_F(CdSearchTest, SameImplicantTwiceIsPooledTwiceOnlyWithoutExpansionTrees) {
  auto f = pla(".i 2\n.o 1\n.type fr\n11 1\n00 0\n.e\n");
  ctx.settings.ieMethod = 0;
  {
    RunScope run(*f, ctx);
    CdSearch(*f, 0, ctx);
    CdSearch(*f, 0, ctx);
    EXPECT_EQ(run.pool().termCount, 2);
  }
  for (int method = 1; method <= 4; ++method) {
    ctx.settings.ieMethod = method;
    RunScope run(*f, ctx);
    CdSearch(*f, 0, ctx);
    CdSearch(*f, 0, ctx);
    EXPECT_EQ(run.pool().termCount, 1) << method;
  }
}

// Every pooled cube is an implicant containing an on-set term entirely, each
// on-set term lies in some pooled cube, there are at most as many implicants
// as on-set terms, and every separated flag is clear afterwards.
TEST_F(CdSearchTest, PoolCoversTheOnSetWithValidImplicants) {
  for (int ratio : {0, 50, 100}) {
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
      ctx.settings.cdMutationRatio = ratio;
      ctx.settings.ieMethod = 0;
      FunctionPtr fs[2] = {test::randomFr(seed, 5, 2, 25), test::randomFd(seed, 5, 2, 9)};
      for (auto& f : fs) {
        RunScope run(*f, ctx, seed);
        for (int k = 0; k < f->outputCount; ++k) {
          const int before = run.pool().termCount;
          CdSearch(*f, k, ctx);
          EXPECT_LE(run.pool().termCount - before, f->onCounts[k]);
          for (const ListEntry& e : f->offLists[k]) EXPECT_EQ(e.separated, 0);
        }
        forEachTerm(run.pool(), [&](const TPfnct& t) {
          const std::string c = t.input.str();
          EXPECT_TRUE(test::oracleImplicant(*f, c, t.outputIndex)) << c;
          EXPECT_EQ(t.freeCount, static_cast<int>(std::count(c.begin(), c.end(), '-')));
          bool holdsOnTerm = false;
          for (const ListEntry& e : f->onLists[t.outputIndex])
            holdsOnTerm = holdsOnTerm || test::textContains(c, e.input().str());
          EXPECT_TRUE(holdsOnTerm) << c;
        });
        for (int k = 0; k < f->outputCount; ++k)
          for (const ListEntry& e : f->onLists[k]) {
            bool covered = false;
            forEachTerm(run.pool(), [&](const TPfnct& t) {
              covered = covered || (t.outputIndex == k && test::textContains(t.input.str(), e.input().str()));
            });
            EXPECT_TRUE(covered) << e.input().str() << " output " << k << " ratio " << ratio;
          }
      }
    }
  }
}

// One implicant takes in every on-set term it contains at once.
TEST_F(CdSearchTest, ImplicantTakesAllContainedOnSetTermsAtOnce) {
  auto f = pla(".i 3\n.o 1\n.type fr\n110 1\n111 1\n0-- 0\n.e\n");
  RunScope run(*f, ctx);
  CdSearch(*f, 0, ctx);
  EXPECT_EQ(cubes(run.pool()), (std::vector<std::string>{"1--"}));
}

// The universal cube is the implicant when the on-set term is universal and
// the off-set empty: no literal is ever scored, the cube is accepted as it is.
TEST_F(CdSearchTest, UniversalOnSetTermIsAcceptedUnchanged) {
  auto f = pla(".i 3\n.o 1\n.type fr\n--- 1\n.e\n");
  RunScope run(*f, ctx);
  CdSearch(*f, 0, ctx);
  EXPECT_EQ(cubes(run.pool()), (std::vector<std::string>{"---"}));
}

// On-set and off-set of the output meet: no implicant holds 11-, the search
// stops there instead of looping, and leaves no separated flag behind.
TEST_F(CdSearchTest, IntersectingOnAndOffSetEndsTheSearch) {
  for (int ratio : {0, 100}) {
    ctx.settings.cdMutationRatio = ratio;
    auto f = pla(".i 3\n.o 1\n.type fr\n11- 1\n111 0\n000 1\n.e\n");
    RunScope run(*f, ctx);
    CdSearch(*f, 0, ctx);
    forEachTerm(run.pool(), [&](const TPfnct& t) { EXPECT_TRUE(test::oracleImplicant(*f, t.input.str(), 0)); });
    for (const ListEntry& e : f->offLists[0]) EXPECT_EQ(e.separated, 0);
  }
}

}  // namespace
}  // namespace vorn
