#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/function.h"
#include "support/oracle.h"
#include "verify/cover_verification.h"

using namespace vorn;

namespace {

std::string text(int inputs, int outputs, const std::string& type, const std::vector<std::string>& terms) {
  std::string s = ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n.type " + type + "\n";
  for (const std::string& t : terms) s += t + "\n";
  return s + ".e\n";
}

std::string fault(const std::string& type, const std::vector<std::string>& source,
                  const std::vector<std::string>& result, int inputs = 3, int outputs = 1) {
  auto s = test::pla(text(inputs, outputs, type, source));
  auto r = test::pla(text(inputs, outputs, "fd", result));
  return FindCoverFault(*s, *r);
}

}  // namespace

TEST(CoverVerification, AcceptsExactCoversOfEveryType) {
  EXPECT_EQ(fault("fr", {"11- 1", "0-- 0"}, {"11- 1"}), "");
  EXPECT_EQ(fault("fd", {"11- 1", "10- -"}, {"1-- 1"}), "");  // 10- lies in the don't-care set
  EXPECT_EQ(fault("f", {"11- 1", "10- 1"}, {"1-- 1"}), "");
  EXPECT_EQ(fault("fdr", {"11- 1", "0-- 0"}, {"1-- 1"}), "");  // minterms given by no term are don't-cares
  EXPECT_EQ(fault("r", {"0-- 0"}, {"1-- 1"}), "");
}

TEST(CoverVerification, NamesTheOutputAndTheCubeAtFault) {
  // A missing on-set minterm.
  EXPECT_EQ(fault("fr", {"11- 1", "0-- 0"}, {"111 1"}), "output y0: the on-set cube 11- is not covered");
  // A term meeting the off-set.
  EXPECT_EQ(fault("fr", {"11- 1", "0-- 0"}, {"-1- 1"}), "output y0: the result's cube -1- meets the off-set");
  // Without an off-set: a term leaving on-set and don't-care set.
  EXPECT_EQ(fault("fd", {"11- 1", "1-0 -"}, {"--- 1"}),
            "output y0: the result's cube --- leaves the on-set and don't-care set");
  EXPECT_EQ(fault("f", {"11- 1"}, {"1-- 1"}), "output y0: the result's cube 1-- leaves the on-set and don't-care set");
  // An r source: the on-set is the rest of the off-set.
  EXPECT_EQ(fault("r", {"0-- 0"}, {"11- 1"}), "output y0: the on-set (the rest of the off-set) is not covered");
  // The second output, by its label.
  EXPECT_EQ(fault("fr", {"11- 11", "0-- 00"}, {"11- 10"}, 3, 2), "output y1: the on-set cube 11- is not covered");
}

TEST(CoverVerification, ReadsOnlyTheResultsOnes) {
  // '-', '0' and '~' at an output of the result feed nothing, whatever they overlap.
  EXPECT_EQ(fault("fr", {"11- 10", "0-- 01"}, {"11- 1~", "--- -0", "0-- 01"}, 3, 2), "");
}

TEST(CoverVerification, DecidesWideFunctionsByTautologyNotByMinterms) {
  // 120 inputs: the on-set x0 is covered by x0 x1 + x0 x1', which no minterm walk could show.
  const std::string any(119, '-');
  EXPECT_EQ(fault("fd", {"1" + any + " 1"}, {"11" + any.substr(1) + " 1", "10" + any.substr(1) + " 1"}, 120), "");
  EXPECT_EQ(fault("fd", {"1" + any + " 1"}, {"11" + any.substr(1) + " 1"}, 120),
            "output y0: the on-set cube 1" + any + " is not covered");
}

// Against the independent checker of the tests: random sources of every type,
// with results that are exact covers, covers with a term missing, a literal
// dropped, or a random term added.
TEST(CoverVerification, AgreesWithTheIndependentCheckerOnRandomFunctions) {
  std::mt19937 random(7);
  const std::vector<std::string> types = {"f", "fd", "fr", "fdr", "r"};
  int valid = 0, invalid = 0;
  for (int round = 0; round < 200; ++round) {
    const std::string type = types[round % types.size()];
    const int n = 2 + round % 5, m = 1 + round % 3;
    auto cube = [&] {
      std::string c(n, '-');
      for (char& x : c) x = "01--"[random() % 4];
      return c;
    };
    // fr and fdr sources come from a consistent truth table; the others cannot conflict.
    FunctionPtr source;
    if (type == "fr" || type == "fdr") {
      source = test::randomFr(static_cast<std::uint32_t>(round), n, m);
      source->type = type == "fr" ? kTypeFr : kTypeFdr;
    } else {
      std::vector<std::string> terms;
      const std::string alphabet = type == "r" ? "0-" : "01-";
      for (int k = 0; k < 2 + round % 6; ++k) {
        std::string out(m, '0');
        for (char& x : out) x = alphabet[random() % alphabet.size()];
        terms.push_back(cube() + " " + out);
      }
      source = test::pla(text(n, m, type, terms));
    }
    // The source's '1' terms cover its on-set exactly (for r: nothing but luck).
    std::vector<std::string> ones;
    forEachTerm(*source, [&](const TPfnct& t) {
      std::string out;
      for (int j = 0; j < m; ++j) out += outputAt(t, j) == '1' ? '1' : '0';
      ones.push_back(t.input.str() + " " + out);
    });
    std::vector<std::string> result = ones;
    const int change = round % 4;
    if (change == 1 && !result.empty()) result.erase(result.begin() + random() % result.size());
    if (change == 2 && !result.empty()) result[random() % result.size()][random() % n] = '-';
    if (change == 3 || result.empty()) result.push_back(cube() + " " + std::string(m, '1'));
    auto r = test::pla(text(n, m, "fd", result));
    const std::string expected = test::checkCover(*source, *r);
    const std::string found = FindCoverFault(*source, *r);
    EXPECT_EQ(found.empty(), expected.empty()) << "round " << round << " (" << type << "): " << found << " / "
                                               << expected;
    (found.empty() ? valid : invalid) += 1;
  }
  // Both verdicts occur often enough for the comparison to mean something.
  EXPECT_GT(valid, 40);
  EXPECT_GT(invalid, 40);
}
