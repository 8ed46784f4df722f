#include "exact/unate_covering.h"

#include <algorithm>
#include <numeric>

#include "exact/lagrangian_bound.h"
#include "exact/lagrangian_greedy.h"
#include "model/bits.h"

namespace vorn {

namespace {

/// The rows and columns left after the essential rows, as bit sets both ways.
struct Matrix {
  int rows = 0, columns = 0;
  WordRows rowBits, columnBits;  ///< per row its columns, per column its rows
  std::vector<long long> cost;
  std::vector<int> rowId;  ///< the problem's row of each matrix row

  /// \brief Words of a row's columns.
  int columnWords() const { return rowBits.words(); }
  /// \brief Words of a column's rows.
  int rowWords() const { return columnBits.words(); }
  const Word* row(int r) const { return rowBits.row(r); }
  const Word* column(int c) const { return columnBits.row(c); }
};

/// A node of the search: live rows, open columns, what it chose.
struct State {
  std::vector<Word> live, open;
  long long cost = 0;
  std::vector<int> chosen;
};

// Live rows and open columns are word vectors; these name the kernel's passes over them.
bool anyBit(const std::vector<Word>& s) { return bits::anyBit(s.data(), static_cast<int>(s.size())); }
void clearBit(std::vector<Word>& s, int i) { bits::clearBit(s.data(), i); }
void setBit(std::vector<Word>& s, int i) { bits::setBit(s.data(), i); }
bool hasBit(const std::vector<Word>& s, int i) { return bits::testBit(s.data(), i); }
template <typename Fn>
void forEachBit(const std::vector<Word>& s, Fn&& fn) {
  bits::forEachBit(s.data(), static_cast<int>(s.size()), fn);
}

// Subgradient steps at the start of a block's search, and in every node (from the last node's multipliers).
constexpr int kRootSteps = 2000;
constexpr int kNodeSteps = 40;
// Subgradient steps at every level of a dive.
constexpr int kDiveSteps = 100;
// Words of the matrix's rows above which the search reads the clock at every node.
constexpr long long kLargeMatrixWords = 4096;

class Search {
 public:
  Search(const Matrix& m, const CoveringParams& params)
      : m_(m),
        maxNodes_(params.maxNodes),
        diveShares_(params.diveShares),
        // A node of a large matrix takes long enough to read the clock every time.
        probe_(params.deadline, static_cast<long long>(m.rows) * m.columnWords() > kLargeMatrixWords ? 1 : 16),
        deadline_(params.deadline),
        u_(static_cast<std::size_t>(m.columns), 0.0) {}

  /// \brief Cuts the state down by essential rows and dominance; false when a column has no row left.
  bool reduce(State& s) const;
  /// \brief A dual-feasible lower bound of the cost still needed, and the column with the fewest rows.
  long long lowerBound(const State& s, int& branchColumn) const;
  /// \brief A cover of the state's open columns: the rows of `first` that still cover an open column,
  /// then greedy by columns per cost; without redundant rows.
  State greedy(State s, const std::vector<int>& first = {}) const;
  /// \brief The Lagrangian bound of the state's open columns after `steps` subgradient steps from the
  /// multipliers of the last node; drops the rows no cheaper cover than the best can hold, chooses those
  /// it must hold (`fixed` then set), and gives each live row's reduced cost in `rc` (per matrix row).
  long long lagrangian(State& s, int steps, bool& fixed, std::vector<double>& rc);
  /// \brief The Lagrangian bound of a block before its search, with a cover of the relaxation's rows
  /// made greedy, taken as the best when it is cheaper; the block may lose rows or gain chosen ones.
  long long rootBound(State& s);
  /// \brief Dives from s for covers cheaper than the best (unate_covering.h): each level chooses the
  /// rows of least reduced cost of the multipliers' greedy cover, until they hold `share` of the open
  /// columns; every level's greedy cover that is cheaper than the best becomes the best.
  void dive(State s, double share);
  /// \brief The relaxation of the state's live rows over its open columns; `rows` and `columns` get the
  /// matrix row and column of each of its own.
  LagrangianProblem relaxation(const State& s, std::vector<int>& rows, std::vector<int>& columns) const;
  /// \brief Searches below s for covers cheaper than best; false once stopped by the deadline.
  bool branch(State s);
  /// \brief The blocks of the state: sets of rows and columns that share nothing with the others.
  std::vector<State> blocks(const State& s) const;

