#include <gtest/gtest.h>

#include "model/cube.h"

using vorn::Cube;

TEST(Cube, ReadsBackEveryCharacterAcrossWordBoundaries) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "01-~"[i % 4];
  const Cube c(text);
  EXPECT_EQ(c.size(), 150);
  EXPECT_EQ(c.str(), text);
  EXPECT_EQ(c.countLiterals(), 76);
  EXPECT_EQ(c.countDashes(), 37);
}

TEST(Cube, SetOverwritesThePreviousCharacter) {
  Cube c(3);
  c.set(1, '1');
  c.set(1, '0');
  c.set(2, '~');
  c.set(2, '-');
  EXPECT_EQ(c.str(), "-0-");
}

TEST(Cube, IntersectionConflictsOnlyOnOppositeLiterals) {
  EXPECT_TRUE(Cube("0-1").intersects(Cube("011")));
  EXPECT_FALSE(Cube("0-1").intersects(Cube("1--")));
  EXPECT_TRUE(Cube("~1").intersects(Cube("01")));
}

TEST(Cube, ContainmentNeedsEqualLiteralsWhereTheContainerHasOne) {
  EXPECT_TRUE(Cube("-1-").contains(Cube("011")));
  EXPECT_TRUE(Cube("-1-").contains(Cube("-1-")));
  EXPECT_FALSE(Cube("-1-").contains(Cube("0--")));  // '-' inside a literal position is not contained
  EXPECT_FALSE(Cube("011").contains(Cube("-11")));
}

TEST(Cube, SupercubeDashesDifferingPositions) {
  Cube a("0-1");
  EXPECT_EQ(a.supercube(Cube("011")).str(), "0-1");
  Cube b("001");
  EXPECT_EQ(b.supercube(Cube("011")).str(), "0-1");
}

TEST(Cube, EqualityAndHashFollowTheCharacters) {
  EXPECT_EQ(Cube("01-"), Cube("01-"));
  EXPECT_NE(Cube("01-"), Cube("010"));
  EXPECT_EQ(Cube("01-").hash(), Cube("01-").hash());
}
