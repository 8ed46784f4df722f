// The beam of the top-down starts: doubling up to the widest, and where pool steps share the time,
// halving after covers far above the best once the widest has run.
#include <gtest/gtest.h>

#include <vector>

#include "driver/top_down_beam.h"

namespace vorn {
namespace {

/// \brief The beams of successive starts, each told it built `built` while the best cost `best`.
std::vector<int> beams(int starts, long long built, long long best, bool pooled, TopDownBeam& b) {
  std::vector<int> seen;
  for (int k = 0; k < starts; ++k) {
    seen.push_back(b.next());
    b.after(b.next(), built, best, pooled);
  }
  return seen;
}

TEST(TopDownBeam, DoublesToTheWidestWhateverTheCovers) {
  for (bool pooled : {false, true}) {
    TopDownBeam b;
    EXPECT_EQ(beams(6, 1000, 100, pooled, b), (std::vector<int>{8, 16, 32, 64, 128, 256})) << pooled;
  }
}

TEST(TopDownBeam, WithoutPoolStaysWidest) {
  TopDownBeam b;
  beams(6, 100, 100, false, b);
  EXPECT_EQ(beams(3, 1000, 100, false, b), (std::vector<int>{256, 256, 256}));
}

TEST(TopDownBeam, WithPoolHalvesAfterFarCoversAndDoublesAfterCheapOnes) {
  TopDownBeam b;
  beams(6, 1000, 100, true, b);
  // Far above the best: halves, down to the first beam and no further.
  EXPECT_EQ(beams(7, 106, 100, true, b), (std::vector<int>{256, 128, 64, 32, 16, 8, 8}));
  // Within the slack: stays.
  EXPECT_EQ(beams(2, 105, 100, true, b), (std::vector<int>{8, 8}));
  // No costlier than the best: doubles again, up to the widest.
  EXPECT_EQ(beams(7, 100, 100, true, b), (std::vector<int>{8, 16, 32, 64, 128, 256, 256}));
}

TEST(TopDownBeam, AStartThatBuiltNothingChangesNothing) {
  TopDownBeam b;
  beams(6, 1000, 100, true, b);
  beams(2, 1000, 100, true, b);  // 256, then 128
  EXPECT_EQ(beams(2, -1, 100, true, b), (std::vector<int>{64, 64}));
}

}  // namespace
}  // namespace vorn
