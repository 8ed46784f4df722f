// The early verdict on a split's size: never claims more terms than the
// pair walk really ends with, and tells the multiplying cases at once.
#include "modes/split_growth.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "modes/term_splitting.h"
#include "support/oracle.h"

namespace vorn {
namespace {

std::string randomText(std::mt19937& rng, int inputs, int terms, bool withZeros) {
  std::string text = ".i " + std::to_string(inputs) + "\n.o 2\n.type fr\n";
  for (int t = 0; t < terms; ++t) {
    std::string cube;
    for (int p = 0; p < inputs; ++p) cube += "01--"[rng() % 4];
    std::string out;
    for (int j = 0; j < 2; ++j) out += withZeros ? "01~"[rng() % 3] : "1~"[rng() % 2];
    text += cube + " " + out + "\n";
  }
  return text + ".e\n";
}

TEST(SplitGrowth, NeverClaimsMoreThanTheWalkMakes) {
  std::mt19937 rng(3);
  int claimed = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int inputs = 2 + static_cast<int>(rng() % 7), terms = 2 + static_cast<int>(rng() % 9);
    const std::string text = randomText(rng, inputs, terms, false);
    FunctionPtr split = test::pla(text);
    ASSERT_EQ(SplitIntersectingTerms(*split, 1 << 30), 1) << text;
    const int made = split->termCount;
    FunctionPtr f = test::pla(text);
    // The bound is a bound: the result of `made` terms fits a limit of `made`.
    EXPECT_FALSE(SplitSurelyExceeds(*f, made)) << text;
    if (made > terms && SplitSurelyExceeds(*f, terms)) ++claimed;
  }
  // The verdict is not vacuous: it often sees growth past the source's size.
  EXPECT_GT(claimed, 20);
}

TEST(SplitGrowth, SingleLiteralTermsAreToldAtOnceAndConflictsAreLeftToTheWalk) {
  std::string text = ".i 16\n.o 1\n.type fr\n";
  for (int i = 0; i < 16; ++i) text += std::string(i, '-') + "1" + std::string(15 - i, '-') + " 1\n";
  FunctionPtr f = test::pla(text + ".e\n");
  EXPECT_TRUE(SplitSurelyExceeds(*f, 50000));   // 65535 cells
  EXPECT_FALSE(SplitSurelyExceeds(*f, 65535));  // exactly as many as the result holds
  // A '0' against a '1' on a meeting pair: the walk may fail on it first, so no verdict.
  FunctionPtr g = test::pla(text + std::string(16, '-') + " 0\n.e\n");
  EXPECT_FALSE(SplitSurelyExceeds(*g, 50000));
  EXPECT_EQ(SplitIntersectingTerms(*g, 50000), 0);
}

}  // namespace
}  // namespace vorn
