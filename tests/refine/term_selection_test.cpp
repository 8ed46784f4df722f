// The choice among partially redundant terms as a covering problem, against
// a brute-force minimum over every subset judged by the independent cover
// checker, on seeded random functions whose on-set terms are minterms; and
// IRREDUNDANT with that choice against IRREDUNDANT without it; of terms
// alike one stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/cost.h"
#include "refine/cover_function.h"
#include "refine/irredundant.h"
#include "refine/term_selection.h"
#include "support/oracle.h"

namespace vorn {
namespace {

/// A random fr function written minterm by minterm: each minterm and output is on, off or don't-care.
FunctionPtr mintermFr(std::mt19937& rng, int inputs, int outputs) {
  std::string text = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type fr\n";
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << inputs); ++m) {
    std::string out(static_cast<std::size_t>(outputs), '~');
    bool any = false;
    for (char& c : out) {
      const int r = static_cast<int>(rng() % 10);
      if (r < 4) c = '1', any = true;
      else if (r < 8) c = '0', any = true;
    }
    if (any) text += test::mintermText(m, inputs) + " " + out + "\n";
  }
  return test::pla(text);
}

/// Implicants of output j of f made by dropping the literals of its on-set minterms in a random order
/// while no off-set minterm of j comes inside; one per on-set minterm and output, duplicates left out.
std::vector<std::pair<std::string, int>> randomImplicants(TBoolFnct& f, std::mt19937& rng) {
  const int n = f.inputCount;
  std::vector<std::pair<std::string, int>> terms;
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << n); ++m) {
    const std::string value = test::evaluate(f, m);
    for (int j = 0; j < f.outputCount; ++j) {
      if (value[static_cast<std::size_t>(j)] != '1') continue;
      std::string cube = test::mintermText(m, n);
      std::vector<int> order(static_cast<std::size_t>(n));
      for (int p = 0; p < n; ++p) order[static_cast<std::size_t>(p)] = p;
      std::shuffle(order.begin(), order.end(), rng);
      for (int p : order) {
        std::string wider = cube;
        wider[static_cast<std::size_t>(p)] = '-';
        bool fits = true;
        for (std::uint64_t x = 0; x < (std::uint64_t{1} << n) && fits; ++x)
          fits = !test::cubeHasMinterm(wider, x) || test::evaluate(f, x)[static_cast<std::size_t>(j)] != '0';
        if (fits) cube = wider;
      }
      if (std::find(terms.begin(), terms.end(), std::make_pair(cube, j)) == terms.end()) terms.emplace_back(cube, j);
    }
  }
  return terms;
}

int literalCount(const Cover& c, int k) {
  const Cube cube = c.in.get(k);
  int n = 0;
  for (int p = 0; p < cube.size(); ++p) n += cube.isLiteral(p);
  return n;
}

