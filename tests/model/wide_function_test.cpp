// A wide function with few terms (thousands of inputs and outputs, eight
// terms): the per-output lists, the cube index and every step that works
// per output must give a valid cover, whichever step kind the run takes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;

namespace {

// n inputs over '0', '1', '-' and m outputs over '0', '1', '-' per term, at random.
std::string widePla(int n, int m, int terms, unsigned seed) {
  std::mt19937 rng(seed);
  std::string text = ".i " + std::to_string(n) + "\n.o " + std::to_string(m) + "\n.type fr\n";
  for (int t = 0; t < terms; ++t) {
    std::string in(static_cast<std::size_t>(n), '-'), out(static_cast<std::size_t>(m), '0');
    for (char& c : in) c = "01-"[rng() % 3];
    for (char& c : out) c = "0011-"[rng() % 5];
    text += in + " " + out + "\n";
  }
  return text + ".e\n";
}

}  // namespace

TEST(WideFunction, FewTermsOverThousandsOfInputsAndOutputsMinimizeToAValidCover) {
  const int n = 2500, m = 2500;
  const std::string text = widePla(n, m, 8, 2026);
  const std::string src = test::writeFile(test::tempPath("wide.pla"), text);
  auto source = test::pla(text);
  ASSERT_TRUE(source);
  // CD steps only, FC-Min steps only, the default mix with a refinement, and single-output covers.
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"-FR0", "-seed3"}, {"-FR100", "-seed3"}, {"-seed5", "-refine"}, {"-FR0", "-single"}}) {
    const std::string dst = test::tempPath("wide_out.pla");
    std::vector<std::string> args{"-q"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(src);
    args.push_back(dst);
    const auto r = test::runVorn(args);
    ASSERT_EQ(r.exitCode, 0) << options[0] << ": " << r.err;
    auto result = test::pla(test::readFile(dst));
    ASSERT_TRUE(result) << options[0];
    EXPECT_EQ(result->inputCount, n);
    EXPECT_EQ(result->outputCount, m);
    EXPECT_EQ(test::checkCover(*source, *result), "") << options[0] << " " << options[1];
    std::remove(dst.c_str());
  }
}
