// The refinement steps on seeded random fr functions, judged by the
// independent cover checker: every step keeps a valid cover, EXPAND and
// IRREDUNDANT never make it costlier, REDUCE only shrinks terms, and the
// whole refinement never returns a costlier cover.
#include <gtest/gtest.h>

#include <string>

#include "model/cost.h"
#include "refine/expand.h"
#include "refine/irredundant.h"
#include "refine/reduce.h"
#include "refine/refine.h"
#include "refine/cover_function.h"
#include "support/oracle.h"

namespace vorn {
namespace {

/// The cover made of the source's on-set terms: valid, and far from minimal.
FunctionPtr onSetCover(TBoolFnct& f) {
  FunctionPtr c = derive(f);
  c->type = kTypeFd;
  forEachTerm(f, [&](const TPfnct& t) {
    std::string out(static_cast<std::size_t>(f.outputCount), '0');
    bool any = false;
    for (int j = 0; j < f.outputCount; ++j)
      if (outputAt(t, j) == '1') out[static_cast<std::size_t>(j)] = '1', any = true;
    if (any) appendTerm(*c, t.input, out, 0);
  });
  return c;
}

using test::asFunction;

struct Figures {
  int terms, literals, outputs;
};

Figures figuresOf(TBoolFnct& f, const Cover& c) {
  FunctionPtr g = asFunction(f, c);
  computeStatistics(*g);
  return {g->terms, g->literals, g->outputCost};
}

TEST(RefineSteps, EachStepKeepsAValidCoverAndExpandIrredundantNeverCostMore) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    FunctionPtr f = test::randomFr(seed, 3 + static_cast<int>(seed % 6), 1 + static_cast<int>(seed % 3), 40);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const OffSetTest test = OffSetTestOf(source.off);
    FunctionPtr start = onSetCover(*f);
    Cover c = CoverOf(*start, source.inputs, source.outputs);
    const Figures before = figuresOf(*f, c);

    ExpandStats es;
    ExpandParams ep;
    ep.outputsFirst = seed % 2 == 0;
    Expand(source, test, c, ep, es);
    c.compact();
    FunctionPtr expanded = asFunction(*f, c);
    ASSERT_EQ(test::checkCover(*f, *expanded), "") << "expand, seed " << seed;
    const Figures afterExpand = figuresOf(*f, c);
    EXPECT_LE(afterExpand.terms, before.terms) << seed;
    EXPECT_LE(afterExpand.literals, before.literals) << seed;

    IrredundantStats is;
    IrredundantParams ip;
    Irredundant(source, c, ip, is);
    c.compact();
    FunctionPtr irredundant = asFunction(*f, c);
    ASSERT_EQ(test::checkCover(*f, *irredundant), "") << "irredundant, seed " << seed;
    const Figures afterIrr = figuresOf(*f, c);
    EXPECT_LE(afterIrr.terms, afterExpand.terms) << seed;
    EXPECT_LE(afterIrr.literals, afterExpand.literals) << seed;
    EXPECT_LE(afterIrr.outputs, afterExpand.outputs) << seed;

    // Irredundant means no term can go: each one covers some on-set minterm alone.
    Cover again = c;
    IrredundantStats is2;
    Irredundant(source, again, ip, is2);
    EXPECT_EQ(is2.removed, 0) << seed;

    const Cover beforeReduce = c;
    ReduceStats rs;
    Reduce(source, c, ReduceParams{}, rs);
    FunctionPtr reduced = asFunction(*f, c);
    ASSERT_EQ(test::checkCover(*f, *reduced), "") << "reduce, seed " << seed;
    // Reduced on their own, the terms only shrink.
    Cover alone = beforeReduce;
    ReduceParams independent;
    independent.independent = true;
    ReduceStats rs2;
    Reduce(source, alone, independent, rs2);
    for (int k = 0; k < alone.size(); ++k) {
      if (alone.alive[static_cast<std::size_t>(k)]) {
        EXPECT_TRUE(beforeReduce.in.get(k).contains(alone.in.get(k))) << seed;
      }
    }
    for (int k = 0; k < c.size(); ++k)
      if (c.alive[static_cast<std::size_t>(k)]) {
        EXPECT_TRUE(beforeReduce.in.get(k).contains(c.in.get(k))) << seed;
        EXPECT_TRUE(c.out[static_cast<std::size_t>(k)].subsetOf(beforeReduce.out[static_cast<std::size_t>(k)])) << seed;
      }
  }
}