  long long bestCost = LLONG_MAX;
  std::vector<int> bestRows;
  bool bestFound = false;  ///< bestRows hold a cover (not only an outside bound)
  long long nodes = 0;

 private:
  void select(State& s, int r) const {
    s.cost += m_.cost[static_cast<std::size_t>(r)];
    s.chosen.push_back(r);
    clearBit(s.live, r);
    const Word* cells = m_.row(r);
    Word* open = s.open.data();
    bits::assignWords(open, m_.columnWords(), [&](int w) { return open[w] & ~cells[w]; });
  }
  bool essentials(State& s, bool& changed) const;
  bool rowDominance(State& s) const;
  bool columnDominance(State& s) const;

  const Matrix& m_;
  long long maxNodes_;
  std::vector<double> diveShares_;
  DeadlineProbe probe_;
  Deadline deadline_;
  std::vector<double> u_;  ///< the multipliers of the last node, per matrix column
};

bool Search::essentials(State& s, bool& changed) const {
  bool ok = true;
  forEachBit(s.open, [&](int c) {
    if (!ok || !hasBit(s.open, c)) return;
    const int only = bits::soleCommonBit(m_.column(c), s.live.data(), m_.rowWords());
    if (only == -1) ok = false;
    if (only >= 0) {
      select(s, only);
      changed = true;
    }
  });
  return ok;
}

bool Search::rowDominance(State& s) const {
  bool changed = false;
  const Word* open = s.open.data();
  forEachBit(s.live, [&](int r1) {
    const Word* a = m_.row(r1);
    const int first = bits::firstCommonBit(a, open, m_.columnWords());
    if (first < 0) {  // covers nothing that is still open
      clearBit(s.live, r1);
      changed = true;
      return;
    }
    const long long c1 = m_.cost[static_cast<std::size_t>(r1)];
    const int by = bits::findCommonBit(m_.column(first), s.live.data(), m_.rowWords(), [&](int r2) {
      const long long c2 = m_.cost[static_cast<std::size_t>(r2)];
      if (r2 == r1 || c2 > c1 || !bits::coveredWithin(a, open, m_.row(r2), m_.columnWords())) return false;
      // Of two equal rows at equal cost the later one goes.
      return c2 < c1 || r2 < r1 || !bits::coveredWithin(m_.row(r2), open, a, m_.columnWords());
    });
    if (by >= 0) {
      clearBit(s.live, r1);
      changed = true;
    }
  });
  return changed;
}

bool Search::columnDominance(State& s) const {
  bool changed = false;
  const Word* live = s.live.data();
  forEachBit(s.open, [&](int c1) {
    if (!hasBit(s.open, c1)) return;
    const Word* a = m_.column(c1);
    const int first = bits::firstCommonBit(a, live, m_.rowWords());
    if (first < 0) return;  // found by the essential pass as uncoverable
    bits::forEachCommonBit(m_.row(first), s.open.data(), m_.columnWords(), [&](int c2) {
      if (c2 == c1 || !bits::coveredWithin(a, live, m_.column(c2), m_.rowWords())) return;
      // c1's rows all cover c2: covering c1 covers c2.  Of two equal columns the later one goes.
      if (c1 < c2 || !bits::coveredWithin(m_.column(c2), live, a, m_.rowWords())) {
        clearBit(s.open, c2);
        changed = true;
      }
    });
  });
  return changed;
}

bool Search::reduce(State& s) const {
  for (bool changed = true; changed;) {
    changed = false;
    if (!essentials(s, changed)) return false;
    if (changed) continue;
    changed = rowDominance(s);
    changed = columnDominance(s) || changed;
  }
  return true;
}

long long Search::lowerBound(const State& s, int& branchColumn) const {
  std::vector<std::pair<int, int>> order;  // (live rows, column)
  forEachBit(s.open, [&](int c) {
    order.emplace_back(bits::countCommonBits(m_.column(c), s.live.data(), m_.rowWords()), c);
  });
  std::sort(order.begin(), order.end());
  branchColumn = order.empty() ? -1 : order.front().second;
  std::vector<long long> slack(m_.cost);
  long long bound = 0;
  for (const auto& [count, c] : order) {
    long long y = LLONG_MAX;
    bits::forEachCommonBit(m_.column(c), s.live.data(), m_.rowWords(),
                     [&](int r) { y = std::min(y, slack[static_cast<std::size_t>(r)]); });
    if (y <= 0 || y == LLONG_MAX) continue;
    bound += y;
    bits::forEachCommonBit(m_.column(c), s.live.data(), m_.rowWords(),
                     [&](int r) { slack[static_cast<std::size_t>(r)] -= y; });
  }
  return bound;
}

State Search::greedy(State s, const std::vector<int>& first) const {
  const std::vector<int> before(s.chosen);
  for (int r : first)
    if (hasBit(s.live, r) && bits::countCommonBits(m_.row(r), s.open.data(), m_.columnWords()) > 0) select(s, r);
  while (anyBit(s.open)) {
    int pick = -1;
    double best = -1;
    forEachBit(s.live, [&](int r) {
      const int n = bits::countCommonBits(m_.row(r), s.open.data(), m_.columnWords());
      if (n == 0) return;
      const long long c = m_.cost[static_cast<std::size_t>(r)];
      const double score = c == 0 ? 1e18 : static_cast<double>(n) / static_cast<double>(c);
      if (score > best) best = score, pick = r;
    });
    if (pick < 0) break;  // an uncoverable column: left to the caller's reduce
    select(s, pick);
  }
  // Drop picks whose columns the other picks cover, the latest first.
  std::vector<int> count(static_cast<std::size_t>(m_.columns), 0);
  for (int r : s.chosen)
    bits::forEachBit(m_.row(r), m_.columnWords(), [&](int c) { ++count[static_cast<std::size_t>(c)]; });
  for (std::size_t k = s.chosen.size(); k-- > before.size();) {
    const int r = s.chosen[k];
    bool needed = false;
    bits::forEachBit(m_.row(r), m_.columnWords(),
                     [&](int c) { needed = needed || count[static_cast<std::size_t>(c)] == 1; });
    if (needed) continue;
    bits::forEachBit(m_.row(r), m_.columnWords(), [&](int c) { --count[static_cast<std::size_t>(c)]; });
    s.cost -= m_.cost[static_cast<std::size_t>(r)];
    s.chosen.erase(s.chosen.begin() + static_cast<std::ptrdiff_t>(k));
  }
  return s;
}

LagrangianProblem Search::relaxation(const State& s, std::vector<int>& rows, std::vector<int>& columns) const {
  LagrangianProblem p;
  rows.clear();
  columns.clear();
  std::vector<int> index(static_cast<std::size_t>(m_.columns), -1);
  forEachBit(s.open, [&](int c) {
    index[static_cast<std::size_t>(c)] = static_cast<int>(columns.size());
    columns.push_back(c);
  });
  p.columns = static_cast<int>(columns.size());
  forEachBit(s.live, [&](int r) {
    std::vector<int> cells;
    bits::forEachCommonBit(m_.row(r), s.open.data(), m_.columnWords(),
                           [&](int c) { cells.push_back(index[static_cast<std::size_t>(c)]); });
    rows.push_back(r);
    p.cost.push_back(m_.cost[static_cast<std::size_t>(r)]);
    p.cells.push_back(std::move(cells));
  });
  return p;
}

long long Search::lagrangian(State& s, int steps, bool& fixed, std::vector<double>& rc) {
  std::vector<int> rows, columns;  // the matrix row and column of each of p's
  const LagrangianProblem p = relaxation(s, rows, columns);
  LagrangianParams lp;
  lp.iterations = steps;
  lp.deadline = deadline_;
  lp.upperBound = bestCost == LLONG_MAX ? LLONG_MAX : bestCost - s.cost;
  for (int c : columns) lp.start.push_back(u_[static_cast<std::size_t>(c)]);
  const LagrangianResult l = LagrangianBound(p, lp);
  for (std::size_t k = 0; k < columns.size(); ++k)
    u_[static_cast<std::size_t>(columns[k])] = l.multipliers[k];
  rc.assign(static_cast<std::size_t>(m_.rows), 0.0);
  for (std::size_t k = 0; k < rows.size(); ++k) rc[static_cast<std::size_t>(rows[k])] = l.reducedCost[k];
  if (l.bound >= lp.upperBound) return l.bound;
  // Every cover holding a row costs at least L + its reduced cost, every one without it L - that cost.
  std::vector<int> needed;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const double d = l.reducedCost[k];
    if (d > 0 && BoundOf(l.value + d) >= lp.upperBound) {
      clearBit(s.live, rows[k]);
      fixed = true;
    } else if (d < 0 && BoundOf(l.value - d) >= lp.upperBound) {
      needed.push_back(rows[k]);
    }
  }
  for (int r : needed) {
    select(s, r);
    fixed = true;
  }
  return l.bound;
}

long long Search::rootBound(State& s) {
  bool fixed = false;
  std::vector<double> rc;
  const long long cost = s.cost;
  const long long bound = cost + lagrangian(s, kRootSteps, fixed, rc);  // of the block before any fixing
  if (bound >= bestCost) return bound;
  // The rows the relaxation takes, cheapest reduced cost first, completed greedily.
  std::vector<int> first;
  forEachBit(s.live, [&](int r) {
    if (rc[static_cast<std::size_t>(r)] < 0) first.push_back(r);
  });
  std::sort(first.begin(), first.end(),
            [&](int a, int b) { return rc[static_cast<std::size_t>(a)] < rc[static_cast<std::size_t>(b)]; });
  const State cover = greedy(s, first);
  if (!anyBit(cover.open) && cover.cost < bestCost) {
    bestCost = cover.cost;
    bestRows = cover.chosen;
    bestFound = true;
  }
  for (double share : diveShares_) dive(s, share);
  return bound;
}

void Search::dive(State s, double diveShare) {
  std::vector<double> rc;
  std::vector<int> rows, columns;
  // A level counts as a node, and it takes far longer than one: the clock is read at every level.
  while (++nodes <= maxNodes_ && !deadline_.expired()) {
    if (!reduce(s) || s.cost >= bestCost) return;
    if (!anyBit(s.open)) {
      bestCost = s.cost;
      bestRows = s.chosen;
      bestFound = true;
      return;
    }
    bool fixed = false;
    const long long cost = s.cost;  // the bound is of the state before any fixing
    if (cost + lagrangian(s, kDiveSteps, fixed, rc) >= bestCost) return;
    if (fixed) continue;  // reduced again first
    const LagrangianProblem p = relaxation(s, rows, columns);
    std::vector<double> u;
    for (int c : columns) u.push_back(u_[static_cast<std::size_t>(c)]);
    const std::vector<int> cover = LagrangianGreedy(p, u);
    if (cover.empty()) return;
    long long total = s.cost;
    for (int k : cover) total += p.cost[static_cast<std::size_t>(k)];
    if (total < bestCost) {
      bestCost = total;
      bestRows = s.chosen;
      for (int k : cover) bestRows.push_back(rows[static_cast<std::size_t>(k)]);
      bestFound = true;
    }
    // The cover's rows the relaxation likes best are chosen, until they hold the share.
    std::vector<std::pair<double, int>> order;
    for (int k : cover) order.emplace_back(rc[static_cast<std::size_t>(rows[static_cast<std::size_t>(k)])], k);
    std::stable_sort(order.begin(), order.end(),
                     [](const std::pair<double, int>& a, const std::pair<double, int>& b) { return a.first < b.first; });
    const int share = std::max(1, static_cast<int>(diveShare * p.columns));
    std::vector<char> held(static_cast<std::size_t>(p.columns), 0);
    int count = 0;
    for (const auto& entry : order) {
      if (count >= share) break;
      select(s, rows[static_cast<std::size_t>(entry.second)]);
      for (int c : p.cells[static_cast<std::size_t>(entry.second)])
        if (!held[static_cast<std::size_t>(c)]) held[static_cast<std::size_t>(c)] = 1, ++count;
    }
  }
}

bool Search::branch(State s) {
  if (++nodes > maxNodes_ || probe_.expired()) return false;
  std::vector<double> rc;
  int column = -1;
  for (int round = 0;; ++round) {
    if (!reduce(s)) return true;
    if (s.cost >= bestCost) return true;
    const long long bound = lowerBound(s, column);
    if (column < 0) {
      bestCost = s.cost;
      bestRows = s.chosen;
      bestFound = true;
      return true;
    }
    if (s.cost + bound >= bestCost) return true;
    if (round == 3) break;  // rc is the last round's, good enough to order the children
    bool fixed = false;
    const long long cost = s.cost;  // the bound is of the node before any fixing
    if (cost + lagrangian(s, kNodeSteps, fixed, rc) >= bestCost) return true;
    if (!fixed) break;
  }
  // The rows of the column, those the relaxation likes best (lowest reduced cost) first.
  std::vector<std::pair<double, int>> rows;
  bits::forEachCommonBit(m_.column(column), s.live.data(), m_.rowWords(),
                         [&](int r) { rows.emplace_back(rc[static_cast<std::size_t>(r)], r); });
  std::sort(rows.begin(), rows.end());
  for (const auto& entry : rows) {
    State child = s;
    select(child, entry.second);
    if (!branch(std::move(child))) return false;
    clearBit(s.live, entry.second);  // the later children do without this row
  }
  return true;
}

std::vector<State> Search::blocks(const State& s) const {
  std::vector<State> out;
  std::vector<Word> left = s.open;
  while (anyBit(left)) {
    State b;
    b.live.assign(s.live.size(), 0);
    b.open.assign(s.open.size(), 0);
    int seed = -1;
    forEachBit(left, [&](int c) {
      if (seed < 0) seed = c;
    });
    std::vector<int> stack{seed};
    setBit(b.open, seed);
    while (!stack.empty()) {
      const int c = stack.back();
      stack.pop_back();
      bits::forEachCommonBit(m_.column(c), s.live.data(), m_.rowWords(), [&](int r) {
        if (hasBit(b.live, r)) return;
        setBit(b.live, r);
        bits::forEachCommonBit(m_.row(r), s.open.data(), m_.columnWords(), [&](int c2) {
          if (hasBit(b.open, c2)) return;
          setBit(b.open, c2);
          stack.push_back(c2);
        });
      });
    }
    for (std::size_t w = 0; w < left.size(); ++w) left[w] &= ~b.open[w];
    out.push_back(std::move(b));
  }
  return out;
}

/// Rows that alone cover some column, and the columns they leave open, found on the sparse problem.
struct Essentials {
  std::vector<int> rows;
  long long cost = 0;
  std::vector<char> covered;  ///< per column
};

Essentials findEssentials(const CoveringProblem& p) {
  Essentials e;
  const int rows = static_cast<int>(p.cost.size());
  std::vector<char> chosen(static_cast<std::size_t>(rows), 0);
  for (const std::vector<int>& col : p.columns)
    if (col.size() == 1 && !chosen[static_cast<std::size_t>(col[0])]) {
      chosen[static_cast<std::size_t>(col[0])] = 1;
      e.rows.push_back(col[0]);
      e.cost += p.cost[static_cast<std::size_t>(col[0])];
    }
  e.covered.assign(p.columns.size(), 0);
  for (std::size_t c = 0; c < p.columns.size(); ++c)
    for (int r : p.columns[c])
      if (chosen[static_cast<std::size_t>(r)]) e.covered[c] = 1;
  return e;
}

/// \brief The matrix of the open columns and the rows that cover one; false when it would pass the bound.
bool buildMatrix(const CoveringProblem& p, const Essentials& e, long long maxWords, Matrix& m) {
  std::vector<int> rowIndex(p.cost.size(), -1);
  std::vector<int> open;
  for (std::size_t c = 0; c < p.columns.size(); ++c) {
    if (e.covered[c]) continue;
    open.push_back(static_cast<int>(c));
    for (int r : p.columns[c])
      if (rowIndex[static_cast<std::size_t>(r)] < 0) {
        rowIndex[static_cast<std::size_t>(r)] = m.rows++;
        m.rowId.push_back(r);
      }
  }
  m.columns = static_cast<int>(open.size());
  const int rowWords = bits::wordsFor(m.rows), columnWords = bits::wordsFor(m.columns);
  if (static_cast<long long>(m.rows) * columnWords + static_cast<long long>(m.columns) * rowWords > maxWords)
    return false;
  m.rowBits = WordRows(m.rows, columnWords);
  m.columnBits = WordRows(m.columns, rowWords);
  for (int r : m.rowId) m.cost.push_back(p.cost[static_cast<std::size_t>(r)]);
  for (int c = 0; c < m.columns; ++c)
    for (int pr : p.columns[static_cast<std::size_t>(open[static_cast<std::size_t>(c)])]) {
      const int r = rowIndex[static_cast<std::size_t>(pr)];
      bits::setBit(m.rowBits.row(r), c);
      bits::setBit(m.columnBits.row(c), r);
    }
  return true;
}

/// \brief The dual ascent bound of the sparse problem's open columns (used when no matrix is built).
long long sparseBound(const CoveringProblem& p, const Essentials& e) {
  std::vector<long long> slack(p.cost);
  std::vector<int> order;
  for (std::size_t c = 0; c < p.columns.size(); ++c)
    if (!e.covered[c]) order.push_back(static_cast<int>(c));
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return p.columns[static_cast<std::size_t>(a)].size() < p.columns[static_cast<std::size_t>(b)].size();
  });
  long long bound = 0;
  for (int c : order) {
    long long y = LLONG_MAX;
    for (int r : p.columns[static_cast<std::size_t>(c)]) y = std::min(y, slack[static_cast<std::size_t>(r)]);
    if (y <= 0 || y == LLONG_MAX) continue;
    bound += y;
    for (int r : p.columns[static_cast<std::size_t>(c)]) slack[static_cast<std::size_t>(r)] -= y;
  }
  return bound;
}

}  // namespace

