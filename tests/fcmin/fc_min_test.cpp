// FC-Min: hand-checked groupings with exact draw counts, the safety net for
// attempts that keep being dropped, and seeded random consistent functions
// checked against a minterm oracle.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <vector>

#include "fcmin/fc_min.h"
#include "fcmin/term_expansion.h"
#include "model/random.h"
#include "model/settings.h"
#include "modes/minterm_oracle.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::drawsTaken;
using test::pla;
using test::termTexts;

class FcMinTest : public ::testing::Test {
 protected:
  RunContext run;
  void depth(int factor, int direction) {
    run.settings.depthFactor = factor;
    run.settings.dfDirection = direction;
  }
};

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST_F(FcMinTest, NoOnesYieldNoTermsAndNoDraws) {
  auto f = pla(".i 2\n.o 2\n.type fr\n01 0~\n1- ~0\n.e\n");
  run.random.seedRandom(5);
  FunctionPtr g = FcMin(*f, run);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->termCount, 0);
  EXPECT_EQ(g->type, 0);
  EXPECT_EQ(g->source, f.get());
  EXPECT_EQ(drawsTaken(run.random, 5), 0);
}

TEST_F(FcMinTest, SingleTermLosesEveryLiteral) {
  // '1' where the term has '1', '0' where '0', '~' where '~' or '-' (which says nothing in fr).
  auto f = pla(".i 3\n.o 4\n.type fr\n1-0 1~-0\n.e\n");
  run.random.seedRandom(9);
  FunctionPtr g = FcMin(*f, run);
  EXPECT_EQ(termTexts(*g), std::vector<std::string>{"---/1~~0"});
  EXPECT_EQ(g->head->freeCount, 3);
}

// Two terms of one output with no off-set: whether they are grouped depends
// only on the depth factor and direction.  Draws: one per candidate pick
// (also among one candidate), one depth draw per pick unless DF + 1 is 0, one
// per literal tried in the expansion.
struct DepthCase {
  int factor, direction;
  std::vector<std::string> terms;
  int draws;
};

TEST_F(FcMinTest, DepthFactorAndDirectionDecideGrouping) {
  const DepthCase cases[] = {
      {0, 1, {"--/1", "--/1"}, 10},   // r always 0: direction 1 refuses every further term
      {-1, 1, {"--/1", "--/1"}, 7},   // no depth draws at all
      {0, 0, {"--/1"}, 4},            // direction 0 takes every further term
      {-1, 0, {"--/1"}, 2},           // ... without depth draws
      {10, -1, {"--/1", "--/1"}, 10},  // any other direction refuses
      {10, 2, {"--/1", "--/1"}, 10},
  };
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "DF " << c.factor << " DD " << c.direction);
    auto f = pla(".i 2\n.o 1\n.type fr\n00 1\n11 1\n.e\n");
    depth(c.factor, c.direction);
    run.random.seedRandom(77);
    FunctionPtr g = FcMin(*f, run);
    EXPECT_EQ(termTexts(*g), c.terms);
    EXPECT_EQ(drawsTaken(run.random, 77), c.draws);
  }
}

TEST_F(FcMinTest, DefaultDepthGrowsGroupsMostOfTheTime) {
  // DF 10, DD 1: the second term joins with odds 10:1; direction 0 reverses the odds.
  auto f = pla(".i 2\n.o 1\n.type fr\n00 1\n11 1\n.e\n");
  int grouped[2] = {0, 0};
  for (int direction = 0; direction < 2; ++direction) {
    depth(10, direction);
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
      run.random.seedRandom(seed);
      grouped[direction] += FcMin(*f, run)->termCount == 1;
    }
  }
  EXPECT_GT(grouped[1], 320);  // expected 364
  EXPECT_LT(grouped[0], 80);   // expected 36
  EXPECT_GT(grouped[0], 5);
}

