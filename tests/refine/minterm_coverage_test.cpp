// IRREDUNDANT and REDUCE on per-minterm counts against the same steps judged
// by tautology, on sampled functions (minterm on- and off-sets, one to three
// outputs, 1 to 130 inputs across word boundaries): the covers they leave
// must be the same term for term.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "refine/cover_function.h"
#include "refine/expand.h"
#include "refine/irredundant.h"
#include "refine/minterm_coverage.h"
#include "refine/reduce.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::sampled;

/// The source's on-set terms expanded, joined by every third on-set term as it was: a cover with
/// redundant and partially redundant terms.
Cover overlapping(const RefineSource& source) {
  Cover c;
  c.in = CubeList(source.inputs);
  for (int t = 0; t < source.on.cubes.size(); ++t) c.add(source.on.cubes.cube(t), source.on.outputs[static_cast<std::size_t>(t)]);
  const OffSetTest test = OffSetTestOf(source.off);
  ExpandStats stats;
  Expand(source, test, c, ExpandParams{}, stats);
  c.compact();
  for (int t = 0; t < source.on.cubes.size(); t += 3) c.add(source.on.cubes.cube(t), source.on.outputs[static_cast<std::size_t>(t)]);
  return c;
}

std::string text(const Cover& c) {
  std::string s;
  for (int k = 0; k < c.size(); ++k) {
    s += c.alive[static_cast<std::size_t>(k)] ? '+' : '-';
    s += c.in.get(k).str() + " ";
    c.out[static_cast<std::size_t>(k)].forEach([&](int j) { s += std::to_string(j) + ","; });
    s += "\n";
  }
  return s;
}

TEST(MintermCoverage, IrredundantAndReduceGiveTheCoversOfTheTautologyChecks) {
  const int sizes[] = {1, 6, 20, 63, 64, 65, 100, 130};
  for (int round = 0; round < 24; ++round) {
    const int n = sizes[round % 8];
    const int outputs = 1 + round % 3;
    FunctionPtr f = sampled(700 + static_cast<std::uint32_t>(round), n, 160, outputs);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    ASSERT_TRUE(MintermCoverage::applies(source));
    const std::string where = "n " + std::to_string(n) + " round " + std::to_string(round);
    const Cover start = overlapping(source);

    Cover counted = start, checked = start;
    IrredundantParams ic, it;
    it.counts = false;
    IrredundantStats sc, st;
    Irredundant(source, counted, ic, sc);
    Irredundant(source, checked, it, st);
    ASSERT_EQ(text(counted), text(checked)) << where;
    EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, counted)), "") << where;

    for (bool independent : {false, true}) {
      Cover a = independent ? start : counted, b = a;
      ReduceParams rc, rt;
      rc.independent = rt.independent = independent;
      rt.counts = false;
      ReduceStats ra, rb;
      Reduce(source, a, rc, ra);
      Reduce(source, b, rt, rb);
      ASSERT_EQ(text(a), text(b)) << where << " independent " << independent;
      EXPECT_EQ(ra.reduced, rb.reduced) << where;
      EXPECT_EQ(ra.removed, rb.removed) << where;
      if (!independent) {
        EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, a)), "") << where;
      }
    }
  }
}

TEST(MintermCoverage, OnlyForOnSetsOfMinterms) {
  // An on-set term with a free input: the counts would miss a cube that two terms share.
  FunctionPtr f = test::pla(".i 3\n.o 1\n.type fr\n0-1 1\n111 0\n");
  buildLists(*f);
  EXPECT_FALSE(MintermCoverage::applies(MakeSource(*f)));
  FunctionPtr g = test::pla(".i 3\n.o 1\n.type fr\n001 1\n011 1\n111 0\n");
  buildLists(*g);
  EXPECT_TRUE(MintermCoverage::applies(MakeSource(*g)));
}

}  // namespace
}  // namespace vorn
