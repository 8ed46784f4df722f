// Literal lowering: a term whose output connection IRREDUNDANT dropped grows
// into the cube it may be for the outputs it keeps and takes in the term it
// then holds; on seeded random functions the result stays a valid cover
// with no more literals, no term gains an output, and every term that stays
// holds the term it was.
#include <gtest/gtest.h>

#include "model/cost.h"
#include "refine/cover_function.h"
#include "refine/lower_literals.h"
#include "support/oracle.h"

namespace vorn {
namespace {

TEST(LowerLiterals, ATermThatLosesAnOutputDropsTheLiteralItKeptForIt) {
  // Output 0 is on at 10 and 11, off at 00 and 01; output 1 on at 11 and 01, off at 00.  The term
  // 11 kept both literals for output 0, whose connection went (1- holds it): -1 is enough for
  // output 1 and holds 01, which then goes.
  FunctionPtr f = test::pla(".i 2\n.o 2\n.type fr\n10 10\n11 11\n01 01\n00 00\n.e\n");
  buildLists(*f);
  const RefineSource source = MakeSource(*f);
  const OffSetTest test = OffSetTestOf(source.off);
  FunctionPtr start = test::pla(".i 2\n.o 2\n1- 10\n11 01\n01 01\n.e\n");
  Cover c = CoverOf(*start, source.inputs, source.outputs);
  ExpandStats es;
  IrredundantStats is;
  LowerLiterals(source, test, c, ExpandParams{}, IrredundantParams{}, es, is);
  ASSERT_EQ(c.liveCount(), 2);
  EXPECT_EQ(test::checkCover(*f, *test::asFunction(*f, c)), "");
  EXPECT_EQ(c.in.get(0).str(), "1-");
  EXPECT_EQ(c.in.get(1).countLiterals(), 1);
  EXPECT_FALSE(c.out[1].test(0));
  EXPECT_TRUE(c.out[1].test(1));
}

TEST(LowerLiterals, KeepsACoverValidWithNoMoreLiteralsAndNoNewOutputs) {
  for (std::uint32_t seed = 500; seed < 540; ++seed) {
    FunctionPtr f = test::randomFr(seed, 3 + static_cast<int>(seed % 6), 2 + static_cast<int>(seed % 3), 30);
    buildLists(*f);
    const RefineSource source = MakeSource(*f);
    const OffSetTest test = OffSetTestOf(source.off);
    // The on-set terms made prime with their outputs raised, then irredundant: connections go.
    Cover c;
    c.in = CubeList(source.inputs);
    for (int t = 0; t < source.on.cubes.size(); ++t) c.add(source.on.cubes.cube(t), source.on.outputs[static_cast<std::size_t>(t)]);
    ExpandStats es;
    ExpandParams raise;
    raise.outputsFirst = true;
    Expand(source, test, c, raise, es);
    c.compact();
    IrredundantStats is;
    Irredundant(source, c, IrredundantParams{}, is);
    c.compact();
    const Cover before = c;
    LowerLiterals(source, test, c, ExpandParams{}, IrredundantParams{}, es, is);
    ASSERT_EQ(test::checkCover(*f, *test::asFunction(*f, c)), "") << seed;
    int was = 0, now = 0;
    for (int k = 0; k < before.size(); ++k) was += before.literals(k);
    for (int k = 0; k < c.size(); ++k) now += c.literals(k);
    EXPECT_LE(now, was) << seed;
    // compact() keeps the order: match every term left with the term it was.
    int k = 0;
    for (int b = 0; b < before.size() && k < c.size(); ++b) {
      if (!c.in.get(k).contains(before.in.get(b))) continue;
      EXPECT_TRUE(c.out[static_cast<std::size_t>(k)].subsetOf(before.out[static_cast<std::size_t>(b)])) << seed;
      ++k;
    }
    EXPECT_EQ(k, c.size()) << "seed " << seed << ": a term left holds no term of the cover it came from";
  }
}

}  // namespace
}  // namespace vorn
