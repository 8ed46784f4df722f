// Orders by small integer keys in linear time.
#pragma once

#include <cstddef>
#include <vector>

namespace vorn {

/// \brief The positions 0..n-1 ordered by key(k), each key in 0..range-1, equal keys in position order
/// (a counting sort: where the keys are few, such as literal counts, it is linear where a comparison
/// sort is not).
template <typename Key>
std::vector<int> CountingOrder(int n, int range, Key&& key) {
  std::vector<int> start(static_cast<std::size_t>(range) + 1, 0);
  for (int k = 0; k < n; ++k) ++start[static_cast<std::size_t>(key(k)) + 1];
  for (int v = 0; v < range; ++v) start[static_cast<std::size_t>(v) + 1] += start[static_cast<std::size_t>(v)];
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) order[static_cast<std::size_t>(start[static_cast<std::size_t>(key(k))]++)] = k;
  return order;
}

}  // namespace vorn
