// Habits users bring from other PLA minimizers: the function on standard
// input without naming it, their option names, and command lines that used to
// run on with a mistake in them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frontend/help.h"
#include "support/process.h"

using namespace vorn;
using test::runVorn;

namespace {
const char kFr[] = ".i 2\n.o 1\n.type fr\n01 1\n11 1\n00 0\n";
}

TEST(Habits, WithoutASourceStandardInputIsReadWhenItIsNoTerminal) {
  const auto named = test::runVornFed({"-Si1", "-seed1", "-"}, kFr);
  ASSERT_EQ(named.exitCode, 0) << named.err;
  const auto piped = test::runVornFed({"-Si1", "-seed1"}, kFr);
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.out, named.out);
  EXPECT_EQ(piped.err.substr(0, piped.err.find("Elapsed")), named.err.substr(0, named.err.find("Elapsed")));
  EXPECT_NE(piped.err.find("Input function: -\n"), std::string::npos);
  // An empty stream holds no term.
  const auto empty = runVorn({"-info"});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_EQ(empty.err, test::banner() + "Input function: -\nFile not found\nstandard input holds no term\n");
  // On a terminal the usage text stays, also with options.
  const auto terminal = test::runVornOnTerminal({"-Si1"});
  EXPECT_EQ(terminal.exitCode, 0);
  EXPECT_EQ(terminal.err.find("syntax: VORN [options] source [destination]\n"), test::banner().size());
}

TEST(Habits, AThirdPathIsRefusedBeforeAnythingIsWritten) {
  const std::string src = test::writeFile(test::tempPath("third.pla"), kFr);
  const std::string dst = test::tempPath("third_out.pla");
  auto r = runVorn({src, dst, "1", "-St"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "unexpected argument 1 (vorn takes one source and one destination)\n");
  EXPECT_EQ(test::readFile(dst), "<missing>");
  EXPECT_EQ(test::readFile("1"), "<missing>");
  r = runVorn({src, "-St", "1"});  // the value apart from its option would become the destination
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "-St takes its number glued to it: -St1\n");
  EXPECT_EQ(test::readFile("1"), "<missing>");
  r = runVorn({"-Tminterm", src, dst, "-"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "unexpected argument - (vorn takes one source and one destination)\n");
  std::remove(src.c_str());
}

TEST(Habits, OtherMinimizersOptionsNameTheNearestOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"-Dexact", "-exact (exact minimization)"},
      {"-Dverify", "-Tverify SOURCE RESULT (checks that RESULT is a valid cover of SOURCE)"},
      {"-Dso", "-single (single-output minimization)"},
      {"-efast", "the default run (one iteration, no refinement)"},
      {"-estrong", "-refine (improves the cover after the search; -St for a time budget)"},
      {"-S1", "-exact (exact minimization)"},
      {"-Dcheck", "-Tcheck (checks the function for consistency)"},
      {"-Ddisjoint", "-Tsplit (splits intersecting terms)"},
      {"-Dminterms", "-Tminterm (splits the function into minterms)"},
      {"-Dmincov", "-exact (a minimum cover of the prime implicants)"},
      {"-Dsimplify", "the default run (one iteration, no refinement)"},
      {"-Dexpand", "-refine (expands, removes redundant terms and reduces after the search)"},
      {"-enirr", "the default run (one iteration, no refinement)"},
      {"-x", "a destination (vorn SOURCE RESULT writes the result to RESULT, not standard output)"},
      {"-s", "-statsFILE (the run's figures as JSON; the report on standard error is always printed)"},
      {"-t", "-statsFILE (the run's figures as JSON; the report on standard error is always printed)"},
  };
  const std::string src = test::writeFile(test::tempPath("other.pla"), kFr);
  const std::string dst = test::tempPath("other_out.pla");
  for (const auto& [option, nearest] : cases) {
    const auto r = runVorn({option, src, dst});
    EXPECT_EQ(r.exitCode, 1) << option;
    EXPECT_EQ(r.err, test::banner() + option + " is another minimizer's option; vorn's nearest is " + nearest + "\n");
    EXPECT_EQ(test::readFile(dst), "<missing>") << option;
  }
  // vorn's own options that share the first letters still work.
  for (const char* own : {"-St0.5", "-Si1", "-Sn1", "-Sq0", "-SD", "-single", "-seed3", "-DD0", "-DF3", "-endcov"}) {
    const auto r = runVorn({"-q", own, src, dst});
    EXPECT_EQ(r.exitCode, 0) << own << r.err;
  }
  const auto stats = runVorn({"-q", "-Si1", "-stats" + dst + ".json", src, dst});
  EXPECT_EQ(stats.exitCode, 0) << stats.err;
  EXPECT_NE(test::readFile(dst + ".json"), "<missing>");
  // Other -D letters keep the option letter's message.
  EXPECT_EQ(runVorn({"-Dfoo", src}).err, test::banner() + "Unknown option D\n");
  EXPECT_EQ(runVorn({"-Dopo", src}).err, test::banner() + "Unknown option D\n");  // no counterpart to name
  // A type other minimizers write but vorn does not is refused by vorn's own -o.
  std::remove(dst.c_str());
  EXPECT_EQ(runVorn({"-o", "eqntott", src, dst}).err, test::banner() + "Unknown output type eqntott (f, fd, fr or fdr)\n");
  EXPECT_EQ(test::readFile(dst), "<missing>");
  std::remove((dst + ".json").c_str());
  std::remove(dst.c_str());
  std::remove(src.c_str());
}
