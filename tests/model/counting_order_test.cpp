// The counting order against a stable comparison sort: same positions, ties in position order.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "model/counting_order.h"

namespace vorn {
namespace {

TEST(CountingOrder, MatchesAStableSortOnSeededKeys) {
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    std::mt19937 gen(seed);
    const int n = static_cast<int>(gen() % 300), range = 1 + static_cast<int>(gen() % 40);
    std::vector<int> key(static_cast<std::size_t>(n));
    for (int& k : key) k = static_cast<int>(gen() % static_cast<std::uint32_t>(range));
    std::vector<int> want(static_cast<std::size_t>(n));
    std::iota(want.begin(), want.end(), 0);
    std::stable_sort(want.begin(), want.end(), [&](int a, int b) {
      return key[static_cast<std::size_t>(a)] < key[static_cast<std::size_t>(b)];
    });
    EXPECT_EQ(CountingOrder(n, range, [&](int k) { return key[static_cast<std::size_t>(k)]; }), want) << seed;
  }
}

TEST(CountingOrder, EdgeKeysAndEmpty) {
  EXPECT_TRUE(CountingOrder(0, 5, [](int) { return 0; }).empty());
  const std::vector<int> key{4, 0, 4, 0};
  EXPECT_EQ(CountingOrder(4, 5, [&](int k) { return key[static_cast<std::size_t>(k)]; }),
            (std::vector<int>{1, 3, 0, 2}));
}

}  // namespace
}  // namespace vorn
