#include "exact/lagrangian_greedy.h"

#include <algorithm>
#include <limits>

namespace vorn {

namespace {

/// \brief The greedy's score of a row of reduced cost g holding n uncovered columns (n > 0).
double score(double g, int n) { return g > 0 ? g / n : g * n; }

}  // namespace

std::vector<int> LagrangianGreedy(const LagrangianProblem& p, const std::vector<double>& u) {
  const std::size_t rows = p.cost.size(), columns = static_cast<std::size_t>(p.columns);
  std::vector<std::vector<int>> rowsOf(columns);
  std::vector<int> open(rows);
  std::vector<double> reduced(rows);
  for (std::size_t r = 0; r < rows; ++r) {
    open[r] = static_cast<int>(p.cells[r].size());
    double g = static_cast<double>(p.cost[r]);
    for (int c : p.cells[r]) {
      g -= u[static_cast<std::size_t>(c)];
      rowsOf[static_cast<std::size_t>(c)].push_back(static_cast<int>(r));
    }
    reduced[r] = g;
  }
  std::vector<char> covered(columns, 0);
  std::size_t left = columns;
  std::vector<int> chosen;
  while (left > 0) {
    int pick = -1;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t r = 0; r < rows; ++r) {
      if (open[r] == 0) continue;
      const double s = score(reduced[r], open[r]);
      if (s < best) best = s, pick = static_cast<int>(r);
    }
    if (pick < 0) return {};
    chosen.push_back(pick);
    for (int c : p.cells[static_cast<std::size_t>(pick)]) {
      if (covered[static_cast<std::size_t>(c)]) continue;
      covered[static_cast<std::size_t>(c)] = 1;
      --left;
      for (int r : rowsOf[static_cast<std::size_t>(c)]) {
        --open[static_cast<std::size_t>(r)];
        reduced[static_cast<std::size_t>(r)] += u[static_cast<std::size_t>(c)];
      }
    }
  }
  // Redundant rows out, the costliest first (of equal cost, the later pick first).
  std::vector<int> count(columns, 0);
  for (int r : chosen)
    for (int c : p.cells[static_cast<std::size_t>(r)]) ++count[static_cast<std::size_t>(c)];
  std::vector<std::size_t> order(chosen.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = order.size() - 1 - k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return p.cost[static_cast<std::size_t>(chosen[a])] > p.cost[static_cast<std::size_t>(chosen[b])];
  });
  std::vector<char> dropped(chosen.size(), 0);
  for (std::size_t k : order) {
    const std::vector<int>& cells = p.cells[static_cast<std::size_t>(chosen[k])];
    if (std::any_of(cells.begin(), cells.end(), [&](int c) { return count[static_cast<std::size_t>(c)] == 1; }))
      continue;
    for (int c : cells) --count[static_cast<std::size_t>(c)];
    dropped[k] = 1;
  }
  std::vector<int> cover;
  for (std::size_t k = 0; k < chosen.size(); ++k)
    if (!dropped[k]) cover.push_back(chosen[k]);
  return cover;
}

}  // namespace vorn
