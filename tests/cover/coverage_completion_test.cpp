// Coverage completion after a cut-short step: copies of the source terms
// whose on-set entries no implicant covers, one per cube, '1' exactly at the
// missing outputs.
#include "cover/coverage_completion.h"

#include <gtest/gtest.h>

#include "cover/cover_fixtures.h"
#include "cover/cover_selection.h"
#include "support/oracle.h"

namespace vorn::test {
namespace {

std::vector<TermSpec> termsOf(const TBoolFnct& f) {
  std::vector<TermSpec> out;
  forEachTerm(f, [&](const TPfnct& t) { out.push_back({t.input.str(), t.output}); });
  return out;
}

TEST(CoverageCompletion, AddsOneCopyPerSourceCubeWithItsMissingOutputs) {
  FunctionPtr src = makeFunction(2, 3, {{"00", "110"}, {"01", "011"}, {"11", "100"}, {"10", "000"}});
  buildLists(*src);
  RunContext run;
  // 0- covers 00 and 01 at output 1 only: outputs 0 and 2 miss what they need.
  FunctionPtr imps = deriveWith(*src, {{"0-", "010"}});
  DetermineCover(*imps, run);
  EXPECT_EQ(CompleteCoverage(*imps, run), 3);
  EXPECT_EQ(termsOf(*imps), (std::vector<TermSpec>{{"0-", "010"}, {"11", "100"}, {"00", "100"}, {"01", "001"}}));
  // The copies carry their cover lists: the set now makes a valid cover.
  FunctionPtr cover = CoverMultiOutput(*imps, run);
  ASSERT_TRUE(cover);
  EXPECT_EQ(checkCover(*src, *cover), "");
  // Nothing is missing any more: a second call adds nothing.
  EXPECT_EQ(CompleteCoverage(*imps, run), 0);
  EXPECT_EQ(imps->termCount, 4);
}

TEST(CoverageCompletion, EmptySetOfARandomFunctionBecomesACover) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    FunctionPtr src = randomFr(seed, 2 + seed % 5, 1 + seed % 4);
    buildLists(*src);
    RunContext run;
    FunctionPtr imps = derive(*src);
    CompleteCoverage(*imps, run);
    FunctionPtr cover = CoverMultiOutput(*imps, run);
    ASSERT_TRUE(cover) << seed;
    EXPECT_EQ(checkCover(*src, *cover), "") << seed;
  }
}

}  // namespace
}  // namespace vorn::test
