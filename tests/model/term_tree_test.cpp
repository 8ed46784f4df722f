#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <set>
#include <string>

#include "model/term_tree.h"
#include "support/oracle.h"

using namespace vorn;

namespace {
TermTree treeFor(int n) {
  auto f = create(n, 1, 0, kTypeFr);
  TermTree t;
  TermTreeInit(t, *f);
  return t;
}
}  // namespace

TEST(TermTree, InsertReportsWhetherTheCubeWasPresent) {
  TermTree t = treeFor(3);
  EXPECT_EQ(TermTreeInsert(t, Cube("01-")), 0);
  EXPECT_EQ(TermTreeInsert(t, Cube("01-")), 1);
  EXPECT_EQ(TermTreeInsert(t, Cube("010")), 0);  // '-' is a character of its own
  EXPECT_TRUE(TermTreeContains(t, Cube("010")));
  EXPECT_FALSE(TermTreeContains(t, Cube("011")));
}

TEST(TermTree, AddTermKeepsTheFirstTermAndFindReturnsIt) {
  auto f = create(2, 1, 0, kTypeFr);
  TPfnct* a = appendTerm(*f, "0-", "1", 1);
  TPfnct* b = appendTerm(*f, "0-", "0", 1);
  TermTree t;
  TermTreeInit(t, *f);
  EXPECT_EQ(TermTreeAddTerm(t, a), nullptr);
  EXPECT_EQ(TermTreeAddTerm(t, b), a);
  EXPECT_EQ(TermTreeFind(t, Cube("0-")), a);
  EXPECT_EQ(TermTreeFind(t, Cube("00")), nullptr);
}

TEST(TermTree, RemoveReleasesOnlyTheUnsharedPath) {
  TermTree t = treeFor(3);
  TermTreeInsert(t, Cube("010"));
  TermTreeInsert(t, Cube("011"));
  TermTreeRemove(t, Cube("010"));
  EXPECT_FALSE(TermTreeContains(t, Cube("010")));
  EXPECT_TRUE(TermTreeContains(t, Cube("011")));
  EXPECT_EQ(TermTreeInsert(t, Cube("010")), 0);
  TermTree single = treeFor(2);
  TermTreeInsert(single, Cube("1-"));
  TermTreeRemove(single, Cube("1-"));
  EXPECT_EQ(TermTreeInsert(single, Cube("1-")), 0);  // the tree was left empty
}

TEST(TermTree, ReadsExactlyKeyLengthCharacters) {
  TermTree t = treeFor(2);
  TermTreeInsert(t, Cube("01"));
  EXPECT_EQ(TermTreeInsert(t, Cube("011")), 1);  // the third character is not part of the key
}

TEST(TermTree, AgreesWithASetOnRandomInsertsAndRemovals) {
  std::mt19937 rng(5);
  TermTree t = treeFor(5);
  std::set<std::string> model;
  for (int step = 0; step < 5000; ++step) {
    std::string s(5, '-');
    for (char& c : s) c = "01-"[rng() % 3];
    if (rng() % 3 == 0 && model.count(s)) {
      TermTreeRemove(t, Cube(s));
      model.erase(s);
    } else {
      ASSERT_EQ(TermTreeInsert(t, Cube(s)), model.count(s) ? 1 : 0);
      model.insert(s);
    }
  }
  TermTreeFree(t);
  EXPECT_TRUE(t.cubes.empty());
}

TEST(TermTree, ZeroInputsHoldTheEmptyCubeOnlyAfterItIsAdded) {
  auto f = create(0, 1, 0, kTypeFr);
  TPfnct* a = appendTerm(*f, "", "1", 0);
  TermTree t;
  TermTreeInit(t, *f);
  EXPECT_FALSE(TermTreeContains(t, Cube(0)));
  EXPECT_EQ(TermTreeFind(t, Cube(0)), nullptr);
  EXPECT_EQ(TermTreeAddTerm(t, a), nullptr);
  EXPECT_EQ(TermTreeFind(t, Cube(0)), a);
  EXPECT_EQ(TermTreeInsert(t, Cube(0)), 1);
  TermTreeRemove(t, Cube(0));
  EXPECT_EQ(TermTreeInsert(t, Cube(0)), 0);
}

TEST(TermTree, WideKeysOfFewAndOfManyLiteralsAreToldApart) {
  // Cubes over 300 positions: a handful of literals, and every position a literal.
  TermTree t = treeFor(300);
  std::string sparse(300, '-');
  sparse[0] = '1';
  sparse[299] = '0';
  std::string dense(300, '1');
  dense[150] = '0';
  EXPECT_EQ(TermTreeInsert(t, Cube(sparse)), 0);
  EXPECT_EQ(TermTreeInsert(t, Cube(dense)), 0);
  std::string other = sparse;
  other[299] = '1';
  EXPECT_EQ(TermTreeInsert(t, Cube(other)), 0);  // same positions, another value
  other = sparse;
  other[298] = '0';
  other[299] = '-';
  EXPECT_EQ(TermTreeInsert(t, Cube(other)), 0);  // same values, another position
  std::string flipped = dense;
  flipped[150] = '1';
  EXPECT_EQ(TermTreeInsert(t, Cube(flipped)), 0);
  EXPECT_EQ(TermTreeInsert(t, Cube(sparse)), 1);
  EXPECT_EQ(TermTreeInsert(t, Cube(dense)), 1);
  EXPECT_EQ(TermTreeInsert(t, Cube(sparse + "0101")), 1);  // characters past the key length are not read
  std::string tilde = sparse;
  tilde[10] = '~';
  EXPECT_TRUE(TermTreeContains(t, Cube(tilde)));  // '~' reads as '-'
  // a shorter cube reads '-' beyond its end
  EXPECT_EQ(TermTreeInsert(t, Cube("1")), 0);
  EXPECT_TRUE(TermTreeContains(t, Cube("1" + std::string(299, '-'))));
  EXPECT_FALSE(TermTreeContains(t, Cube("1---0")));
}

TEST(TermTree, AgreesWithASetOnWideCubesOfEveryDensity) {
  // 130 positions: keys of one, two and three words; literal counts from none to all.
  std::mt19937 rng(11);
  TermTree t = treeFor(130);
  std::set<std::string> model;
  for (int step = 0; step < 3000; ++step) {
    std::string s(130, '-');
    if (!model.empty() && step % 4 == 0) {
      s = *std::next(model.begin(), static_cast<long>(rng() % model.size()));
    } else {
      const int literals = static_cast<int>(rng() % 131);
      for (int k = 0; k < literals; ++k) s[rng() % 130] = "01"[rng() % 2];
    }
    if (rng() % 4 == 0 && model.count(s)) {
      TermTreeRemove(t, Cube(s));
      model.erase(s);
      ASSERT_FALSE(TermTreeContains(t, Cube(s)));
    } else {
      ASSERT_EQ(TermTreeInsert(t, Cube(s)), model.count(s) ? 1 : 0) << s;
      model.insert(s);
    }
  }
  EXPECT_EQ(t.cubes.size(), model.size());
}
