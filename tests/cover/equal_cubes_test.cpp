#include <gtest/gtest.h>

#include "cover/equal_cubes.h"
#include "support/oracle.h"

using namespace vorn;

TEST(MergeEqualCubes, FoldsLaterTermsIntoTheFirstWithTheUnionOfOnes) {
  auto f = test::pla(".i 3\n.o 3\n0-0 1~0\n11- 010\n0-0 ~01\n0-0 0~~\n");
  EXPECT_EQ(MergeEqualCubes(*f), 2);
  ASSERT_EQ(f->termCount, 2);
  EXPECT_EQ(f->head->input.str(), "0-0");
  EXPECT_EQ(f->head->output, "1~1");  // '1' wins; elsewhere the first term's character stays
  EXPECT_EQ(f->tail->input.str(), "11-");
  EXPECT_EQ(f->tail->output, "010");
}

TEST(MergeEqualCubes, LeavesDistinctCubesAlone) {
  auto f = test::pla(".i 2\n.o 1\n0- 1\n-0 1\n00 1\n");
  EXPECT_EQ(MergeEqualCubes(*f), 0);
  EXPECT_EQ(f->termCount, 3);
  EXPECT_EQ(f->tail->input.str(), "00");
}