TEST_F(FcMinTest, ConflictingGroupIsDroppedAndTheBoundEndsTheRepeats) {
  // Direction 0 without depth draws always groups 00 and 11; their supercube
  // meets 01 with '0' under the '1', so every such attempt is dropped.  After
  // three drops in a row (as many as the source has terms) an attempt takes
  // only its first term.  Draws: 3 x 2 dropped, 1 + 1 single groups, 2 x 2
  // expansion tries.
  auto f = pla(".i 2\n.o 1\n.type fr\n00 1\n11 1\n01 0\n.e\n");
  depth(-1, 0);
  run.random.seedRandom(3);
  FunctionPtr g = FcMin(*f, run);
  ASSERT_TRUE(g);
  EXPECT_EQ(sorted(termTexts(*g)), (std::vector<std::string>{"-0/1", "1-/1"}));
  EXPECT_EQ(drawsTaken(run.random, 3), 12);
}

TEST_F(FcMinTest, ConflictingGroupIsRetriedDifferently) {
  // With the default depth the dropped pair is eventually split up.
  auto f = pla(".i 2\n.o 1\n.type fr\n00 1\n11 1\n01 0\n.e\n");
  for (std::uint32_t seed = 0; seed < 20; ++seed) {
    run.random.seedRandom(seed);
    FunctionPtr g = FcMin(*f, run);
    EXPECT_EQ(sorted(termTexts(*g)), (std::vector<std::string>{"-0/1", "1-/1"}));
  }
}

TEST_F(FcMinTest, InconsistentSourceStillTerminates) {
  // 0- has '1' where the intersecting 00 has '0': even its single-term group
  // conflicts.  Its '1' is given up without an implicant.
  for (int direction = 0; direction < 2; ++direction) {
    depth(direction ? 10 : -1, direction);
    auto f = pla(".i 2\n.o 2\n.type fr\n0- 10\n00 0~\n10 01\n.e\n");
    run.random.seedRandom(1);
    FunctionPtr g = FcMin(*f, run);
    ASSERT_TRUE(g);
    EXPECT_EQ(termTexts(*g), std::vector<std::string>{"1-/01"});
  }
}

TEST_F(FcMinTest, TildeBecomesZeroWhenAWiderCubeMeetsAnOffTerm) {
  // The implicant starts as 00/1~; once a literal goes, it meets 01, which
  // has '0' at the second output.
  auto f = pla(".i 2\n.o 2\n.type fr\n00 1~\n01 ~0\n.e\n");
  for (std::uint32_t seed = 0; seed < 4; ++seed) {
    run.random.seedRandom(seed);
    EXPECT_EQ(termTexts(*FcMin(*f, run)), std::vector<std::string>{"--/10"});
  }
}

TEST_F(FcMinTest, TildeOfTheMaskResolvedAgainstTermsMeetingTheGroup) {
  // 0-/1~ meets 00, which has '0' at the second output: the mask's '~' turns '0'
  // before the implicant is appended (no expansion needed to see it).
  auto f = pla(".i 2\n.o 2\n.type fr\n0- 1~\n00 ~0\n11 0~\n.e\n");
  run.random.seedRandom(4);
  EXPECT_EQ(termTexts(*FcMin(*f, run)), std::vector<std::string>{"0-/10"});
}

TEST_F(FcMinTest, ExpansionWithoutInputsDrawsNothing) {
  FunctionPtr f = create(0, 2, 0, kTypeFr);
  appendTerm(*f, "", "10", 0);
  FunctionPtr g = derive(*f);
  appendTerm(*g, "", "1~", 0);
  run.random.seedRandom(11);
  ExpandTerms(*g, run);
  EXPECT_EQ(drawsTaken(run.random, 11), 0);
  EXPECT_EQ(termTexts(*g), std::vector<std::string>{"/1~"});
  EXPECT_EQ(g->head->freeCount, 0);
}

TEST_F(FcMinTest, IndexTermsAndValidity) {
  auto f = pla(".i 3\n.o 2\n.type fr\n1-0 10\n011 01\n.e\n");
  FunctionPtr g = derive(*f);
  appendTerm(*g, "1--", "10", 2);  // meets 1-0 only, which agrees
  appendTerm(*g, "-11", "10", 1);  // meets 011, which has '0' under the '1'
  appendTerm(*g, "-11", "~1", 1);  // meets 011, agreeing
  IndexTerms(*g);
  ASSERT_EQ(g->termIndex.size(), 3u);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(g->termIndex[k]->position, k);
  EXPECT_EQ(IsTermValid(*g, 0), 1);
  EXPECT_EQ(IsTermValid(*g, 1), 0);
  EXPECT_EQ(IsTermValid(*g, 2), 1);
  appendTerm(*g, "---", "01", 3);  // the index is rebuilt from scratch
  IndexTerms(*g);
  ASSERT_EQ(g->termIndex.size(), 4u);
  EXPECT_EQ(g->termIndex[3]->position, 3);
  EXPECT_EQ(IsTermValid(*g, 3), 0);
}

