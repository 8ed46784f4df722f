#include <gtest/gtest.h>

#include <regex>

#include "frontend/cli.h"
#include "frontend/help.h"
#include "support/process.h"

using namespace vorn;
using test::runVorn;

namespace {
const char kSmall[] = ".i 2\n.o 1\n.type fr\n01 1\n10 0\n";
}

TEST(Help, BothSpellingsPrintUsageAndFurtherOptionsOnStandardOutput) {
  for (const char* arg : {"-h", "--help"}) {
    const auto r = runVorn({arg});
    EXPECT_EQ(r.exitCode, 0) << arg;
    EXPECT_EQ(r.out, std::string(usageText()) + furtherOptionsText()) << arg;
    EXPECT_EQ(r.err, test::banner()) << arg;
  }
  // The old usage text stays the head of the help, unchanged.
  const std::string help = helpText();
  EXPECT_EQ(help.rfind(usageText(), 0), 0u);
  // The further options begin with the recommended run, then list the options.
  EXPECT_NE(help.find("\nFurther Options:\n    Recommended: vorn -refine [-Stn] source [destination]."), std::string::npos);
  EXPECT_NE(help.find("x.\n    -h, --help "), std::string::npos);
}

TEST(Help, AskingReplacesTheRunAndStopsParsing) {
  const std::string src = test::writeFile(test::tempPath("help.pla"), kSmall);
  const std::string dst = test::tempPath("help_out.pla");
  auto r = runVorn({"-Si3", src, "-h", "-z", dst});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, helpText());
  EXPECT_EQ(r.err, test::banner());
  EXPECT_EQ(test::readFile(dst), "<missing>");
  r = runVorn({"-z", "-h"});  // a fatal argument before it still ends the run
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Unknown parameter -z\n");
  EXPECT_EQ(r.out, "");
  r = runVorn({"-Tfoo", "--version"});  // a mistyped word before it ends the run too
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Unknown parameter -Tfoo\n");
  EXPECT_EQ(r.out, "");
  r = runVorn({"-help"});  // the spelling other minimizers use
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, helpText());
}

TEST(Help, NearMissesAreUnknownParameters) {
  for (const char* arg : {"-helpx", "-hx", "--", "--helpx", "--Version", "---help"}) {
    const auto r = runVorn({arg, "x.pla"});
    EXPECT_EQ(r.exitCode, 1) << arg;
    EXPECT_EQ(r.err, test::banner() + "Unknown parameter " + arg + "\n") << arg;
    EXPECT_EQ(r.out, "") << arg;
  }
}

TEST(Version, NamesTheVersionCompilerAndBuildDate) {
  const auto r = runVorn({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, test::banner());
  // The test is built by the same compiler as the program.
  const std::regex expected("vorn 2\\.2 beta\ncompiled by " + std::regex_replace(compilerName(), std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&") +
                            " on [0-9]{4}-[0-9]{2}-[0-9]{2}\n");
  EXPECT_TRUE(std::regex_match(r.out, expected)) << r.out;
  EXPECT_EQ(r.out, versionText());
}

TEST(Version, CompilerDatesBecomeIsoDates) {
  EXPECT_EQ(isoDate("Dec  8 2026"), "2026-12-08");
  EXPECT_EQ(isoDate("Jan 31 1999"), "1999-01-31");
  EXPECT_EQ(isoDate("Sep 10 2030"), "2030-09-10");
  EXPECT_EQ(isoDate("Foo 10 2030"), "Foo 10 2030");  // not a compiler date: kept as it is
  EXPECT_EQ(isoDate("anFe 1 2000"), "anFe 1 2000");  // a month name must start on its boundary
  EXPECT_EQ(isoDate(""), "");
}
