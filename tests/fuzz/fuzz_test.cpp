// Seeded random runs of the whole program.  The normal test run covers a few
// dozen seeds in a few seconds; a long local run raises the counts at compile
// time, e.g. -DVORN_FUZZ_CASES=5000 -DVORN_FUZZ_FIRST_SEED=100000.  A failing
// seed is shrunk and printed, ready to become a regression case.
#include <gtest/gtest.h>

#include "fuzz/fuzz_harness.h"

#ifndef VORN_FUZZ_CASES
#define VORN_FUZZ_CASES 150
#endif
#ifndef VORN_FUZZ_FIRST_SEED
#define VORN_FUZZ_FIRST_SEED 1
#endif

namespace {

constexpr int kCases = VORN_FUZZ_CASES;
constexpr std::uint64_t kFirstSeed = VORN_FUZZ_FIRST_SEED;
constexpr double kTimeoutSeconds = 20;
constexpr int kMaxReported = 3;  // shrinking is slow: report the first few failures in full

template <class Make>
void fuzz(Make make, const char* what) {
  int reported = 0, failures = 0;
  for (int k = 0; k < kCases; ++k) {
    const std::uint64_t seed = kFirstSeed + static_cast<std::uint64_t>(k);
    const vorn::fuzz::Case c = make(seed);
    const std::string fault = vorn::fuzz::check(c, kTimeoutSeconds);
    if (fault.empty()) continue;
    ++failures;
    if (reported++ >= kMaxReported) {
      ADD_FAILURE() << what << " seed " << seed << ": " << fault;
      continue;
    }
    const vorn::fuzz::Case small = vorn::fuzz::shrink(c, fault, kTimeoutSeconds);
    ADD_FAILURE() << what << " seed " << seed << ": " << fault << "\nshrunk case:\n" << vorn::fuzz::describe(small);
  }
  EXPECT_EQ(failures, 0) << "of " << kCases << " " << what << " cases";
}

}  // namespace

TEST(Fuzz, WellFormedFunctionsMinimizeToValidCovers) { fuzz(vorn::fuzz::wellFormedCase, "well-formed"); }

TEST(Fuzz, HostileFilesNeverCrashOrLeaveFiles) { fuzz(vorn::fuzz::hostileCase, "hostile"); }

// The judge itself must notice faults, or every run above passes vacuously.
TEST(Fuzz, JudgeRejectsWrongOutcomes) {
  vorn::fuzz::Case c;
  c.text = ".i 2\n.o 1\n.type fr\n11 1\n00 0\n";
  c.wellFormed = true;
  c.options = {"-Si1"};
  vorn::fuzz::Outcome good = vorn::fuzz::runCase(c, kTimeoutSeconds);
  ASSERT_EQ(vorn::fuzz::judge(c, good), "");

  vorn::fuzz::Outcome o = good;
  o.result = ".i 2\n.o 1\n.p 1\n.type fd\n-- 1\n.e\n";  // covers the off-set minterm 00
  EXPECT_EQ(vorn::fuzz::judge(c, o).rfind("report", 0), 0u) << "report no longer matches the file";
  o.err.replace(o.err.find("Literals: "), 11, "Literals: 0");
  EXPECT_EQ(vorn::fuzz::judge(c, o).rfind("invalid off-set minterm 00", 0), 0u);

  o = good;
  o.result = ".i 2\n.o 1\n.p 0\n.type fd\n.e\n";  // the on-set minterm 11 is lost
  EXPECT_NE(vorn::fuzz::judge(c, o), "");
  o = good;
  o.strayFiles = {"result.pla.tmp"};
  EXPECT_EQ(vorn::fuzz::judge(c, o).rfind("stray-file", 0), 0u);
  o = good;
  o.exitCode = 1;
  EXPECT_EQ(vorn::fuzz::judge(c, o).rfind("partial-output", 0), 0u);
  o = good;
  o.signal = 11;
  o.exitCode = -1;
  EXPECT_EQ(vorn::fuzz::judge(c, o).rfind("crash", 0), 0u);
}

TEST(Fuzz, ShrinkingKeepsOnlyWhatTheFaultNeeds) {
  vorn::fuzz::Case c;
  c.text = ".i 2\n.o 1\n# note\n.type fr\n11 1\n" + std::string(100, '0') + "\n00 0\n.e";
  c.options = {"-Si3", "-SD", "-CP2"};
  // A stand-in fault: it needs the -SD option, the term 11 and a line starting with eight zeros.
  const auto fails = [](const vorn::fuzz::Case& t) {
    bool sd = false;
    for (const std::string& o : t.options) sd |= o == "-SD";
    return sd && t.text.find("11 1") != std::string::npos && t.text.find("00000000") != std::string::npos;
  };
  const vorn::fuzz::Case small = vorn::fuzz::shrinkWhile(c, fails);
  EXPECT_EQ(small.options, std::vector<std::string>{"-SD"});
  EXPECT_EQ(small.text, "11 1\n" + std::string(12, '0')) << "other lines dropped, the long line halved 100-50-25-12";
  c.options = {"-Si3"};
  EXPECT_EQ(vorn::fuzz::shrinkWhile(c, fails).text, c.text) << "a case that does not fail is returned unchanged";
}
