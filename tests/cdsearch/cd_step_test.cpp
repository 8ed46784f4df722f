#include "cdsearch/cd_step.h"

#include <gtest/gtest.h>

#include <atomic>

#include "cdsearch/cd_test_support.h"

namespace vorn {
namespace {

using test::cubes;
using test::pla;
using test::RunScope;
using Cubes = std::vector<std::string>;

class CdStepTest : public ::testing::Test {
 protected:
  RunContext ctx;
  // Runs `iterations` CD steps, checking the accumulated set after each one.
  FunctionPtr run(TBoolFnct& f, std::uint32_t seed, int iterations, const std::string& what) {
    RunScope scope(f, ctx, seed);
    FunctionPtr s;
    for (int it = 0; it < iterations; ++it) {
      ::testing::internal::CaptureStderr();
      s = CdMinStep(f, std::move(s), ctx);
      ::testing::internal::GetCapturedStderr();
      EXPECT_TRUE(s);
      if (!s) return s;
      EXPECT_EQ(test::checkImplicantSet(f, *s), "") << what << " iteration " << it;
    }
    // The set outlives the run state, as the driver's best cover does.
    return s;
  }
};

TEST_F(CdStepTest, AccumulatedSetIsValidAndCoversForEveryMethodAndRatio) {
  const char* handMade[] = {
      ".i 3\n.o 2\n.type fr\n11- 10\n-00 01\n0-1 11\n101 00\n.e\n",
      ".i 4\n.o 3\n.type fd\n1--0 1-0\n-11- 01-\n0-0- 101\n1111 -11\n.e\n",
  };
  for (int method = 0; method <= 4; ++method)
    for (int ratio : {0, 50, 100}) {
      ctx.settings.ieMethod = method;
      ctx.settings.cdMutationRatio = ratio;
      ctx.settings.irMutationRatio = ratio;
      for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        const std::string what = "method " + std::to_string(method) + " ratio " + std::to_string(ratio) +
                                 " seed " + std::to_string(seed);
        std::vector<FunctionPtr> fs;
        for (const char* text : handMade) fs.push_back(pla(text));
        fs.push_back(test::randomFr(seed, 5, 3, 25));
        fs.push_back(test::randomFd(seed, 5, 3, 10));
        for (auto& f : fs) run(*f, seed, 3, what);
      }
    }
}

TEST_F(CdStepTest, SingleOutputModeAndSingleOutputFunctionsAreNotReduced) {
  auto two = pla(".i 3\n.o 2\n.type fr\n11- 10\n-00 01\n.e\n");
  auto one = pla(".i 3\n.o 1\n.type fr\n11- 1\n-00 0\n.e\n");
  auto count = [&](TBoolFnct& f) {
    int reductions = 0;
    RunScope scope(f, ctx);
    ctx.progress.begin = [&](const std::string& m, int, int) {
      reductions += m == "IR";
      return 0;
    };
    ::testing::internal::CaptureStderr();
    CdMinStep(f, nullptr, ctx);
    ::testing::internal::GetCapturedStderr();
    return reductions;
  };
  EXPECT_EQ(count(*two), 2);
  EXPECT_EQ(count(*one), 0);
  ctx.settings.singleOutput = 1;
  EXPECT_EQ(count(*two), 0);
}

TEST_F(CdStepTest, PrintsItsStartAndWalksEveryOutput) {
  auto f = pla(".i 2\n.o 3\n.type fr\n11 1~0\n00 0~1\n.e\n");  // output 1 has no on-set term
  RunScope scope(*f, ctx);
  std::vector<std::string> log;
  ctx.progress.begin = [&](const std::string& m, int total, int) {
    if (m == "Processing output variables") log.push_back("begin " + std::to_string(total));
    return 0;
  };
  ctx.progress.step = [&](int i, int kind) {
    if (kind == 0 && log.size() && log.back() != "end") log.push_back("step " + std::to_string(i));
    return 0;
  };
  ctx.stepLine = [&](const char* line) { log.push_back(line); };
  ::testing::internal::CaptureStderr();
  FunctionPtr s = CdMinStep(*f, nullptr, ctx);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // step lines go only where the context sends them
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "CDmin step started .. \n\n");  // once, before any work
  EXPECT_EQ(std::count(log.begin(), log.end(), "CDmin step started .. \n\n"), 1);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->source, f.get());
  EXPECT_EQ(test::checkImplicantSet(*f, *s), "");
  EXPECT_NE(std::find(log.begin(), log.end(), "begin 3"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "step 2"), log.end());
}

