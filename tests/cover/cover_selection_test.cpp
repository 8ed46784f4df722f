// Cover builders and output sparsing, by hand and against the truth-table oracle.
#include "cover/cover_selection.h"

#include <gtest/gtest.h>

#include "cover/cover_fixtures.h"
#include "model/random.h"
#include "model/settings.h"

namespace vorn::test {
namespace {

class CoverSelection : public ::testing::Test {
 protected:
  RunContext run;
  static std::vector<std::string> terms(const TBoolFnct& f) {
    std::vector<std::string> out;
    forEachTerm(f, [&](const TPfnct& t) { out.push_back(t.input.str() + " " + t.output); });
    return out;
  }
};

TEST_F(CoverSelection, SharedImplicantGivesOneMultiTermAndTwoSingleTerms) {
  FunctionPtr src = makeFunction(2, 2, {{"11", "11"}, {"10", "11"}, {"0-", "00"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"11", "11"}, {"1-", "11"}, {"10", "10"}});
  DetermineCover(*imps, run);
  for (int method = 0; method < 4; ++method) {
    run.settings.cpMethod = method;
    FunctionPtr multi = CoverMultiOutput(*imps, run);
    ASSERT_TRUE(multi);
    EXPECT_EQ(terms(*multi), std::vector<std::string>{"1- 11"}) << method;
    EXPECT_EQ(multi->type, 0);
    EXPECT_EQ(multi->source, src.get());
    EXPECT_EQ(checkCover(*src, *multi), "");
    // The cover term carries its implicant's entries in reverse order.
    const TPfnct& imp = *imps->head->next;
    ASSERT_EQ(multi->head->coverCount, imp.coverCount);
    EXPECT_EQ(multi->head->covers.front().onIndex, imp.covers.back().onIndex);
    EXPECT_EQ(multi->head->covers.front().output, imp.covers.back().output);

    FunctionPtr single = CoverSingleOutput(*imps, run);
    ASSERT_TRUE(single);
    EXPECT_EQ(terms(*single), (std::vector<std::string>{"1- 10", "1- 01"})) << method;
    EXPECT_TRUE(single->head->covers.empty());
    EXPECT_EQ(checkCover(*src, *single), "");
  }
}

TEST_F(CoverSelection, SparsingDropsUnneededConnectionsAsTildeOrZero) {
  // Output 0 needs both terms; output 1 has one on-set term that only "1-" contains.
  FunctionPtr src = makeFunction(2, 2, {{"1-", "1~"}, {"0-", "1~"}, {"11", "~1"}});
  buildLists(*src);
  for (int sd = 0; sd < 2; ++sd) {
    run.settings.substituteOutputDc = sd;
    FunctionPtr cover = deriveWith(*src, {{"1-", "11"}, {"0-", "11"}});
    cover->type = kTypeFd;
    DetermineCover(*cover, run);
    ASSERT_TRUE(SparseOutputMatrix(*cover, run));
    EXPECT_EQ(terms(*cover), (std::vector<std::string>{"1- 11", sd ? "0- 10" : "0- 1~"}));
  }
}

TEST_F(CoverSelection, SparsingDeletesATermNoOutputNeeds) {
  FunctionPtr src = makeFunction(2, 2, {{"1-", "1~"}, {"11", "~1"}});
  buildLists(*src);
  FunctionPtr cover = deriveWith(*src, {{"11", "01"}, {"1-", "11"}, {"11", "11"}});
  cover->type = kTypeFd;
  DetermineCover(*cover, run);
  std::vector<std::string> log;
  run.progress.begin = [&](const std::string& m, int total, int) {
    log.push_back(m + " " + std::to_string(total));
    return 0;
  };
  ASSERT_TRUE(SparseOutputMatrix(*cover, run));
  // Output 0 needs "1-" alone; output 1 takes the first of three equal rows
  // in row order (the last term).  The first term is needed nowhere and goes.
  EXPECT_EQ(terms(*cover), (std::vector<std::string>{"1- 1~", "11 ~1"}));
  EXPECT_EQ(cover->termCount, 2);
  EXPECT_EQ(cover->head->input.str(), "1-");
  EXPECT_EQ(cover->tail, cover->head->next.get());
  EXPECT_EQ(log.front(), "Sparsing output matrix 2");
  EXPECT_EQ(checkCover(*src, *cover), "");
}

TEST_F(CoverSelection, UncoveredOnSetTermIsAFailure) {
  FunctionPtr src = makeFunction(2, 2, {{"11", "11"}, {"00", "10"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"11", "11"}});  // nothing covers 00 of output 0
  DetermineCover(*imps, run);
  for (int method = 0; method < 4; ++method) {
    run.settings.cpMethod = method;
    EXPECT_EQ(CoverMultiOutput(*imps, run), nullptr) << method;
    EXPECT_EQ(CoverSingleOutput(*imps, run), nullptr) << method;
  }
  FunctionPtr cover = deriveWith(*src, {{"11", "11"}});
  cover->type = kTypeFd;
  DetermineCover(*cover, run);
  EXPECT_FALSE(SparseOutputMatrix(*cover, run));
  EXPECT_EQ(terms(*cover), std::vector<std::string>{"11 11"});  // left untouched
}

TEST_F(CoverSelection, NoOnSetGivesAnEmptyCover) {
  FunctionPtr src = makeFunction(2, 1, {{"11", "0"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"11", "1"}});
  DetermineCover(*imps, run);
  FunctionPtr multi = CoverMultiOutput(*imps, run);
  ASSERT_TRUE(multi);
  EXPECT_EQ(multi->termCount, 0);
  FunctionPtr single = CoverSingleOutput(*imps, run);
  ASSERT_TRUE(single);
  EXPECT_EQ(single->termCount, 0);
}

/// Implicants of a random function: each on-set term of each output raised
/// literal by literal while the cube meets no off-set minterm of that output.
FunctionPtr expandedImplicants(TBoolFnct& src) {
  FunctionPtr imps = derive(src);
  const int n = src.inputCount;
  for (int i = 0; i < src.outputCount; ++i) {
    for (const ListEntry& e : src.onLists[static_cast<std::size_t>(i)]) {
      std::string cube = e.input().str();
      for (int p = 0; p < n; ++p) {
        if (cube[static_cast<std::size_t>(p)] == '-') continue;
        std::string wider = cube;
        wider[static_cast<std::size_t>(p)] = '-';
        bool clean = true;
        for (std::uint64_t m = 0; m < (std::uint64_t{1} << n) && clean; ++m)
          if (cubeHasMinterm(wider, m) && evaluate(src, m)[static_cast<std::size_t>(i)] == '0') clean = false;
        if (clean) cube = wider;
      }
      std::string out(static_cast<std::size_t>(src.outputCount), '0');
      out[static_cast<std::size_t>(i)] = '1';
      // Also put the cube on every other output where it meets no off-set minterm.
      for (int j = 0; j < src.outputCount; ++j) {
        bool clean = true;
        for (std::uint64_t m = 0; m < (std::uint64_t{1} << n) && clean; ++m)
          if (cubeHasMinterm(cube, m) && evaluate(src, m)[static_cast<std::size_t>(j)] == '0') clean = false;
        if (clean) out[static_cast<std::size_t>(j)] = '1';
      }
      appendTerm(*imps, cube, out, 0)->freeCount = static_cast<int>(std::count(cube.begin(), cube.end(), '-'));
    }
  }
  return imps;
}

TEST_F(CoverSelection, RandomFunctionsAreCoveredByEveryMethod) {
  for (std::uint32_t seed = 1; seed <= 25; ++seed) {
    FunctionPtr src = randomFr(seed, 4, 3);
    buildLists(*src);
    FunctionPtr imps = expandedImplicants(*src);
    DetermineCover(*imps, run);
    int exactTerms = -1;
    for (int method = 3; method >= 0; --method) {
      run.settings.cpMethod = method;
      run.random.seedRandom(seed);
      FunctionPtr multi = CoverMultiOutput(*imps, run);
      ASSERT_TRUE(multi);
      EXPECT_EQ(checkCover(*src, *multi), "") << seed << " " << method;
      if (method == 3) exactTerms = multi->termCount;
      EXPECT_GE(multi->termCount, exactTerms);
      ASSERT_TRUE(SparseOutputMatrix(*multi, run));
      EXPECT_EQ(checkCover(*src, *multi), "") << "sparsed " << seed << " " << method;
      FunctionPtr single = CoverSingleOutput(*imps, run);
      ASSERT_TRUE(single);
      EXPECT_EQ(checkCover(*src, *single), "") << "single " << seed << " " << method;
    }
  }
}

}  // namespace
}  // namespace vorn::test