CoveringResult SolveCovering(const CoveringProblem& p, const CoveringParams& params) {
  CoveringResult result;
  const Essentials e = findEssentials(p);
  Matrix m;
  if (!buildMatrix(p, e, params.maxMatrixWords, m)) {
    result.lowerBound = e.cost + sparseBound(p, e);
    result.proven = result.lowerBound >= params.upperBound;
    return result;
  }
  Search search(m, params);
  State root;
  root.live.assign(static_cast<std::size_t>(m.rowWords()), 0);
  root.open.assign(static_cast<std::size_t>(m.columnWords()), 0);
  for (int r = 0; r < m.rows; ++r) setBit(root.live, r);
  for (int c = 0; c < m.columns; ++c) setBit(root.open, c);
  search.reduce(root);  // the cells come from primes that hold them: every column has a row
  result.coreRows = 0;
  forEachBit(root.live, [&](int) { ++result.coreRows; });
  forEachBit(root.open, [&](int) { ++result.coreColumns; });
  std::vector<int> rows(e.rows);
  for (int r : root.chosen) rows.push_back(m.rowId[static_cast<std::size_t>(r)]);
  long long cost = e.cost + root.cost, bound = cost;
  bool complete = true;
  const std::vector<State> blocks = search.blocks(root);
  for (const State& block : blocks) {
    State start = block;
    int column = -1;
    long long blockBound = search.lowerBound(start, column);
    const State first = search.greedy(start);
    search.bestCost = first.cost;
    search.bestRows = first.chosen;
    search.bestFound = true;
    // One block is the whole problem: a cheaper cover from outside bounds it better.
    if (blocks.size() == 1 && params.upperBound - cost < search.bestCost) {
      search.bestCost = params.upperBound - cost;
      search.bestFound = false;
    }
    if (blockBound < search.bestCost) blockBound = std::max(blockBound, search.rootBound(start));
    const bool done = blockBound >= search.bestCost || search.branch(start);
    complete = complete && done;
    result.nodes = search.nodes;
    bound += done ? search.bestCost : blockBound;
    if (!search.bestFound) {  // nothing beat the outside cover
      result.lowerBound = bound;
      result.proven = done;
      return result;
    }
    cost += search.bestCost;
    for (int r : search.bestRows) rows.push_back(m.rowId[static_cast<std::size_t>(r)]);
  }
  result.proven = complete;
  result.lowerBound = complete ? std::min(cost, params.upperBound) : std::min(bound, params.upperBound);
  if (cost < params.upperBound) {
    result.improved = true;
    result.rows = rows;
    result.cost = cost;
  }
  return result;
}

}  // namespace vorn
