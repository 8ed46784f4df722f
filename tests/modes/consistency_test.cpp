// The consistency check: hand cases for each kind of disagreement and seeded
// random functions against a per-minterm brute force.
#include <gtest/gtest.h>

#include "model/settings.h"
#include "modes/consistency.h"
#include "modes/minterm_oracle.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::pla;

TEST(ConsistencyTest, HandCases) {
  // Disjoint cubes are never compared by outputs.
  EXPECT_EQ(CheckConsistency(*pla(".i 2\n.o 1\n.type fr\n1- 1\n0- 0\n.e\n")), 1);
  // '1' against '-' counts as a disagreement.
  EXPECT_EQ(CheckConsistency(*pla(".i 2\n.o 1\n.type fr\n1- 1\n-1 -\n.e\n")), 0);
  EXPECT_EQ(CheckConsistency(*pla(".i 2\n.o 1\n.type fr\n1- 0\n-1 -\n.e\n")), 0);
  // '~' carries no information.
  EXPECT_EQ(CheckConsistency(*pla(".i 2\n.o 2\n.type fr\n1- 1~\n-1 ~0\n.e\n")), 1);
  // The disagreeing pair need not be adjacent, and equal cubes count too.
  EXPECT_EQ(CheckConsistency(*pla(".i 3\n.o 1\n.type fr\n1-- 1\n000 0\n0-1 ~\n11- 0\n.e\n")), 0);
  EXPECT_EQ(CheckConsistency(*pla(".i 2\n.o 1\n.type fr\n10 1\n10 1\n.e\n")), 1);
}

TEST(ConsistencyTest, ReportsItsProgress) {
  auto disjoint = pla(".i 2\n.o 1\n.type fr\n1- 1\n0- 0\n.e\n");
  auto clash = pla(".i 2\n.o 1\n.type fr\n1- 1\n11 0\n.e\n");
  std::vector<std::string> events;
  ProgressHooks hooks = quietHooks();
  hooks.begin = [&](const std::string& m, int total, int kind) {
    events.push_back(m + " " + std::to_string(total) + " " + std::to_string(kind));
    return 0;
  };
  hooks.step = [&](int i, int kind) {
    events.push_back("step " + std::to_string(i) + " " + std::to_string(kind));
    return 0;
  };
  hooks.end = [&] { events.push_back("end"); };
  EXPECT_EQ(CheckConsistency(*disjoint, hooks), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"Checkling PLA for consistence 2 1", "step 0 0", "step 1 0", "end"}));
  events.clear();
  EXPECT_EQ(CheckConsistency(*clash, hooks), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"Checkling PLA for consistence 2 1", "end"}));
}

// Brute force: for every minterm, the terms containing it must agree on each
// output where neither has '~'.
bool consistentByMinterms(const TBoolFnct& f) {
  for (std::uint64_t m = 0; m < (std::uint64_t{1} << f.inputCount); ++m) {
    std::string seen(f.outputCount, '~');
    bool ok = true;
    forEachTerm(f, [&](const TPfnct& t) {
      if (!test::cubeHasMinterm(t.input.str(), m)) return;
      for (int j = 0; j < f.outputCount; ++j) {
        const char c = t.output[j];
        if (c == '~') continue;
        if (seen[j] != '~' && seen[j] != c) ok = false;
        seen[j] = c;
      }
    });
    if (!ok) return false;
  }
  return true;
}

TEST(ConsistencyTest, AgreesWithMintermBruteForce) {
  int outcomes[2] = {0, 0};
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    FunctionPtr f = test::randomOverlappingFr(seed, 2 + seed % 4, 1 + seed % 3, 3 + seed % 7, seed % 3 ? 8 : 0);
    const int result = CheckConsistency(*f);
    EXPECT_EQ(result, consistentByMinterms(*f) ? 1 : 0) << "seed " << seed;
    ++outcomes[result];
  }
  EXPECT_GT(outcomes[0], 20);
  EXPECT_GT(outcomes[1], 20);
}

}  // namespace
}  // namespace vorn
