// The meet index against cube texts compared position by position, on seeded
// random lists that cross word boundaries in both the inputs and the cubes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "unate/cube_list.h"
#include "unate/cube_text.h"
#include "unate/meet_index.h"

namespace vorn {
namespace {

bool textsMeet(const std::string& a, const std::string& b) {
  for (std::size_t p = 0; p < a.size(); ++p)
    if (a[p] != '-' && b[p] != '-' && a[p] != b[p]) return false;
  return true;
}

std::string randomCube(std::mt19937& rng, int n, int literalPercent) {
  std::string c(static_cast<std::size_t>(n), '-');
  for (char& x : c)
    if (static_cast<int>(rng() % 100) < literalPercent) x = "01"[rng() % 2];
  return c;
}

std::vector<int> expected(const std::vector<std::string>& cubes, const std::string& q) {
  std::vector<int> r;
  for (std::size_t k = 0; k < cubes.size(); ++k)
    if (textsMeet(cubes[k], q)) r.push_back(static_cast<int>(k));
  return r;
}

TEST(MeetIndex, ListsExactlyTheMeetingCubesInOrder) {
  std::mt19937 rng(7301);
  for (int round = 0; round < 60; ++round) {
    const int n = 1 + static_cast<int>(rng() % 140);
    const int count = static_cast<int>(rng() % 300);
    std::vector<std::string> cubes;
    for (int k = 0; k < count; ++k) cubes.push_back(randomCube(rng, n, 3 + static_cast<int>(rng() % 30)));
    const CubeList list = test::listOf(n, cubes);
    const MeetIndex index(list);
    EXPECT_EQ(index.indexed(), count > 0);
    std::vector<int> got;
    for (int q = 0; q < 20; ++q) {
      const std::string query = randomCube(rng, n, static_cast<int>(rng() % 40));
      CubeList one = test::listOf(n, {query});
      index.meeting(list, one.cube(0), got);
      ASSERT_EQ(got, expected(cubes, query)) << "round " << round << " query " << query;
    }
  }
}

TEST(MeetIndex, ShrunkCubesGiveASupersetAndAGrownListIsScanned) {
  std::mt19937 rng(7302);
  const int n = 70;
  std::vector<std::string> cubes;
  for (int k = 0; k < 130; ++k) cubes.push_back(randomCube(rng, n, 8));
  CubeList list = test::listOf(n, cubes);
  const MeetIndex index(list);
  // Shrink every cube by literals at free positions, in the list only.
  std::vector<std::string> shrunk = cubes;
  for (int k = 0; k < list.size(); ++k) {
    for (std::size_t p = 0; p < shrunk[k].size(); ++p)
      if (shrunk[k][p] == '-' && rng() % 4 == 0) shrunk[k][p] = "01"[rng() % 2];
    const CubeList one = test::listOf(n, {shrunk[k]});
    std::copy(one.cube(0), one.cube(0) + list.stride(), list.cube(k));
  }
  std::vector<int> got;
  for (int q = 0; q < 40; ++q) {
    const std::string query = randomCube(rng, n, 15);
    const CubeList one = test::listOf(n, {query});
    index.meeting(list, one.cube(0), got);
    const std::vector<int> now = expected(shrunk, query), before = expected(cubes, query);
    EXPECT_TRUE(std::includes(got.begin(), got.end(), now.begin(), now.end()));
    EXPECT_TRUE(std::includes(before.begin(), before.end(), got.begin(), got.end()));
  }
  // Cubes added after indexing: the query scans and is exact.
  shrunk.push_back(std::string(static_cast<std::size_t>(n), '-'));
  list.push(test::listOf(n, {shrunk.back()}).cube(0));
  const std::string query = randomCube(rng, n, 15);
  index.meeting(list, test::listOf(n, {query}).cube(0), got);
  EXPECT_EQ(got, expected(shrunk, query));
  EXPECT_EQ(got.back(), list.size() - 1);
}

}  // namespace
}  // namespace vorn
