#include <gtest/gtest.h>

#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;
using test::runVorn;
using test::runVornFed;

namespace {
const char kFr[] = ".i 3\n.o 2\n.ilb a b c\n.ob f g\n.type fr\n000 10\n011 11\n1-1 01\n110 00\n0-1 ~1\n";

std::string summary(const std::string& path, int terms = 5) {
  return "Input function: " + path + "\nFunction type: fr\nInput variables: 3\nOutput variables: 2\nDefined terms: " +
         std::to_string(terms) + "\n\n";
}
}  // namespace

TEST(StandardStreams, InfoReadsTheFunctionFromStandardInput) {
  const auto r = runVornFed({"-info", "-"}, kFr);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, test::banner() + summary("-"));
  const std::string file = test::writeFile(test::tempPath("info.pla"), kFr);
  EXPECT_EQ(r.out, runVorn({"-info", file}).out);
  EXPECT_EQ(r.out.rfind("Terms: 5\n", 0), 0u);
}

TEST(StandardStreams, MinimizeFromStandardInputToStandardOutput) {
  const auto r = runVornFed({"-Si4", "-"}, kFr);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err.rfind(test::banner() + summary("-") + "Minimizing...\n\n", 0), 0u) << r.err;
  const auto source = test::pla(kFr);
  const auto result = test::pla(r.out);
  EXPECT_EQ(test::checkCover(*source, *result), "");
}

TEST(StandardStreams, MinimizeFromStandardInputToAFile) {
  const std::string dst = test::tempPath("stdin_out.pla");
  const auto r = runVornFed({"-Si4", "-", dst}, kFr);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const auto source = test::pla(kFr);
  const auto result = test::pla(test::readFile(dst));
  EXPECT_EQ(test::checkCover(*source, *result), "");
  std::remove(dst.c_str());
}

TEST(StandardStreams, ALoneDashAsDestinationIsStandardOutput) {
  const std::string src = test::writeFile(test::tempPath("dash.pla"), kFr);
  const std::string dst = test::tempPath("dash_out.pla");
  ASSERT_EQ(runVorn({"-Tminterm", src, dst}).exitCode, 0);
  const std::string expected = test::readFile(dst);
  EXPECT_EQ(runVorn({"-Tminterm", src, "-"}).out, expected);
  const auto piped = runVornFed({"-Tminterm", "-", "-"}, kFr);
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.out, expected);
  const std::string dst2 = test::tempPath("dash_out2.pla");
  EXPECT_EQ(runVornFed({"-Tminterm", "-", dst2}, kFr).out, "");
  EXPECT_EQ(test::readFile(dst2), expected);
  std::remove(dst.c_str());
  std::remove(dst2.c_str());
}

TEST(StandardStreams, EmptyOrMalformedInputIsAClearError) {
  for (const std::string text : {"", ".i 3\n.o 2\n.e\n", "# only a comment\n"}) {
    const auto r = runVornFed({"-info", "-"}, text);
    EXPECT_EQ(r.exitCode, 1) << text;
    EXPECT_EQ(r.err, test::banner() + "Input function: -\nFile not found\nstandard input holds no term\n") << text;
    EXPECT_EQ(r.out, "");
  }
  const auto r = runVornFed({"-"}, ".i 70000\n.o 1\n0 1\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("standard input: line 1: Number of inputs out of range: 70000"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}