TEST(RefineSteps, ExpandMakesEveryTermPrime) {
  // One output: with several, a term that a later one holds loses outputs and may then grow further.
  for (std::uint32_t seed = 50; seed < 80; ++seed) {
    FunctionPtr f = test::randomFr(seed, 6, 1, 50);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const OffSetTest test = OffSetTestOf(source.off);
    FunctionPtr start = onSetCover(*f);
    Cover c = CoverOf(*start, source.inputs, source.outputs);
    ExpandStats es;
    Expand(source, test, c, ExpandParams{}, es);
    for (int k = 0; k < c.size(); ++k) {
      if (!c.alive[static_cast<std::size_t>(k)]) continue;
      const Cube cube = c.in.get(k);
      for (int p = 0; p < cube.size(); ++p) {
        if (!cube.isLiteral(p)) continue;
        Cube wider = cube;
        wider.set(p, '-');
        CubeList one(source.inputs);
        one.push(wider);
        bool fits = true;
        c.out[static_cast<std::size_t>(k)].forEach([&](int j) { fits = fits && test.allowed(one.cube(0), j); });
        EXPECT_FALSE(fits) << "seed " << seed << " term " << cube.str() << " can drop position " << p;
      }
    }
  }
}

class RefineWhole : public ::testing::TestWithParam<int> {};

TEST_P(RefineWhole, NeverReturnsACostlierOrInvalidCover) {
  const int criterion = GetParam();
  for (std::uint32_t seed = 100; seed < 125; ++seed) {
    for (bool single : {false, true}) {
      FunctionPtr f = test::randomFr(seed, 3 + static_cast<int>(seed % 5), 1 + static_cast<int>(seed % 3), 30);
      FunctionPtr start = onSetCover(*f);
      // Both schedules, the thorough one with the start cover as implicant set.
      for (bool thorough : {false, true}) {
        RefineParams p;
        p.criterion = criterion;
        p.singleOutput = single;
        p.thorough = thorough;
        RefineStats stats;
        FunctionPtr better = Refine(*f, *start, thorough ? start.get() : nullptr, p, stats);
        if (!better) {
          EXPECT_EQ(stats.endCost, stats.startCost);
          continue;
        }
        ASSERT_EQ(test::checkCover(*f, *better), "") << "seed " << seed << " single " << single << " thorough " << thorough;
        EXPECT_LT(stats.endCost, stats.startCost);
        if (single) {
          forEachTerm(*better, [&](const TPfnct& t) { EXPECT_EQ(std::count(t.output.begin(), t.output.end(), '1'), 1); });
        }
      }
    }
  }
}

/// f with `pad` extra inputs in front, '1' in every term: they never decide anything.
FunctionPtr padded(const TBoolFnct& f, int pad) {
  std::string text = ".i " + std::to_string(pad + f.inputCount) + "\n.o " + std::to_string(f.outputCount) + "\n.type fr\n";
  forEachTerm(f, [&](const TPfnct& t) { text += std::string(static_cast<std::size_t>(pad), '1') + t.input.str() + " " + t.output + "\n"; });
  return test::pla(text + ".e\n");
}

