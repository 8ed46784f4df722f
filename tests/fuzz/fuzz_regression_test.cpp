// Minimal cases found by the fuzz tests, kept as regression tests.  Each runs
// the program and judges the outcome with the fuzz judge.
#include <gtest/gtest.h>

#include "fuzz/fuzz_harness.h"

namespace {

std::string run(const std::string& text, std::vector<std::string> options, bool wellFormed = true) {
  vorn::fuzz::Case c;
  c.text = text;
  c.options = std::move(options);
  c.wellFormed = wellFormed;
  return vorn::fuzz::check(c, 20);
}

}  // namespace

// '-' in an fr output part carries no information.  FC-Min once took it as
// '1': the group's implicant then met the off-set term and the run ended with
// "Error occured during minimization".
TEST(FuzzRegression, DashOutputOfAnFrTermIsNotAnOnSetForFcMin) {
  EXPECT_EQ(run(".i 1\n.o 2\n.type fr\n1 -1\n- 0~\n", {"-FR100"}), "");
}

TEST(FuzzRegression, DashOutputOfAnFrTermWithCdSearchOnly) {
  EXPECT_EQ(run(".i 1\n.o 2\n.type fr\n1 -1\n- 0~\n", {"-FR0"}), "");
}
