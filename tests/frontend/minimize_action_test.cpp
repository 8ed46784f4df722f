#include <gtest/gtest.h>

#include "support/process.h"

using vorn::test::runVorn;

namespace {
const char kFr[] = ".i 3\n.o 2\n.type fr\n000 10\n011 11\n1-1 01\n110 00\n";

struct Case {
  std::vector<std::string> options;
  std::string message;
  int exitCode;
};

std::string header(const std::string& src, const char* type = "fr", int terms = 4) {
  return vorn::test::banner() + "Input function: " + src + "\nFunction type: " + type +
         "\nInput variables: 3\nOutput variables: 2\nDefined terms: " + std::to_string(terms) + "\n\n";
}
}  // namespace

TEST(MinimizeAction, ValidationMessagesInTheirOrder) {
  const std::string src = vorn::test::writeFile(vorn::test::tempPath("valid.pla"), kFr);
  const std::string dst = vorn::test::tempPath("valid_out.pla");
  const std::vector<Case> cases = {
      {{"-FR101"}, "CD-Search:FC-Min ratio must be between 0-100\n", 1},
      {{"-DD2", "-FR101"}, "CD-Search:FC-Min ratio must be between 0-100\n", 1},  // only the first failing test
      {{"-DD2"}, "FC-Min DF direction must be 0 or 1\n", 1},
      {{"-CM101"}, "Number of mutations must be less of equal to 100%\n", 1},
      {{"-RM101"}, "Number of mutations must be less of equal to 100%\n", 1},
      {{"-CP4"}, "Unknown CP solution method (4)\n", 1},
      {{"-CP-1"}, "Unknown CP solution method (-1)\n", 1},
      {{"-E5"}, "Unknown IE method (5)\n", 1},
      {{"-E-1"}, "Unknown IE method (-1)\n", 1},
      {{"-endcov", "-Sq10"}, "Cannot combine endcov parameter with optimization criteria based stopping condition\n", 0},
      {{"-endcov", "-Sn2"}, "Cannot combine endcov parameter with optimization criteria based stopping condition\n", 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    args.push_back(src);
    args.push_back(dst);
    const auto r = runVorn(args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.options[0];
    EXPECT_EQ(r.err, header(src) + c.message) << c.options[0];
    EXPECT_EQ(vorn::test::readFile(dst), "<missing>") << "nothing is written after " << c.options[0];
  }
}

TEST(MinimizeAction, FdSourceIsRefusedAfterItsSummary) {
  const std::string src = vorn::test::writeFile(vorn::test::tempPath("fd.pla"), ".i 3\n.o 2\n000 10\n011 11\n");
  const auto r = runVorn({src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, header(src, "fd", 2) + "Function must be fr type\n");
}

TEST(MinimizeAction, InconsistentSourceIsRefusedAndNothingIsWritten) {
  const std::string src =
      vorn::test::writeFile(vorn::test::tempPath("onoff.pla"), ".i 3\n.o 2\n.type fr\n0-0 10\n00- 01\n");
  const std::string dst = vorn::test::tempPath("onoff_out.pla");
  const auto r = runVorn({src, dst});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, header(src, "fr", 2) +
                       "Cannot minimize an inconsistent function: term 1 (1) and term 2 (0) intersect at output y0\n");
  EXPECT_EQ(vorn::test::readFile(dst), "<missing>");
}

TEST(MinimizeAction, TildeInAnInputPartIsRefused) {
  const std::string src = vorn::test::writeFile(vorn::test::tempPath("tilde.pla"), ".i 3\n.o 2\n.type fr\n0~0 10\n");
  const auto r = runVorn({src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, header(src, "fr", 1) + "Cannot minimize: the input part of term 1 holds '~'\n");
}