TEST(TermSelection, FindsTheCheapestSubsetThatStillCovers) {
  int compared = 0;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    const int inputs = 3 + static_cast<int>(seed % 4), outputs = 1 + static_cast<int>(seed % 3);
    FunctionPtr f = mintermFr(rng, inputs, outputs);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(source.on.hasColumns());
    Cover cover;
    cover.in = CubeList(source.inputs);
    for (const auto& [cube, j] : randomImplicants(*f, rng)) {
      CubeList one(source.inputs);
      one.push(Cube(cube));
      OutputSet o(source.outputs);
      o.set(j);
      cover.add(one.cube(0), o);
    }
    if (cover.size() == 0) continue;
    // The last terms (at most 12) are open; the others stay whatever is chosen.
    std::vector<int> open;
    for (int k = std::max(0, cover.size() - 12); k < cover.size(); ++k) open.push_back(k);
    const TermWeights w;
    std::vector<long long> weight(static_cast<std::size_t>(cover.size()));
    for (int k = 0; k < cover.size(); ++k) weight[static_cast<std::size_t>(k)] = w.term(literalCount(cover, k), 1);

    // Brute force: the cheapest subset of the open terms that leaves a valid cover.
    long long minimum = -1;
    for (std::uint32_t mask = 0; mask < (1u << open.size()); ++mask) {
      Cover trial = cover;
      long long cost = 0;
      for (std::size_t i = 0; i < open.size(); ++i) {
        const bool keep = mask >> i & 1;
        trial.alive[static_cast<std::size_t>(open[i])] = keep;
        if (keep) cost += weight[static_cast<std::size_t>(open[i])];
      }
      if (minimum >= 0 && cost >= minimum) continue;
      FunctionPtr g = test::asFunction(*f, trial);
      if (test::checkCover(*f, *g).empty()) minimum = cost;
    }
    ASSERT_GE(minimum, 0) << "seed " << seed;  // all of them together cover

    Cover chosen = cover;
    SelectionStats stats;
    ASSERT_TRUE(SelectTerms(source, chosen, open, weight, nullptr, stats)) << "seed " << seed;
    EXPECT_EQ(stats.solved, 1) << "seed " << seed;
    FunctionPtr g = test::asFunction(*f, chosen);
    EXPECT_EQ(test::checkCover(*f, *g), "") << "seed " << seed;
    long long cost = 0;
    for (int k : open)
      if (chosen.alive[static_cast<std::size_t>(k)]) cost += weight[static_cast<std::size_t>(k)];
    EXPECT_EQ(cost, minimum) << "seed " << seed;
    for (int k = 0; k < cover.size(); ++k)
      if (std::find(open.begin(), open.end(), k) == open.end()) {
        EXPECT_TRUE(chosen.alive[static_cast<std::size_t>(k)]) << "seed " << seed << ": a term not open went";
      }
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

/// A cover of two-input terms, each feeding the one output.
Cover oneOutputCover(std::initializer_list<const char*> texts) {
  Cover cover;
  cover.in = CubeList(2);
  OutputSet o(1);
  o.set(0);
  for (const char* text : texts) {
    CubeList one(2);
    one.push(Cube(text));
    cover.add(one.cube(0), o);
  }
  return cover;
}

TEST(TermSelection, DeclinesWhenAnOnSetCubeIsHeldOnlyByAUnion) {
  // The on-set cube 0- is held by 00 and 01 together, by neither alone.
  FunctionPtr f = test::pla(".i 2\n.o 1\n.type fr\n0- 1\n1- 0\n");
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  Cover cover = oneOutputCover({"00", "01"});
  SelectionStats stats;
  const Cover before = cover;
  EXPECT_FALSE(SelectTerms(source, cover, {0, 1}, {2001, 2001}, nullptr, stats));
  EXPECT_EQ(cover.alive, before.alive);
}

TEST(TermSelection, KeepsOneOfTwoEqualTermsAndNoneThatACheaperOneHolds) {
  // On at 10 and 11, off at 00 and 01: 1- twice (alike), 11 and 10 (each inside 1-, and dearer).
  FunctionPtr f = test::pla(".i 2\n.o 1\n.type fr\n10 1\n11 1\n00 0\n01 0\n");
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  Cover cover = oneOutputCover({"11", "1-", "10", "1-"});
  SelectionStats stats;
  ASSERT_TRUE(SelectTerms(source, cover, {0, 1, 2, 3}, {2002, 2001, 2002, 2001}, nullptr, stats));
  EXPECT_EQ(stats.solved, 1);
  EXPECT_FALSE(cover.alive[0]);
  EXPECT_FALSE(cover.alive[2]);
  EXPECT_EQ(cover.alive[1] + cover.alive[3], 1);
}

TEST(TermSelection, IrredundantWithTheCoveringChoiceIsNeverCostlier) {
  int cheaper = 0;
  for (std::uint32_t seed = 100; seed < 140; ++seed) {
    std::mt19937 rng(seed);
    FunctionPtr f = mintermFr(rng, 4 + static_cast<int>(seed % 3), 1);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    Cover cover;
    cover.in = CubeList(source.inputs);
    for (const auto& [cube, j] : randomImplicants(*f, rng)) {
      CubeList one(source.inputs);
      one.push(Cube(cube));
      OutputSet o(1);
      o.set(j);
      cover.add(one.cube(0), o);
    }
    Cover greedy = cover, minimum = cover;
    IrredundantParams gp, mp;
    gp.minimum = false;
    IrredundantStats gs, ms;
    Irredundant(source, greedy, gp, gs);
    Irredundant(source, minimum, mp, ms);
    FunctionPtr g = test::asFunction(*f, greedy), m = test::asFunction(*f, minimum);
    ASSERT_EQ(test::checkCover(*f, *m), "") << "seed " << seed;
    computeStatistics(*g);
    computeStatistics(*m);
    EXPECT_LE(m->literals, g->literals) << "seed " << seed;
    cheaper += m->literals < g->literals;
  }
  EXPECT_GT(cheaper, 0);  // the greedy choice is not always the cheapest
}

}  // namespace
}  // namespace vorn
