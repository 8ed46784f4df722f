// -Tverify SOURCE RESULT: the verdict, its exit codes (0 valid, 2 not, 1 for
// errors), and agreement with the tests' independent checker.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/pla.h"
#include "support/cover_check.h"
#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;
using test::runVorn;

namespace {

std::string pla(int inputs, int outputs, const std::string& type, const std::vector<std::string>& terms) {
  std::string s = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type " + type + "\n";
  for (const std::string& t : terms) s += t + "\n";
  return s + ".e\n";
}

test::RunResult verify(const std::string& source, const std::string& result) {
  const std::string s = test::writeFile(test::tempPath("verify_source.pla"), source);
  const std::string r = test::writeFile(test::tempPath("verify_result.pla"), result);
  test::RunResult out = runVorn({"-q", "-Tverify", s, r});
  std::remove(s.c_str());
  std::remove(r.c_str());
  return out;
}

}  // namespace

TEST(VerifyAction, MinimizedResultsOfEveryTypeAreValid) {
  const std::pair<const char*, std::vector<std::string>> sources[] = {
      {"f", {"11- 10", "0-1 01", "101 11"}},
      {"fd", {"11- 10", "0-1 01", "10- -1", "000 1-"}},
      {"fr", {"11- 10", "0-1 01", "100 00", "010 0~"}},
      {"fdr", {"11- 10", "0-1 0-", "100 01", "000 -0"}},
      {"r", {"11- 00", "0-1 10", "100 01"}},
  };
  for (const auto& [type, terms] : sources) {
    const std::string src = test::writeFile(test::tempPath("verify_every.pla"), pla(3, 2, type, terms));
    const std::string dst = test::tempPath("verify_every_out.pla");
    ASSERT_EQ(runVorn({"-q", "-Si2", "-seed1", src, dst}).exitCode, 0) << type;
    const auto r = runVorn({"-Tverify", src, dst});
    EXPECT_EQ(r.exitCode, 0) << type << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - 24), "Result is a valid cover\n") << type;
    EXPECT_EQ(r.out, "");
    std::remove(src.c_str());
    std::remove(dst.c_str());
  }
}

TEST(VerifyAction, NamesTheFirstOutputAndCubeAtFault) {
  const std::string source = pla(3, 2, "fr", {"11- 10", "0-1 01", "100 00"});
  // The on-set minterm 110 of y0 is missing.
  auto r = verify(source, pla(3, 2, "fd", {"111 10", "0-1 01"}));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "Result is not a valid cover: output y0: the on-set cube 11- is not covered\n");
  // 1-- at y0 meets the off-set term 100.
  r = verify(source, pla(3, 2, "fd", {"1-- 10", "0-1 01"}));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "Result is not a valid cover: output y0: the result's cube 1-- meets the off-set\n");
  // An f source: a result term outside on-set and don't-care set.
  r = verify(pla(2, 1, "f", {"11 1"}), pla(2, 1, "fd", {"1- 1"}));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "Result is not a valid cover: output y0: the result's cube 1- leaves the on-set and don't-care set\n");
}

TEST(VerifyAction, ErrorsAreExitCodeOne) {
  const std::string source = pla(3, 2, "fr", {"11- 10"});
  auto r = verify(source, pla(3, 1, "fd", {"11- 1"}));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot verify: the source has 3 inputs and 2 outputs, the result 3 inputs and 1 outputs\n");
  r = verify(source, pla(4, 2, "fd", {"11-- 10"}));
  EXPECT_EQ(r.exitCode, 1);
  r = verify(source, ".i 3\n.o 2\n11x 10\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(": line 3: character 'x' inside the input part of a term\n"), std::string::npos) << r.err;
  const std::string src = test::writeFile(test::tempPath("verify_alone.pla"), source);
  r = runVorn({"-q", "-Tverify", src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "-Tverify needs a source and a result: vorn -Tverify SOURCE RESULT\n");
  r = runVorn({"-q", "-Tverify", src, test::tempPath("no_such_result.pla")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("Result not found\ncannot open ", 0), 0u) << r.err;
  std::remove(src.c_str());
}

// Candidate covers made from a random source's on-set, then damaged at random
// (a term dropped, a literal freed, a stray cube added): -Tverify must say
// what the independent checker says.
TEST(VerifyAction, AgreesWithTheIndependentCheckerOnRandomFunctions) {
  int valid = 0, invalid = 0;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const int inputs = 3 + static_cast<int>(seed % 4), outputs = 1 + static_cast<int>(seed % 3);
    const FunctionPtr source = test::randomFr(seed, inputs, outputs);
    std::mt19937 rng(seed);
    std::vector<std::string> terms;
    forEachTerm(*source, [&](const TPfnct& t) {
      std::string out = t.output;
      for (char& c : out) c = c == '1' ? '1' : '0';
      if (out.find('1') != std::string::npos) terms.push_back(t.input.str() + " " + out);
    });
    const int damage = static_cast<int>(rng() % 4);
    if (damage == 1 && !terms.empty()) terms.erase(terms.begin() + rng() % terms.size());
    if (damage == 2 && !terms.empty()) terms[rng() % terms.size()][rng() % inputs] = '-';
    if (damage == 3) {
      std::string cube;
      for (int i = 0; i < inputs; ++i) cube += "01-"[rng() % 3];
      std::string out(static_cast<std::size_t>(outputs), '0');
      out[rng() % outputs] = '1';
      terms.push_back(cube + " " + out);
    }
    if (terms.empty()) continue;  // a file without a term is no result to judge
    const std::string resultText = pla(inputs, outputs, "fd", terms);
    const std::string expected = test::checkCover(*source, *test::pla(resultText));
    const auto r = verify(formatPla(*source), resultText);
    if (expected.empty()) {
      EXPECT_EQ(r.exitCode, 0) << "seed " << seed << ": " << r.err;
      ++valid;
    } else {
      EXPECT_EQ(r.exitCode, 2) << "seed " << seed << ": the checker says " << expected << "; vorn says " << r.err;
      ++invalid;
    }
  }
  EXPECT_GT(valid, 5);
  EXPECT_GT(invalid, 5);
}