// Every implicant's '1' meets no off-set minterm of the source, and every
// minterm of every source '1' lies in an implicant with '1' at that output.
void expectValidCover(const TBoolFnct& f, const TBoolFnct& g) {
  const std::uint64_t count = std::uint64_t{1} << f.inputCount;
  for (const TPfnct* t = g.head.get(); t; t = t->next.get()) {
    const std::string cube = t->input.str();
    EXPECT_EQ(t->freeCount, static_cast<int>(std::count(cube.begin(), cube.end(), '-')));
    EXPECT_EQ(t->output.find_first_not_of("10~"), std::string::npos) << t->output;
    for (std::uint64_t m = 0; m < count; ++m) {
      if (!test::cubeHasMinterm(cube, m)) continue;
      const std::string truth = test::frMintermOutput(f, m);
      for (int j = 0; j < f.outputCount; ++j)
        EXPECT_FALSE(t->output[j] == '1' && truth[j] == '0') << cube << " output " << j << " minterm " << m;
    }
  }
  for (const TPfnct* s = f.head.get(); s; s = s->next.get())
    for (int j = 0; j < f.outputCount; ++j) {
      if (s->output[j] != '1') continue;
      for (std::uint64_t m = 0; m < count; ++m) {
        if (!test::cubeHasMinterm(s->input.str(), m)) continue;
        bool covered = false;
        for (const TPfnct* t = g.head.get(); t && !covered; t = t->next.get())
          covered = t->output[j] == '1' && test::cubeHasMinterm(t->input.str(), m);
        EXPECT_TRUE(covered) << s->input.str() << " output " << j << " minterm " << m;
      }
    }
}

TEST_F(FcMinTest, RandomConsistentFunctionsAreCoveredValidly) {
  const int depths[][2] = {{10, 1}, {0, 0}, {-1, 0}, {3, 0}, {-1, 1}, {2, 1}};
  int implicants = 0;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 5), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = seed % 2 ? test::randomOverlappingFr(seed, inputs, outputs, 6 + static_cast<int>(seed % 10))
                             : test::randomFr(seed, inputs, outputs);
    depth(depths[seed % 6][0], depths[seed % 6][1]);
    SCOPED_TRACE(testing::Message() << "seed " << seed << " DF " << run.settings.depthFactor);
    run.random.seedRandom(seed);
    FunctionPtr g = FcMin(*f, run);
    ASSERT_TRUE(g);
    expectValidCover(*f, *g);
    EXPECT_EQ(test::checkCover(*f, *g), "");
    implicants += g->termCount;
    // The same seed gives the same implicants.
    run.random.seedRandom(seed);
    EXPECT_EQ(termTexts(*FcMin(*f, run)), termTexts(*g));
  }
  EXPECT_GT(implicants, 36);
}

// Terms of random cubes over n inputs, each output '1', '0' or '~', every cube holding about
// `literals` literals; a term's cube is distinct from the others' and the terms of opposite values
// at an output are kept apart by a literal, so the function is consistent.
FunctionPtr randomCubes(std::uint32_t seed, int n, int terms, int outputs) {
  std::mt19937 rng(seed);
  FunctionPtr f = create(n, outputs, 0, kTypeFr);
  std::vector<std::string> cubes, outs;
  auto disjoint = [](const std::string& a, const std::string& b) {
    for (std::size_t p = 0; p < a.size(); ++p)
      if (a[p] != '-' && b[p] != '-' && a[p] != b[p]) return true;
    return false;
  };
  while (static_cast<int>(cubes.size()) < terms) {
    std::string c(static_cast<std::size_t>(n), '-'), o(static_cast<std::size_t>(outputs), '~');
    for (char& x : c)
      if (rng() % 100 < 70) x = "01"[rng() % 2];
    for (char& x : o) x = "10~"[rng() % 3];
    bool clash = false;
    for (std::size_t k = 0; k < cubes.size() && !clash; ++k) {
      if (disjoint(c, cubes[k])) continue;
      for (int j = 0; j < outputs; ++j)
        clash = clash || (o[j] != '~' && outs[k][j] != '~' && o[j] != outs[k][j]);
    }
    if (clash) continue;
    cubes.push_back(c);
    outs.push_back(o);
    appendTerm(*f, c, o, 0);
  }
  return f;
}

