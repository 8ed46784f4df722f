#include "cdsearch/implicant_expansion.h"

#include <gtest/gtest.h>

#include "cdsearch/cd_test_support.h"

namespace vorn {
namespace {

using test::addPoolEntry;
using test::cubes;
using test::pla;
using test::RunScope;
using Cubes = std::vector<std::string>;

class ExpansionTest : public ::testing::Test {
 protected:
  RunContext ctx;
  // on 111, off 000: every literal of 111 can go alone, not all of them.
  FunctionPtr single() { return pla(".i 3\n.o 1\n.type fr\n111 1\n000 0\n.e\n"); }
};

// Pool entry 11- over off-set 000.  Method 0 starts at draw mod 3: seed 1
// gives 1 (drops position 1 first: 1--), seed 2 gives 0 (-1-).
TEST_F(ExpansionTest, SequentialSearchStartsAtTheDrawnPosition) {
  auto f = single();
  {
    RunScope run(*f, ctx, 1);
    addPoolEntry(run.pool(), "11-", 0);
    auto r = IeSequentialSearch(run.pool(), 0, ctx);
    ASSERT_TRUE(r);
    EXPECT_EQ(cubes(*r), (Cubes{"1--"}));
    EXPECT_EQ(r->head->freeCount, 2);
    EXPECT_EQ(r->head->output.size(), 1u);
    EXPECT_EQ(run.pool().termCount, 0);
  }
  {
    RunScope run(*f, ctx, 2);
    addPoolEntry(run.pool(), "11-", 0);
    EXPECT_EQ(cubes(*IeSequentialSearch(run.pool(), 0, ctx)), (Cubes{"-1-"}));
  }
}

// Method 1, seed 1 draws 1, 0, 2 (mod 3).  Call 1 starts at position 1 and
// marks it '2'; call 2 starts at 0, the only untried literal left; call 3
// finds nothing untried and removes the entry.
TEST_F(ExpansionTest, DistributedMultipleSpreadsPassesOverCalls) {
  auto f = single();
  RunScope run(*f, ctx, 1);
  TPfnct* e = addPoolEntry(run.pool(), "11-", 0);
  EXPECT_EQ(cubes(*IeDistributedMultiple(run.pool(), 0, ctx)), (Cubes{"1--"}));
  EXPECT_EQ(e->output, "020");
  EXPECT_EQ(cubes(*IeDistributedMultiple(run.pool(), 0, ctx)), (Cubes{"-1-"}));
  EXPECT_EQ(e->output, "220");
  EXPECT_EQ(cubes(*IeDistributedMultiple(run.pool(), 0, ctx)), (Cubes{}));
  EXPECT_EQ(run.pool().termCount, 0);
}

// No literal of 11 can go alone (off-set 01 and 10): the first call passes the
// cube on and marks both positions '1'; the second call drops the entry.
TEST_F(ExpansionTest, DistributedMultipleMarksAnUnexpandableEntryAndDropsIt) {
  auto f = pla(".i 3\n.o 1\n.type fr\n11- 1\n01- 0\n10- 0\n.e\n");
  RunScope run(*f, ctx, 3);
  TPfnct* e = addPoolEntry(run.pool(), "11-", 0);
  EXPECT_EQ(cubes(*IeDistributedMultiple(run.pool(), 0, ctx)), (Cubes{"11-"}));
  EXPECT_EQ(e->output, "110");
  EXPECT_EQ(run.pool().termCount, 1);
  EXPECT_EQ(cubes(*IeDistributedMultiple(run.pool(), 0, ctx)), (Cubes{}));
  EXPECT_EQ(run.pool().termCount, 0);
}

TEST_F(ExpansionTest, DistributedMethodsPassOverOtherOutputs) {
  auto f = pla(".i 3\n.o 2\n.type fr\n111 11\n000 00\n.e\n");
  for (auto method : {&IeDistributedMultiple, &IeDistributedExhaustive}) {
    RunScope run(*f, ctx, 1);
    TPfnct* other = addPoolEntry(run.pool(), "111", 1);
    addPoolEntry(run.pool(), "111", 0);
    auto r = method(run.pool(), 0, ctx);
    EXPECT_EQ(r->termCount, 1);
    EXPECT_EQ(other->output, "000");
    EXPECT_EQ(other->input.str(), "111");
  }
}

// Method 2, seed 2 draws 0, 1, 0 (mod 3).  Call 1: pass from 0 removes 0 (the
// first removal: mark '2', child -11 at the front) and 1 (mark '2' in the
// child).  Call 2 visits the child first (start 1: first untried literal is
// 2; grandchild -1- at the front, failed position 1 marked '1' in it), then
// the entry (start 0: first untried literal 1; child 1-1).
TEST_F(ExpansionTest, DistributedExhaustiveStoresChildrenAtTheFront) {
  auto f = single();
  RunScope run(*f, ctx, 2);
  addPoolEntry(run.pool(), "111", 0);
  EXPECT_EQ(cubes(*IeDistributedExhaustive(run.pool(), 0, ctx)), (Cubes{"--1"}));
  EXPECT_EQ(cubes(run.pool()), (Cubes{"-11", "111"}));
  EXPECT_EQ(run.pool().head->output, "220");
  EXPECT_EQ(run.pool().head->freeCount, 1);
  EXPECT_EQ(cubes(*IeDistributedExhaustive(run.pool(), 0, ctx)), (Cubes{"-1-", "1--"}));
  EXPECT_EQ(cubes(run.pool()), (Cubes{"1-1", "-1-", "-11", "111"}));
  std::vector<std::string> marks;
  forEachTerm(run.pool(), [&](const TPfnct& t) { marks.push_back(t.output); });
  EXPECT_EQ(marks, (Cubes{"222", "212", "222", "220"}));
}

// Method 3 on 111 over off-set 000: every pass starts after the previous
// pass's first removal, three products from one entry.
TEST_F(ExpansionTest, MultipleSequentialYieldsSeveralProducts) {
  auto f = single();
  RunScope run(*f, ctx);
  addPoolEntry(run.pool(), "111", 0);
  auto r = IeMultipleSequential(run.pool(), 0, ctx);
  EXPECT_EQ(cubes(*r), (Cubes{"--1", "1--", "-1-"}));
  EXPECT_EQ(run.pool().termCount, 0);
}

// Off-set 101 and 110: the first pass keeps only removal 0 (-11); the second
// pass starts at 1, fails at 1 and 2 and removes 0 after the wrap-around, so
// it is the last, and its product -11 was already produced.
TEST_F(ExpansionTest, MultipleSequentialStopsAfterAWrappedFirstRemoval) {
  auto f = pla(".i 3\n.o 1\n.type fr\n111 1\n101 0\n110 0\n.e\n");
  RunScope run(*f, ctx);
  addPoolEntry(run.pool(), "111", 0);
  EXPECT_EQ(cubes(*IeMultipleSequential(run.pool(), 0, ctx)), (Cubes{"-11"}));
  EXPECT_TRUE(TermTreeContains(run.state().implicantTree, Cube("-11")));
}

// Method 4 expands its children in the same call; a child whose pass removes
// nothing after its own first removal is taken back; the pool ends empty.
TEST_F(ExpansionTest, ExhaustiveExpandsChildrenInTheSameCall) {
  auto f = single();
  RunScope run(*f, ctx);
  addPoolEntry(run.pool(), "111", 0);
  auto r = IeExhaustive(run.pool(), 0, ctx);
  EXPECT_EQ(cubes(*r), (Cubes{"--1", "1--", "-1-"}));
  EXPECT_EQ(run.pool().termCount, 0);
  EXPECT_EQ(run.pool().tail, nullptr);
}

TEST_F(ExpansionTest, UnexpandableEntryIsPassedOnOncePerRun) {
  auto f = pla(".i 2\n.o 1\n.type fr\n11 1\n01 0\n10 0\n.e\n");
  for (int method = 0; method <= 4; ++method) {
    ctx.settings.ieMethod = method;
    RunScope run(*f, ctx, 5);
    addPoolEntry(run.pool(), "11", 0);
    EXPECT_EQ(cubes(*ExpandImplicants(run.pool(), 0, ctx)), (Cubes{"11"})) << method;
    addPoolEntry(run.pool(), "11", 0);
    EXPECT_EQ(ExpandImplicants(run.pool(), 0, ctx)->termCount, 0) << method;  // produced before
  }
}

TEST_F(ExpansionTest, StopRequestYieldsNoResult) {
  auto f = single();
  for (int method = 0; method <= 4; ++method) {
    ctx.settings.ieMethod = method;
    RunScope run(*f, ctx);
    addPoolEntry(run.pool(), "111", 0);
    int ends = 0;
    ctx.progress.step = [](int, int) { return 2; };
    ctx.progress.end = [&] { ++ends; };
    EXPECT_EQ(ExpandImplicants(run.pool(), 0, ctx), nullptr) << method;
    EXPECT_EQ(ends, 1);
  }
}

TEST_F(ExpansionTest, OutputPartsNameEveryOutputTheProductServes) {
  auto f = pla(".i 2\n.o 3\n.type fr\n11 110\n00 011\n01 ~00\n.e\n");
  buildLists(*f);
  auto r = derive(*f);
  appendTerm(*r, "1-", "000", 1);
  appendTerm(*r, "-1", "111", 1);
  SetOutputParts(*r);
  std::vector<std::string> outs;
  forEachTerm(*r, [&](const TPfnct& t) { outs.push_back(t.output); });
  // off-sets: output 0 {00}, output 1 {01}, output 2 {11, 01}.
  // 1- meets only 11 (output 2); -1 meets 01 (outputs 1 and 2) and 11.
  EXPECT_EQ(outs, (Cubes{"110", "100"}));
}

// Every product is an implicant of its output containing the entry it grew
// from, for all methods on random functions.
TEST_F(ExpansionTest, ProductsAreImplicantsContainingTheirEntry) {
  for (int method = 0; method <= 4; ++method)
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
      ctx.settings.ieMethod = method;
      FunctionPtr fs[2] = {test::randomFr(seed, 5, 2, 25), test::randomFd(seed, 5, 1, 8)};
      for (auto& f : fs) {
        RunScope run(*f, ctx, seed);
        buildLists(*f);
        std::vector<std::string> entries;
        for (const ListEntry& e : f->onLists[0]) {
          const std::string c = e.input().str();
          if (!test::oracleImplicant(*f, c, 0)) continue;
          addPoolEntry(run.pool(), c, 0);
          entries.push_back(c);
        }
        auto r = ExpandImplicants(run.pool(), 0, ctx);
        ASSERT_TRUE(r);
        forEachTerm(*r, [&](const TPfnct& t) {
          const std::string c = t.input.str();
          EXPECT_TRUE(test::oracleImplicant(*f, c, 0)) << c << " method " << method;
          EXPECT_EQ(t.freeCount, static_cast<int>(std::count(c.begin(), c.end(), '-')));
          bool grown = false;
          for (const std::string& e : entries) grown = grown || test::textContains(c, e);
          EXPECT_TRUE(grown) << c;
        });
      }
    }
}

}  // namespace
}  // namespace vorn
