// The -Tcheck, -Tsplit and -Tminterm modes, run as the built program: exact
// standard error, standard output, exit code, and no file written after a failure.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/process.h"

namespace vorn {
namespace {

using test::banner;
using test::readFile;
using test::runVorn;
using test::tempPath;
using test::writeFile;

std::string header(const std::string& path, const char* type, int inputs, int outputs, int terms) {
  return banner() + "Input function: " + path + "\nFunction type: " + type + "\nInput variables: " +
         std::to_string(inputs) + "\nOutput variables: " + std::to_string(outputs) + "\nDefined terms: " +
         std::to_string(terms) + "\n\n";
}

const char kCrossing[] = ".i 2\n.o 1\n.type fr\n1- 1\n-1 -\n.e\n";
const char kClash[] = ".i 2\n.o 1\n.type fr\n1- 1\n-1 0\n.e\n";

TEST(SpecialActionsTest, CheckReportsBothOutcomesWithExitZero) {
  const std::string good = writeFile(tempPath("check_good.pla"), ".i 2\n.o 1\n.type fr\n1- 1\n0- 0\n.e\n");
  test::RunResult r = runVorn({"-Tcheck", good});
  EXPECT_EQ(r.err, header(good, "fr", 2, 1, 2) + "Function is consistent\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 0);

  const std::string bad = writeFile(tempPath("check_bad.pla"), kCrossing);
  r = runVorn({"-Tcheck", bad});
  EXPECT_EQ(r.err, header(bad, "fr", 2, 1, 2) + "Inconsistent function!\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 0);
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

TEST(SpecialActionsTest, SplitWritesTheSplitFunction) {
  const std::string src = writeFile(tempPath("split.pla"), kCrossing);
  test::RunResult r = runVorn({"-Tsplit", src});
  EXPECT_EQ(r.err, header(src, "fr", 2, 1, 2) + "OK\n");
  // The on-set point 11 of the first term stays on: the second term's '-' says less.
  EXPECT_EQ(r.out, ".i 2\n.o 1\n.p 3\n.ilb x0 x1\n.ob y0\n.type fr\n10 1\n01 -\n11 1\n.e\n");
  EXPECT_EQ(r.exitCode, 0);

  const std::string dst = tempPath("split_out.pla");
  std::remove(dst.c_str());
  r = runVorn({"-Tsplit", src, dst});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readFile(dst), ".i 2\n.o 1\n.p 3\n.ilb x0 x1\n.ob y0\n.type fr\n10 1\n01 -\n11 1\n.e\n");
  std::remove(src.c_str());
  std::remove(dst.c_str());
}

TEST(SpecialActionsTest, SplitRefusesFd) {
  const std::string src = writeFile(tempPath("split_fd.pla"), ".i 2\n.o 1\n1- 1\n.e\n");
  const std::string dst = tempPath("split_fd_out.pla");
  std::remove(dst.c_str());
  test::RunResult r = runVorn({"-Tsplit", src, dst});
  EXPECT_EQ(r.err, header(src, "fd", 2, 1, 1) + "Function must be fr type\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(readFile(dst), "<missing>");
  std::remove(src.c_str());
}

TEST(SpecialActionsTest, SplitWorksOnFdrAndRefusesFAndR) {
  const std::string src = writeFile(tempPath("split_fdr.pla"), ".i 2\n.o 1\n.type fdr\n1- 1\n-1 -\n.e\n");
  const std::string dst = tempPath("split_fdr_out.pla");
  test::RunResult r = runVorn({"-Tsplit", src, dst});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(readFile(dst), ".i 2\n.o 1\n.p 3\n.ilb x0 x1\n.ob y0\n.type fdr\n10 1\n01 -\n11 1\n.e\n");
  for (const char* type : {"f", "r"}) {
    writeFile(src, std::string(".i 2\n.o 1\n.type ") + type + "\n1- 1\n");
    r = runVorn({"-Tsplit", src, dst});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Function must be fr type\n"), std::string::npos);
  }
  std::remove(src.c_str());
  std::remove(dst.c_str());
}

TEST(SpecialActionsTest, InconsistentSplitsWriteNothing) {
  const std::string src = writeFile(tempPath("clash.pla"), kClash);
  const std::string dst = tempPath("clash_out.pla");
  for (const char* mode : {"-Tsplit", "-Tminterm"}) {
    SCOPED_TRACE(mode);
    std::remove(dst.c_str());
    test::RunResult r = runVorn({mode, src, dst});
    EXPECT_EQ(r.err, header(src, "fr", 2, 1, 2) + "Inconsistent function");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dst), "<missing>");
    r = runVorn({mode, src});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.exitCode, 1);
  }
  std::remove(src.c_str());
}

TEST(SpecialActionsTest, SplitThatGrowsPastItsLimitWritesNothing) {
  // Term i holds '10' at positions i and i+1: the pieces multiply without bound.
  std::string text = ".i 22\n.o 1\n.type fr\n";
  for (int i = 0; i < 20; ++i) text += std::string(i, '-') + "10" + std::string(20 - i, '-') + " 1\n";
  const std::string src = writeFile(tempPath("chain.pla"), text + ".e\n");
  const std::string dst = writeFile(tempPath("chain_out.pla"), "old\n");
  test::RunResult r = runVorn({"-Tsplit", src, dst});
  EXPECT_EQ(r.err, header(src, "fr", 22, 1, 20) + "Splitting stopped: the result would hold more than 50000 terms\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(readFile(dst), "old\n");
  std::remove(src.c_str());
  std::remove(dst.c_str());
}

TEST(SpecialActionsTest, MintermWritesTheTruthTable) {
  const std::string src = writeFile(tempPath("minterm.pla"), ".i 2\n.o 1\n1- 1\n.e\n");
  test::RunResult r = runVorn({"-Tminterm", src});
  EXPECT_EQ(r.err, header(src, "fd", 2, 1, 1) + "OK\n");
  EXPECT_EQ(r.out, ".i 2\n.o 1\n.p 4\n.ilb x0 x1\n.ob y0\n.type fd\n00 0\n01 0\n10 1\n11 1\n.e\n");
  EXPECT_EQ(r.exitCode, 0);
  std::remove(src.c_str());
}

TEST(SpecialActionsTest, MintermRefusesThirtyOneInputs) {
  const std::string src =
      writeFile(tempPath("wide.pla"), ".i 31\n.o 1\n" + std::string(31, '-') + " 1\n.e\n");
  const std::string dst = tempPath("wide_out.pla");
  std::remove(dst.c_str());
  test::RunResult r = runVorn({"-Tminterm", src, dst});
  EXPECT_EQ(r.err, header(src, "fd", 31, 1, 1) + "Too many inputs for splitting into minterms (31, at most 30)\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(readFile(dst), "<missing>");
  std::remove(src.c_str());
}

}  // namespace
}  // namespace vorn