TEST_F(FcMinTest, ExpandedTermsAreValidPrimesWithTheirTildesResolvedAcrossWordBoundaries) {
  // Each implicant starts as a source term with its '1's (the rest '~'); after the expansion it
  // must still meet no source term holding '0' under one of its '1's, every literal it kept must
  // be needed, and a '~' stays only where no source term it meets holds '0'.  The checks walk the
  // source terms one by one, whichever way the expansion asked.
  const int widths[] = {3, 20, 63, 64, 65, 130};
  for (int round = 0; round < 12; ++round) {
    const int n = widths[round % 6], outputs = 1 + round % 3;
    FunctionPtr f = randomCubes(500 + static_cast<std::uint32_t>(round), n, 150, outputs);
    buildLists(*f);
    FunctionPtr g = derive(*f);
    for (const TPfnct* s = f->head.get(); s; s = s->next.get()) {
      std::string o = s->output;
      for (char& x : o)
        if (x != '1') x = '~';
      if (o.find('1') != std::string::npos) appendTerm(*g, s->input, o, s->input.countDashes());
    }
    run.random.seedRandom(static_cast<std::uint32_t>(round));
    ExpandTerms(*g, run);
    SCOPED_TRACE(testing::Message() << "n " << n << " round " << round);
    int dropped = 0;
    for (int k = 0; k < g->termCount; ++k) {
      TPfnct& t = *g->termIndex[static_cast<std::size_t>(k)];
      ASSERT_EQ(IsTermValid(*g, k), 1) << t.input.str();
      dropped += t.freeCount;
      for (int i = 0; i < n; ++i) {
        const char was = t.input.get(i);
        if (was == '-') continue;
        t.input.set(i, '-');
        EXPECT_EQ(IsTermValid(*g, k), 0) << t.input.str() << " keeps a literal it does not need at " << i;
        t.input.set(i, was);
      }
      for (const TPfnct* s = f->head.get(); s; s = s->next.get()) {
        if (!s->input.intersects(t.input)) continue;
        for (int j = 0; j < outputs; ++j) EXPECT_FALSE(t.output[j] == '~' && s->output[j] == '0') << t.input.str();
      }
    }
    EXPECT_GT(dropped, 0);
  }
}

