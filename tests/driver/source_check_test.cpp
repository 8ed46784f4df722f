// The refusal of sources whose on-set and off-set meet names the same pair
// and output as a walk over all term pairs in list order would.
#include "driver/source_check.h"

#include <gtest/gtest.h>

#include "modes/minterm_oracle.h"

namespace vorn {
namespace {

std::optional<OnOffConflict> walk(const TBoolFnct& f) {
  std::vector<const TPfnct*> t;
  forEachTerm(f, [&](const TPfnct& x) { t.push_back(&x); });
  for (int a = 0; a < static_cast<int>(t.size()); ++a)
    for (int b = a + 1; b < static_cast<int>(t.size()); ++b) {
      if (!t[a]->input.intersects(t[b]->input)) continue;
      for (int j = 0; j < f.outputCount; ++j) {
        const char x = outputAt(*t[a], j), y = outputAt(*t[b], j);
        if (x == '1' && y == '0') return OnOffConflict{a, b, j};
        if (x == '0' && y == '1') return OnOffConflict{b, a, j};
      }
    }
  return std::nullopt;
}

TEST(SourceCheck, FirstOnOffConflictIsTheWalksFirst) {
  int conflicts = 0;
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    // Some with outputs across word boundaries.
    const int outputs = seed % 10 == 0 ? 60 + static_cast<int>(seed % 90) : 1 + static_cast<int>(seed % 4);
    FunctionPtr f = test::randomOverlappingFr(seed, 2 + seed % 6, outputs, 5 + seed % 40, seed % 3 ? 4 : 0,
                                              30 + seed % 60, "01");
    const auto expected = walk(*f), got = findOnOffConflict(*f);
    ASSERT_EQ(got.has_value(), expected.has_value()) << "seed " << seed;
    if (!expected) continue;
    ++conflicts;
    EXPECT_EQ(got->first, expected->first) << "seed " << seed;
    EXPECT_EQ(got->second, expected->second) << "seed " << seed;
    EXPECT_EQ(got->output, expected->output) << "seed " << seed;
  }
  EXPECT_GT(conflicts, 50);
}

}  // namespace
}  // namespace vorn
