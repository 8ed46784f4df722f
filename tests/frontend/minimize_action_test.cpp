#include <gtest/gtest.h>

#include <cstdio>

#include "support/cover_check.h"
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

TEST(MinimizeAction, EveryTypeIsMinimizedToAValidCoverOfTheFunctionAsGiven) {
  // One function in four spellings: on-set 0-0 and 011 of output 0, 1-1 of output 1; don't-care 111 of output 0.
  const struct {
    const char* type;
    const char* terms;
  } kinds[] = {
      {"fd", "0-0 10\n011 1-\n1-1 01\n111 -0\n"},
      {"f", "0-0 10\n011 10\n1-1 01\n"},
      {"fdr", "0-0 1~\n011 1~\n1-1 ~1\n111 -~\n001 00\n1-0 00\n010 ~0\n101 0~\n"},
      {"r", "001 00\n1-0 00\n101 0~\n111 ~~\n010 ~0\n0-- ~0\n"},
  };
  for (const auto& k : kinds) {
    const std::string text = std::string(".i 3\n.o 2\n.type ") + k.type + "\n" + k.terms;
    const std::string src = vorn::test::writeFile(vorn::test::tempPath(std::string("every_") + k.type + ".pla"), text);
    const std::string dst = vorn::test::tempPath(std::string("every_") + k.type + "_out.pla");
    const auto r = runVorn({"-Si5", src, dst});
    EXPECT_EQ(r.exitCode, 0) << k.type << r.err;
    EXPECT_NE(r.err.find(std::string("Function type: ") + k.type + "\n"), std::string::npos);
    EXPECT_NE(r.err.find(std::string(std::string(k.type) == "r" ? "On-set" : "Off-set") + " computed: "),
              std::string::npos)
        << k.type << r.err;
    vorn::test::PlainFunction source, result;
    ASSERT_TRUE(vorn::test::readPlain(src, source));
    ASSERT_TRUE(vorn::test::readPlain(dst, result));
    EXPECT_EQ(vorn::test::checkCover(source, result), "") << k.type;
    std::remove(dst.c_str());
  }
}

TEST(MinimizeAction, HugeOffSetIsNotComputedAndTheRunGoesOnWithoutIt) {
  // On-set: the OR of x_k x_{k+65}, k < 65; its off-set has 2^65 cubes.
  std::string text = ".i 130\n.o 1\n";
  for (int k = 0; k < 65; ++k) {
    std::string c(130, '-');
    c[static_cast<std::size_t>(k)] = c[static_cast<std::size_t>(k + 65)] = '1';
    text += c + " 1\n";
  }
  const std::string src = vorn::test::writeFile(vorn::test::tempPath("wide.pla"), text);
  const std::string dst = vorn::test::tempPath("wide_out.pla");
  auto r = runVorn({"-Si3", "-refine", src, dst});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("Off-set too large to compute"), std::string::npos);
  EXPECT_NE(r.err.find("\nTerms: 65\nLiterals: 130\n"), std::string::npos) << r.err;
  vorn::test::PlainFunction source, result;
  ASSERT_TRUE(vorn::test::readPlain(src, source));
  ASSERT_TRUE(vorn::test::readPlain(dst, result));
  EXPECT_EQ(vorn::test::checkCover(source, result), "");
  std::remove(dst.c_str());
  // The same cubes as the off-set of an r source: its on-set cannot be computed, and the run is refused.
  std::string rText = ".type r\n.i 130\n.o 1\n";
  for (int k = 0; k < 65; ++k) {
    std::string c(130, '-');
    c[static_cast<std::size_t>(k)] = c[static_cast<std::size_t>(k + 65)] = '1';
    rText += c + " 0\n";
  }
  vorn::test::writeFile(src, rText);
  std::remove(dst.c_str());
  r = runVorn({src, dst});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("Cannot minimize: the on-set of this r-type function is too large to compute\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(vorn::test::readFile(dst), "<missing>");
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

// '~' in an input part has no meaning in any mode: every mode refuses it alike, before the summary.
TEST(MinimizeAction, TildeInAnInputPartIsRefusedByEveryMode) {
  const std::string src =
      vorn::test::writeFile(vorn::test::tempPath("tilde.pla"), ".i 3\n.o 2\n.type fr\n000 10\n0~0 10\n");
  const std::string dst = vorn::test::tempPath("tilde_out.pla");
  for (const char* mode : {"-Si1", "-info", "-Tcheck", "-Tsplit", "-Tminterm"}) {
    const auto r = runVorn({mode, src, dst});
    EXPECT_EQ(r.exitCode, 1) << mode;
    EXPECT_EQ(r.err, vorn::test::banner() + "Input function: " + src + "\n" + src +
                         ": the input part of term 2 holds '~'\n")
        << mode;
    EXPECT_EQ(r.out, "") << mode;
    EXPECT_EQ(vorn::test::readFile(dst), "<missing>") << mode;
  }
}
