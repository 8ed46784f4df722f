#include <gtest/gtest.h>

#include "model/cost.h"
#include "model/settings.h"
#include "support/oracle.h"

using namespace vorn;

namespace {
struct Figures {
  int terms, literals, outputCost, gates, ges;
};
Figures figures(const std::string& text) {
  auto f = test::pla(text);
  computeStatistics(*f);
  return {f->terms, f->literals, f->outputCost, f->gates, f->gateEquivalents};
}
}  // namespace

TEST(Cost, EmptyFunctionClampsGatesAtZero) {
  auto f = create(2, 2, 0, kTypeFr);
  computeStatistics(*f);
  EXPECT_EQ(f->terms, 0);
  EXPECT_EQ(f->gates, 0);  // 0 + 0 - 2 clamps to 0
  EXPECT_EQ(f->gateEquivalents, 0);
}

TEST(Cost, OneLiteralTermNeedsNoGate) {
  auto f = test::pla(".i 2\n.o 1\n0- 1\n");
  f->head->freeCount = 0;
  computeStatistics(*f);
  EXPECT_EQ(f->literals, 1);
  EXPECT_EQ(f->outputCost, 1);
  EXPECT_EQ(f->gates, 0);
  EXPECT_EQ(f->gateEquivalents, 0);
  EXPECT_EQ(f->head->freeCount, 1);
}

TEST(Cost, WorkedExampleAndEveryCriterion) {
  auto f = test::pla(".i 3\n.o 2\n01- 10\n1-1 11\n--0 01\n");
  computeStatistics(*f);
  EXPECT_EQ(f->terms, 3);
  EXPECT_EQ(f->literals, 5);
  EXPECT_EQ(f->outputCost, 4);
  EXPECT_EQ(f->gates, 4);
  EXPECT_EQ(f->gateEquivalents, 8);
  const int expected[] = {3, 5, 4, 9, 4, 8};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(computeCost(*f, c).cost, expected[c]) << "criterion " << c;
    EXPECT_EQ(criterionCost(*f, c), expected[c]) << "criterion " << c;
  }
  // outside the criteria: the cost stays, the plain figure is the literals
  f->cost = 77;
  EXPECT_EQ(computeCost(*f, 6).cost, 77);
  EXPECT_EQ(computeCost(*f, -1).cost, 77);
  EXPECT_EQ(criterionCost(*f, 9), 5);
}

TEST(Cost, LiteralsAndOutputCostBeyondTheIntRange) {
  auto f = test::pla(".i 1\n.o 1\n1 1\n");
  computeStatistics(*f);
  f->literals = 2147483000;
  f->outputCost = 2000;
  EXPECT_EQ(criterionCost(*f, 3), 2147485000LL);
  EXPECT_EQ(computeCost(*f, 3).cost, 2147483647);
}

TEST(Cost, OutputWithoutTermsCountsMinusOneOnlyInTheTotal) {
  const Figures g = figures(".i 3\n.o 3\n011 100\n1-0 100\n--1 010\n");
  EXPECT_EQ(g.literals, 6);
  EXPECT_EQ(g.outputCost, 3);
  EXPECT_EQ(g.gates, 3);
  EXPECT_EQ(g.ges, 7);
}

TEST(Cost, OnlyOnesInOutputsAndLiteralsInInputsCount) {
  const Figures g = figures(".i 3\n.o 3\n-~1 -0~\n");
  EXPECT_EQ(g.literals, 1);
  EXPECT_EQ(g.outputCost, 0);
  EXPECT_EQ(g.gates, 0);
}

// A term's weight is its share of the criterion's figure in thousandths
// (millionths for terms) with the tie-break: more literals weigh more where
// the figure holds none, a unit per term except for literals and output cost.
TEST(Cost, TermWeightByEveryCriterion) {
  EXPECT_EQ(termWeight(0, 3, 2), 1000003);
  EXPECT_EQ(termWeight(1, 3, 2), 3001);
  EXPECT_EQ(termWeight(2, 3, 2), 2003);
  EXPECT_EQ(termWeight(3, 3, 2), 5000);
  EXPECT_EQ(termWeight(4, 3, 2), 4001);  // two gates for three literals, one per connection
  EXPECT_EQ(termWeight(5, 3, 2), 5001);
  EXPECT_EQ(termWeight(4, 1, 1), 1001);  // a single literal needs no gate
  EXPECT_EQ(termWeight(5, 1, 1), 1001);
  EXPECT_EQ(termWeight(4, 0, 2), 2001);
  EXPECT_EQ(termWeight(7, 3, 2), 3001);  // any other criterion counts literals
}

// The shares of the terms (the weights without their tie-breaks) add up to the function's figure by the criterion,
// less, for gates, one per output and, for gate equivalents, one per output
// with a single term.
TEST(Cost, TermSharesAddUpToTheFunctionsFigures) {
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    auto f = test::randomFr(seed, 5, 3, 20);
    computeStatistics(*f);
    std::vector<int> termsOf(static_cast<std::size_t>(f->outputCount), 0);
    long long share[6] = {0, 0, 0, 0, 0, 0};
    for (const TPfnct* t = f->head.get(); t; t = t->next.get()) {
      int outputs = 0;
      for (int j = 0; j < f->outputCount; ++j)
        if (t->output[static_cast<std::size_t>(j)] == '1') {
          ++outputs;
          ++termsOf[static_cast<std::size_t>(j)];
        }
      const int literals = t->input.countLiterals();
      for (int c = 0; c <= 5; ++c) {
        share[c] += termShare(c, literals, outputs);
        EXPECT_EQ(termWeight(c, literals, outputs) / (c == 0 ? 1000000 : 1000), termShare(c, literals, outputs));
      }
    }
    long long single = 0;
    for (int n : termsOf) single += n == 1;
    for (int c = 0; c <= 3; ++c) EXPECT_EQ(share[c], criterionCost(*f, c)) << "criterion " << c << " seed " << seed;
    EXPECT_EQ(std::max(share[4] - f->outputCount, 0LL), criterionCost(*f, 4)) << seed;
    EXPECT_EQ(share[5] - single, criterionCost(*f, 5)) << seed;
  }
}