TEST_F(FcMinTest, StepPrintsItsLineAndDeterminesCovers) {
  auto f = pla(".i 2\n.o 2\n.type fr\n00 1~\n11 01\n01 00\n.e\n");
  run.random.seedRandom(8);
  std::string lines;
  run.stepLine = [&](const char* line) { lines += line; };
  FunctionPtr g = FcMinStep(*f, nullptr, run);
  EXPECT_EQ(lines, "FCmin step started .. \n\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(test::checkCover(*f, *g), "");
  int entries = 0;
  forEachTerm(*g, [&](const TPfnct& t) {
    EXPECT_EQ(t.coverCount, static_cast<int>(t.covers.size()));
    entries += t.coverCount;
  });
  EXPECT_GE(entries, 2);  // the two '1's of the source are covered entries

  // A second step merges into the accumulated set, which stays a cover.
  testing::internal::CaptureStderr();
  FunctionPtr merged = FcMinStep(*f, std::move(g), run);
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(merged);
  EXPECT_EQ(test::checkCover(*f, *merged), "");
}

// A sparse on-set without an off-set: every group expands to the whole space.  The step keeps one
// copy, so the cover lists hold each on-set term once instead of once per group.
TEST_F(FcMinTest, StepKeepsOneCopyOfRepeatedImplicants) {
  std::string text = ".i 12\n.o 1\n.type fr\n";
  for (std::uint32_t k = 0; k < 600; ++k) {
    const std::uint32_t m = (k * 2654435761u) & 0xFFF;
    for (int p = 11; p >= 0; --p) text += (m >> p) & 1 ? '1' : '0';
    text += " 1\n";
  }
  auto f = pla(text);
  run.random.seedRandom(5);
  FunctionPtr plain = FcMin(*f, run);
  ASSERT_TRUE(plain);
  EXPECT_GT(plain->termCount, 20) << "the groups themselves are many";
  run.random.seedRandom(5);
  FunctionPtr g = FcMinStep(*f, nullptr, run);
  ASSERT_TRUE(g);
  EXPECT_EQ(termTexts(*g), (std::vector<std::string>{"------------/1"}));
  EXPECT_EQ(g->head->coverCount, 600);
  EXPECT_EQ(test::checkCover(*f, *g), "");
}

TEST_F(FcMinTest, DropRepeatedImplicantsKeepsTheFirstOfEqualTerms) {
  auto f = pla(".i 2\n.o 2\n.type fr\n00 10\n.e\n");
  FunctionPtr g = derive(*f);
  for (const char* t : {"1-/10", "1-/01", "1-/10", "0-/10", "1-/01"}) {
    const std::string text = t;
    Cube c(2);
    c.set(0, text[0]);
    c.set(1, text[1]);
    appendTerm(*g, c, text.substr(3), c.countDashes());
  }
  EXPECT_EQ(DropRepeatedImplicants(*g), 2);
  EXPECT_EQ(termTexts(*g), (std::vector<std::string>{"1-/10", "1-/01", "0-/10"}));
  EXPECT_EQ(g->termCount, 3);
  EXPECT_EQ(DropRepeatedImplicants(*g), 0);
}

TEST_F(FcMinTest, StopRequestYieldsNoneAndTheStepKeepsTheAccumulatedSet) {
  auto f = pla(".i 2\n.o 2\n.type fr\n00 10\n11 01\n.e\n");
  run.progress.step = [](int, int) { return 2; };
  run.random.seedRandom(2);
  EXPECT_FALSE(FcMin(*f, run));

  FunctionPtr accumulated = derive(*f);
  appendTerm(*accumulated, "0-", "10", 1);
  TBoolFnct* kept = accumulated.get();
  testing::internal::CaptureStderr();
  FunctionPtr back = FcMinStep(*f, std::move(accumulated), run);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(back.get(), kept);
  EXPECT_EQ(termTexts(*back), std::vector<std::string>{"0-/10"});

  testing::internal::CaptureStderr();
  FunctionPtr fresh = FcMinStep(*f, nullptr, run);
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->termCount, 0);
  EXPECT_EQ(fresh->source, f.get());
}

// Groups the deadline cut short, once a set exists, would only delay the end of the run: the step
// gives the set back as it was.  Uncut, the same step adds groups to it.
TEST_F(FcMinTest, StepCutByTheDeadlineKeepsTheAccumulatedSet) {
  auto f = test::randomFr(3, 7, 2, 30);
  for (bool cut : {false, true}) {
    std::atomic<bool> flag{false};
    run.deadline = Deadline{};
    run.deadline.interrupt = &flag;
    run.progress.step = [&](int, int) {
      if (cut) flag = true;
      return 0;
    };
    run.random.seedRandom(4);
    FunctionPtr accumulated = derive(*f);
    accumulated->type = kTypeFd;
    const TBoolFnct* kept = accumulated.get();
    testing::internal::CaptureStderr();
    FunctionPtr back = FcMinStep(*f, std::move(accumulated), run);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(back.get(), kept);
    if (cut) {
      EXPECT_EQ(back->termCount, 0) << "groups of a cut step were merged";
    } else {
      EXPECT_EQ(test::checkCover(*f, *back), "");
    }
  }
  // Without a set the cut groups are all there is: the step returns them.
  std::atomic<bool> raised{true};
  run.deadline.interrupt = &raised;
  run.progress = quietHooks();
  testing::internal::CaptureStderr();
  FunctionPtr fresh = FcMinStep(*f, nullptr, run);
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->source, f.get());
}

}  // namespace
}  // namespace vorn