TEST(RefineWide, InputsThatDecideNothingChangeNothingAcrossWordBoundaries) {
  // 58 pads put the deciding inputs across the first word boundary and give cubes of up to 66
  // literals: blocking rows of one packed word and of two plain words both occur.
  for (std::uint32_t seed = 300; seed < 316; ++seed) {
    FunctionPtr narrow = test::randomFr(seed, 8, 1 + static_cast<int>(seed % 3), 25);
    FunctionPtr wide = padded(*narrow, 58);
    FunctionPtr narrowStart = onSetCover(*narrow), wideStart = onSetCover(*wide);
    RefineParams p;
    RefineStats ns, ws;
    FunctionPtr n = Refine(*narrow, *narrowStart, nullptr, p, ns);
    FunctionPtr w = Refine(*wide, *wideStart, nullptr, p, ws);
    ASSERT_TRUE(w) << seed;
    ASSERT_EQ(test::checkCover(*wide, *w), "") << seed;
    if (!n) continue;
    computeStatistics(*n);
    computeStatistics(*w);
    EXPECT_EQ(w->terms, n->terms) << seed;
    EXPECT_EQ(w->literals, n->literals) << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryCriterion, RefineWhole, ::testing::Range(0, 6));

TEST(RefineCases, CoversATermOnlyByAUnionOfTwoCubes) {
  // The on-set term 11- lies in 1-0 + -11 only together: the term-based
  // search needs three terms, the minimum cover has two.
  FunctionPtr f = test::pla(".i 3\n.o 1\n.type fr\n11- 1\n100 1\n011 1\n101 0\n010 0\n00- 0\n.e\n");
  FunctionPtr start = test::pla(".i 3\n.o 1\n1-0 1\n11- 1\n-11 1\n.e\n");
  RefineParams p;
  RefineStats stats;
  FunctionPtr better = Refine(*f, *start, nullptr, p, stats);
  ASSERT_TRUE(better);
  EXPECT_EQ(test::checkCover(*f, *better), "");
  computeStatistics(*better);
  EXPECT_EQ(better->terms, 2);
  EXPECT_EQ(better->literals, 4);
}

TEST(RefineCases, TakesImplicantsTheSearchCouldNotCombine) {
  // The search cover uses three terms; the implicant set holds the two primes.
  FunctionPtr f = test::pla(".i 3\n.o 1\n.type fr\n11- 1\n100 1\n011 1\n101 0\n010 0\n00- 0\n.e\n");
  FunctionPtr start = test::pla(".i 3\n.o 1\n110 1\n111 1\n100 1\n011 1\n.e\n");
  FunctionPtr implicants = test::pla(".i 3\n.o 1\n1-0 1\n-11 1\n.e\n");
  RefineParams p;
  RefineStats stats;
  FunctionPtr better = Refine(*f, *start, implicants.get(), p, stats);
  ASSERT_TRUE(better);
  EXPECT_EQ(test::checkCover(*f, *better), "");
  computeStatistics(*better);
  EXPECT_EQ(better->terms, 2);
}

TEST(RefineCases, APassedDeadlineStillGivesAValidCoverNoCostlier) {
  FunctionPtr f = test::randomFr(7, 7, 3, 30);
  FunctionPtr start = onSetCover(*f);
  RefineParams p;
  p.deadline.at = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  RefineStats stats;
  FunctionPtr better = Refine(*f, *start, nullptr, p, stats);
  EXPECT_EQ(stats.passes, 0);
  if (better) {
    EXPECT_EQ(test::checkCover(*f, *better), "");
    EXPECT_LT(stats.endCost, stats.startCost);
  }
}


TEST(RefineCases, DrawnStartsGiveValidCoversNeverCostlierAndRepeatWithTheSeed) {
  int differ = 0;
  for (std::uint32_t seed = 200; seed < 230; ++seed) {
    FunctionPtr f = test::randomFr(seed, 5 + static_cast<int>(seed % 4), 1 + static_cast<int>(seed % 3), 30);
    FunctionPtr start = onSetCover(*f);
    std::string first;
    long long firstCost = -1;
    for (std::uint32_t draw : {1u, 1u, 2u}) {
      Random random;
      random.seedRandom(draw);
      RefineParams p;
      p.thorough = true;
      p.random = &random;
      RefineStats stats;
      FunctionPtr better = Refine(*f, *start, start.get(), p, stats);
      ASSERT_TRUE(better) << "seed " << seed;  // the on-set terms are never a minimal cover here
      ASSERT_EQ(test::checkCover(*f, *better), "") << "seed " << seed << " draw " << draw;
      EXPECT_LT(stats.endCost, stats.startCost) << "seed " << seed;
      std::string text;
      forEachTerm(*better, [&](const TPfnct& t) { text += t.input.str() + " " + t.output + "\n"; });
      if (firstCost < 0) {
        first = text;
        firstCost = stats.endCost;
      } else if (draw == 1) {
        EXPECT_EQ(text, first) << "seed " << seed << ": the same draws gave another cover";
      } else {
        differ += text != first;
      }
    }
  }
  EXPECT_GT(differ, 0);  // other draws start elsewhere
}

std::string textOf(const TBoolFnct& f) {
  std::string text;
  forEachTerm(f, [&](const TPfnct& t) { text += t.input.str() + " " + t.output + "\n"; });
  return text;
}

TEST(RefineCases, AGoalEndsTheRefinementAtTheFirstCoverWithinIt) {
  for (std::uint32_t seed = 300; seed < 320; ++seed) {
    const bool sampledShape = seed % 2 == 0;
    FunctionPtr f = sampledShape ? test::sampled(seed, 10 + static_cast<int>(seed % 7), 300, 1)
                                 : test::randomFr(seed, 6 + static_cast<int>(seed % 3), 1 + static_cast<int>(seed % 3), 30);
    FunctionPtr start = onSetCover(*f);
    auto run = [&](long long goal, bool single, RefineStats& stats) {
      RefineParams p;
      p.thorough = true;
      p.goal = goal;
      p.singleOutput = single;
      return Refine(*f, *start, nullptr, p, stats);
    };
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    RefineStats full;
    FunctionPtr best = run(-1, false, full);
    ASSERT_TRUE(best);
    ASSERT_GT(full.passes, 0);
    // Any cover cheaper than the start is within this goal: the first selection ends it.
    RefineStats early;
    FunctionPtr quick = run(full.startCost - 1, false, early);
    ASSERT_TRUE(quick);
    EXPECT_EQ(test::checkCover(*f, *quick), "");
    EXPECT_LE(early.endCost, full.startCost - 1);
    EXPECT_EQ(early.passes, 0);
    // A goal below what the refinement reaches changes nothing.
    RefineStats below;
    FunctionPtr same = run(full.endCost - 1, false, below);
    ASSERT_TRUE(same);
    EXPECT_EQ(textOf(*same), textOf(*best));
    EXPECT_EQ(below.passes, full.passes);
    // Output by output, one output's cost says nothing of the whole: the goal is not applied.
    RefineStats single, singleGoal;
    FunctionPtr a = run(-1, true, single), b = run(full.startCost - 1, true, singleGoal);
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (a) {
      EXPECT_EQ(textOf(*a), textOf(*b));
    }
    EXPECT_EQ(single.passes, singleGoal.passes);
  }
}

}  // namespace
}  // namespace vorn
