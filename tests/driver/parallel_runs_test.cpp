#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/process.h"

using vorn::test::runVorn;

namespace {

const std::string kSource = std::string(VORN_SOURCE_DIR) + "/tests/golden/pla/";

int reported(const std::string& err, const std::string& label) {
  const std::size_t at = err.find(label);
  return at == std::string::npos ? -1 : std::stoi(err.substr(at + label.size()));
}

std::string maskTime(const std::string& err) {
  return std::regex_replace(err, std::regex("Elapsed time: [0-9.]+ s"), "Elapsed time: <masked> s");
}

std::vector<std::string> args(std::vector<std::string> options, const std::string& file) {
  options.push_back(kSource + file);
  return options;
}

}  // namespace

// The set's result is the result of the cheapest single run among its seeds
// (by the default criterion, literals), the lowest seed among equals, byte
// for byte; the report counts the iterations of every run.
TEST(ParallelRuns, SetGivesTheCheapestSingleRunOfItsSeeds) {
  for (const char* file : {"sex.pla", "dk27.pla", "p82.pla"}) {
    const int jobs = 3;
    const std::uint32_t seed = 41;
    std::string bestOut;
    int bestCost = -1;
    for (int k = 0; k < jobs; ++k) {
      const auto single = runVorn(args({"-Si6", "-FR30", "-seed" + std::to_string(seed + k)}, file));
      ASSERT_EQ(single.exitCode, 0) << single.err;
      const int cost = reported(single.err, "\nLiterals: ");
      if (bestCost < 0 || cost < bestCost) bestCost = cost, bestOut = single.out;
    }
    const auto set = runVorn(args({"-Si6", "-FR30", "-j3", "-seed41"}, file));
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, bestOut) << file;
    EXPECT_EQ(reported(set.err, "\nLiterals: "), bestCost) << file;
    EXPECT_EQ(reported(set.err, "\nIterations: "), 6 * jobs) << file;
    const auto again = runVorn(args({"-Si6", "-FR30", "-j3", "-seed41"}, file));
    EXPECT_EQ(again.out, set.out) << file;  // deterministic
  }
}

TEST(ParallelRuns, OneJobIsTheSingleRunAndStepLinesComeFromOneRun) {
  const auto single = runVorn(args({"-Si4", "-seed9"}, "wim.pla"));
  const auto one = runVorn(args({"-Si4", "-j1", "-seed9"}, "wim.pla"));
  EXPECT_EQ(one.out, single.out);
  EXPECT_EQ(maskTime(one.err), maskTime(single.err));
  const auto two = runVorn(args({"-Si4", "-j2", "-seed9"}, "wim.pla"));
  auto count = [](const std::string& s) {
    int n = 0;
    for (std::size_t at = s.find("step started"); at != std::string::npos; at = s.find("step started", at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(two.err), 4);  // only the first run prints its step lines
}

TEST(ParallelRuns, BadJobCountsEndTheRun) {
  for (const char* bad : {"-j", "-j0", "-j257", "-jx", "-j2x", "-j-1"}) {
    const auto r = runVorn({bad, "x.pla"});
    EXPECT_EQ(r.exitCode, 1) << bad;
    EXPECT_EQ(r.err, vorn::test::banner() + "Invalid job count " + bad + " (expected -j and a number from 1 to 256)\n")
        << bad;
  }
}

TEST(ParallelRuns, TimeLimitEndsTheWholeSet) {
  const auto r = runVorn(args({"-St0.2", "-j2", "-seed3"}, "sex.pla"));
  EXPECT_EQ(r.exitCode, 0);
  const std::size_t at = r.err.find("Elapsed time: ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_LT(std::stod(r.err.substr(at + 14)), 5.0);
  EXPECT_NE(r.out.find(".e\n"), std::string::npos);
}
