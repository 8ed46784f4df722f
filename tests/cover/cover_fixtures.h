// Small builders for the covering tests: functions from term lists, cover
// matrices from 0/1 tables, and a brute-force minimum cover.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cover/cover_matrix.h"
#include "model/function.h"
#include "support/oracle.h"

namespace vorn::test {

using TermSpec = std::pair<std::string, std::string>;  // input cube, output part

inline FunctionPtr makeFunction(int inputs, int outputs, const std::vector<TermSpec>& terms, int type = kTypeFr) {
  FunctionPtr f = create(inputs, outputs, 0, type);
  for (const auto& [in, out] : terms) {
    TPfnct* t = appendTerm(*f, in, out, 0);
    t->freeCount = t->input.countDashes();
  }
  return f;
}

inline FunctionPtr deriveWith(TBoolFnct& source, const std::vector<TermSpec>& terms) {
  FunctionPtr f = derive(source);
  for (const auto& [in, out] : terms) {
    TPfnct* t = appendTerm(*f, in, out, 0);
    t->freeCount = t->input.countDashes();
  }
  return f;
}

/// A single-output covering problem whose cells are a 0/1 table: row r is the
/// r-th implicant, column j is position j of the source's on-list.
struct TableProblem {
  FunctionPtr source;
  FunctionPtr implicants;
  std::vector<std::string> table;

  MatrixPtr matrix() { return BuildOutputMatrix(*implicants, 0); }
  int columns() const { return table.empty() ? 0 : static_cast<int>(table[0].size()); }
};

inline TableProblem fromTable(const std::vector<std::string>& table, const std::vector<int>& freeCounts = {}) {
  TableProblem p;
  p.table = table;
  const int cols = table.empty() ? 0 : static_cast<int>(table[0].size());
  std::vector<TermSpec> on;
  for (int k = 0; k < cols; ++k) on.push_back({mintermText(static_cast<std::uint64_t>(k), 8), "1"});
  p.source = makeFunction(8, 1, on);
  buildLists(*p.source);
  p.implicants = derive(*p.source);
  for (std::size_t r = 0; r < table.size(); ++r) {
    TPfnct* t = appendTerm(*p.implicants, "--------", "1", r < freeCounts.size() ? freeCounts[r] : 0);
    for (int j = cols - 1; j >= 0; --j)
      if (table[r][static_cast<std::size_t>(j)] == '1')
        t->covers.push_back(CoverEntry{&p.source->onLists[0][static_cast<std::size_t>(j)], j, 0});
    t->coverCount = static_cast<int>(t->covers.size());
  }
  return p;
}

/// A random table whose every column has a covering row.
inline std::vector<std::string> randomTable(std::mt19937& rng, int rows, int cols, int percent) {
  std::vector<std::string> t(static_cast<std::size_t>(rows), std::string(static_cast<std::size_t>(cols), '0'));
  for (auto& row : t)
    for (char& c : row) c = static_cast<int>(rng() % 100) < percent ? '1' : '0';
  for (int j = 0; j < cols; ++j) {
    bool any = false;
    for (auto& row : t) any = any || row[static_cast<std::size_t>(j)] == '1';
    if (!any) t[rng() % static_cast<std::size_t>(rows)][static_cast<std::size_t>(j)] = '1';
  }
  return t;
}

/// Two independent tables side by side, their rows interleaved at random.
inline std::vector<std::string> blockTable(std::mt19937& rng, const std::vector<std::string>& a,
                                           const std::vector<std::string>& b) {
  const std::size_t ca = a[0].size(), cb = b[0].size();
  std::vector<std::string> rows;
  for (const auto& r : a) rows.push_back(r + std::string(cb, '0'));
  for (const auto& r : b) rows.push_back(std::string(ca, '0') + r);
  std::shuffle(rows.begin(), rows.end(), rng);
  return rows;
}

/// True when the rows cover every column of the table.
inline bool coversTable(const std::vector<std::string>& table, const std::vector<int>& rows) {
  if (table.empty()) return true;
  for (std::size_t j = 0; j < table[0].size(); ++j) {
    bool any = false;
    for (int r : rows) any = any || table[static_cast<std::size_t>(r)][j] == '1';
    if (!any) return false;
  }
  return true;
}

/// The fewest rows that cover every column, by enumeration of all subsets.
inline int bruteForceMinimum(const std::vector<std::string>& table) {
  const int n = static_cast<int>(table.size());
  int best = n + 1;
  for (unsigned mask = 0; mask < (1u << n); ++mask) {
    const int size = __builtin_popcount(mask);
    if (size >= best) continue;
    std::vector<int> rows;
    for (int r = 0; r < n; ++r)
      if (mask & (1u << r)) rows.push_back(r);
    if (coversTable(table, rows)) best = size;
  }
  return best;
}

}  // namespace vorn::test