// -CM 100, -E0.  Seed 1 draws slot 0 (-> 1--, meets 100) then 4 (-> 11-,
// prime: 1-- and -1- meet the off-set).  Seed 6 draws slot 0 then 5 (-> 1-1),
// which expansion grows to --1 from any start.
TEST_F(CdStepTest, SeededStepGivesTheHandTracedSet) {
  auto f = pla(".i 3\n.o 1\n.type fr\n111 1\n100 0\n010 0\n.e\n");
  ctx.settings.cdMutationRatio = 100;
  ctx.settings.ieMethod = 0;
  for (int repeat = 0; repeat < 2; ++repeat) {
    EXPECT_EQ(cubes(*run(*f, 1, 1, "seed 1")), (Cubes{"11-"}));
    EXPECT_EQ(cubes(*run(*f, 6, 1, "seed 6")), (Cubes{"--1"}));
  }
}

// 11- is both on and off for output 0: CD-search stops at it, the step ends,
// and every implicant kept is still valid for the outputs it claims.
TEST_F(CdStepTest, IntersectingOnAndOffSetsDoNotHangTheStep) {
  auto f = pla(".i 3\n.o 2\n.type fr\n11- 11\n111 01\n000 11\n.e\n");
  for (int method = 0; method <= 4; ++method) {
    ctx.settings.ieMethod = method;
    RunScope scope(*f, ctx);
    ::testing::internal::CaptureStderr();
    FunctionPtr s = CdMinStep(*f, nullptr, ctx);
    s = CdMinStep(*f, std::move(s), ctx);
    ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(s);
    forEachTerm(*s, [&](const TPfnct& t) {
      for (int k = 0; k < 2; ++k) {
        if (t.output[k] == '1') {
          EXPECT_TRUE(test::oracleImplicant(*f, t.input.str(), k)) << t.input.str();
        }
      }
    });
  }
}

// A stop request inside expansion leaves the output without products; the
// step carries on and still returns a set.
TEST_F(CdStepTest, StoppedExpansionSkipsTheOutput) {
  auto f = pla(".i 3\n.o 2\n.type fr\n11- 10\n-00 01\n.e\n");
  RunScope scope(*f, ctx);
  bool inExpansion = false;
  ctx.progress.begin = [&](const std::string& m, int, int) {
    inExpansion = m.rfind("IE - ", 0) == 0;
    return 0;
  };
  ctx.progress.step = [&](int, int) { return inExpansion ? 2 : 0; };
  ::testing::internal::CaptureStderr();
  FunctionPtr s = CdMinStep(*f, nullptr, ctx);
  ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(s);
  EXPECT_EQ(s->termCount, 0);
}

// A second step whose deadline expires once its search is done, while its products are expanded or
// thinned: the products would only delay the end of the run, and the set it was given comes back as
// it was.  Uncut, the same second step changes the set.
TEST_F(CdStepTest, StepPastTheDeadlineAfterItsSearchLeavesTheSetItWasGiven) {
  int changedUncut = 0;
  for (const char* cutAt : {"IE - ", "Cheching for dominance"}) {
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
      auto f = test::randomFr(seed + 20, 7, 1, 30);
      const std::string what = std::string(cutAt) + " seed " + std::to_string(seed);
      for (bool cut : {false, true}) {
        RunScope scope(*f, ctx, seed);
        std::atomic<bool> flag{false};
        ctx.deadline = Deadline{};
        ctx.deadline.interrupt = &flag;
        FunctionPtr s = CdMinStep(*f, nullptr, ctx);
        ASSERT_TRUE(s);
        const Cubes given = cubes(*s);
        const TBoolFnct* held = s.get();
        ctx.progress.begin = [&](const std::string& m, int, int) {
          if (cut && m.rfind(cutAt, 0) == 0) flag = true;
          return 0;
        };
        s = CdMinStep(*f, std::move(s), ctx);
        ctx.progress = quietHooks();
        ASSERT_EQ(s.get(), held) << what;
        EXPECT_EQ(test::checkImplicantSet(*f, *s), "") << what;
        if (cut) {
          EXPECT_EQ(cubes(*s), given) << what;
        } else if (cubes(*s) != given) {
          ++changedUncut;
        }
      }
    }
  }
  EXPECT_GT(changedUncut, 0);
}

}  // namespace
}  // namespace vorn
