// Covering problem solvers.
//
// Three greedy methods work on the matrix in place; the exact method is a
// branch and bound over derived states.  The exact search runs on an
// explicit stack of frames instead of the call stack: a matrix of a few
// thousand rows can nest that many include branches and block splits, which
// must not depend on the size of the thread's stack.  Frames are processed in
// the order the recursive formulation visits them (include before exclude,
// the rest block before the head row's block), so results are the same.
//
// Every solver first makes sure that each column has a covering row: the
// greedy loops and the lower bound would otherwise never finish.
//
// The exact search is exponential in the worst case.  The run's deadline
// (its time share, or an interrupt) bounds it: once it has expired, no state is branched on any more; each
// open state is completed along its include branch (the branch the search
// takes first anyway) and the cheapest cover found so far stands.  A run
// without a time limit keeps the exact search.  The greedy methods look at
// the deadline every few picks; once it has expired they cover the columns
// still open with one live row each, without scores.
#include "cover/solvers.h"

#include <algorithm>
#include <utility>


namespace vorn {

namespace {

void prepareScores(TCovMatrix& m, int mode) {
  m.scoreMode = mode;
  m.rowLines.assign(static_cast<std::size_t>(m.rowCount), TCovLine{});
  m.columnLines.assign(static_cast<std::size_t>(m.cells->columnCount), TCovLine{});
}

void handOver(TCovMatrix& m, TCovResult& result) {
  result.cost = m.chosenCount;
  result.chosen = chosenList(m);
}

/// The live rows covering column c, in the rows' visiting order.
void rowsCovering(const TCovMatrix& m, int c, std::vector<int>& out) {
  out.clear();
  bits::forEachCommonBit(m.cells->column(c), m.rows.bits(), m.cells->rowWords(), [&](int r) { out.push_back(r); });
  std::sort(out.begin(), out.end(), [&](int a, int b) { return m.rows.rank(a) > m.rows.rank(b); });
}

/// The row the priority rule takes, or -1 when the least covered column has no row.
int priorityRow(TCovMatrix& m, Random& random) {
  const CoverCells& cells = *m.cells;
  int minCount = INT_MAX;
  m.columns.forEach([&](int c) { minCount = std::min(minCount, m.columnLines[static_cast<std::size_t>(c)].count); });
  if (minCount <= 0) return -1;

  std::vector<int>& pairs = m.cells->scratch.pairs;
  std::vector<int>& covering = m.cells->scratch.covering;
  pairs.clear();
  m.columns.forEach([&](int c) {
    if (m.columnLines[static_cast<std::size_t>(c)].count != minCount) return;
    rowsCovering(m, c, covering);
    pairs.insert(pairs.end(), covering.begin(), covering.end());
  });
  int best = INT_MIN, tied = 0;
  for (int r : pairs) {
    const int count = m.rowLines[static_cast<std::size_t>(r)].count;
    if (count > best) {
      best = count;
      tied = 1;
    } else if (count == best) {
      ++tied;
    }
  }
  auto isBest = [&](int r) { return m.rowLines[static_cast<std::size_t>(r)].count == best; };
  if (tied == 1) return *std::find_if(pairs.begin(), pairs.end(), isBest);

  int dcBest = INT_MIN, tiedDc = 0;
  for (int r : pairs) {
    if (!isBest(r)) continue;
    const int free = cells.rowTerms[static_cast<std::size_t>(r)]->freeCount;
    if (free > dcBest) {
      dcBest = free;
      tiedDc = 1;
    } else if (free == dcBest) {
      ++tiedDc;
    }
  }
  const int k = tiedDc == 1 ? 1 : random.nextRandom() % tiedDc + 1;
  int seen = 0;
  for (int r : pairs)
    if (isBest(r) && cells.rowTerms[static_cast<std::size_t>(r)]->freeCount == dcBest && ++seen == k) return r;
  return -1;  // not reached: k lies within the tied pairs
}

/// Out of time: covers what is left with one live row per uncovered column,
/// without scores.  Every column has a live row (the solvers make sure of it
/// before they start, and neither selection nor removal takes a column's last
/// row away), so the result is a cover.
void completeQuickly(TCovMatrix& m) {
  m.scoreMode = 0;
  while (m.uncovered > 0) {
    const int c = m.columns.head();
    int row = -1;
    bits::forEachCommonBit(m.cells->column(c), m.rows.bits(), m.cells->rowWords(), [&](int r) {
      if (row < 0) row = r;
    });
    if (row < 0) return;
    SelectRow(m, row);
  }
}

/// How many picks pass between two looks at the clock: a pick scans the rows.
constexpr int kPicksPerCheck = 8;

/// The loop of the selecting solvers: choose the row `pick` names until every
/// column is covered (a pick of -1 means some column has no row left), then
/// hand the chosen rows over and close the progress report.  Once the run's
/// deadline has expired the rest is covered quickly.
template <typename Pick>
void selectUntilCovered(TCovMatrix& m, TCovResult& result, int start, const ProgressHooks& progress,
                        const Deadline& deadline, Pick&& pick) {
  DeadlineProbe outOfTime(deadline, kPicksPerCheck);
  while (m.uncovered > 0) {
    if (outOfTime.expired()) {
      completeQuickly(m);
      progress.step(start - m.uncovered, 0);
      break;
    }
    const int row = pick();
    if (row < 0) {
      result.uncoverable = true;
      break;
    }
    SelectRow(m, row);
    progress.step(start - m.uncovered, 0);
  }
  handOver(m, result);
  progress.end();
}

}  // namespace

void SolvePriorityCover(TCovMatrix& m, TCovResult& result, RunContext& run) {
  run.progress.begin("Solving CP - Priority cover", m.uncovered, 1);
  const int start = m.uncovered;
  prepareScores(m, 1);
  const CoverCells& cells = *m.cells;
  m.columns.forEach([&](int c) {
    bits::forEachCommonBit(cells.column(c), m.rows.bits(), cells.rowWords(), [&](int r) {
      ++m.rowLines[static_cast<std::size_t>(r)].count;
      ++m.columnLines[static_cast<std::size_t>(c)].count;
    });
  });
  selectUntilCovered(m, result, start, run.progress, run.deadline, [&] {
    m.columns.compact();
    return priorityRow(m, run.random);
  });
}

void SolveContributiveAddition(TCovMatrix& m, TCovResult& result, RunContext& run) {
  run.progress.begin("Solving CP - Contributive addition", m.uncovered, 1);
  const int start = m.uncovered;
  prepareScores(m, 2);
  ComputeContributions(m);
  selectUntilCovered(m, result, start, run.progress, run.deadline, [&] {
    double best = 0.0;
    int row = -1;
    m.rows.forEach([&](int r) {
      const double w = m.rowLines[static_cast<std::size_t>(r)].weight;
      if (w > 0.0 && w > best) {
        best = w;
        row = r;
      }
    });
    return row;
  });
}

void SolveContributiveRemoval(TCovMatrix& m, TCovResult& result, RunContext& run) {
  run.progress.begin("Solving CP - COntributive removal", m.uncovered, 1);
  prepareScores(m, 2);
  ComputeContributions(m);
  const int start = m.uncovered;
  DeadlineProbe outOfTime(run.deadline, kPicksPerCheck);
  do {
    if (outOfTime.expired()) {
      completeQuickly(m);
      break;
    }
    SelectEssentialRows(m);
    if (m.uncovered > 0) {
      double best = 2147483647.0;
      int row = -1;
      m.rows.forEach([&](int r) {
        const double w = m.rowLines[static_cast<std::size_t>(r)].weight;
        if (w < best) {
          best = w;
          row = r;
        }
      });
      if (row < 0) {
        result.uncoverable = true;
        break;
      }
      RemoveRow(m, row);
    }
    run.progress.step(start - m.uncovered, 0);
  } while (m.uncovered > 0);
  handOver(m, result);
  run.progress.end();
}

// ---- exact cover --------------------------------------------------------------

namespace {

/// Completes m by choosing its last live row until every column is covered.
void completeAlongInclude(TCovMatrix& m) {
  while (m.uncovered > 0) {
    const int row = m.rows.head();
    if (row < 0) return;
    SelectRow(m, row);
  }
}

struct ExactFrame {
  enum Kind { kSolve, kExclude, kCombine } kind = kSolve;
  TCovMatrix* m = nullptr;
  MatrixPtr owned;       ///< a state this frame keeps alive (m, when derived)
  MatrixPtr ownedBlock;  ///< kCombine: the split-off block
  TCovResult* best = nullptr;
  int row = -1;                     ///< kExclude: the row to delete
  std::unique_ptr<TCovResult> a, b;  ///< kCombine: the rest's and the block's result
};

void record(TCovMatrix& m, TCovResult& best) {
  if (m.chosenCount < best.cost) {
    best.chosen = chosenList(m);
    best.cost = m.chosenCount;
  }
}

/// Reduces m; false when the state can no longer beat best.
bool reduce(TCovMatrix& m, const TCovResult& best) {
  for (;;) {
    const int before = m.uncovered;
    SelectEssentialRows(m);
    const int gained = before - m.uncovered;
    if (best.cost <= m.chosenCount) return false;
    m.reduced = 0;
    if (m.uncovered > 0) RemoveDominatedRows(m);
    if (!(m.uncovered > 0 && (gained > 0 || m.reduced == 1))) return true;
  }
}

void solveFrame(ExactFrame& f, std::vector<ExactFrame>& stack, const Deadline& deadline) {
  TCovMatrix& m = *f.m;
  TCovResult& best = *f.best;
  m.scoreMode = 0;
  if (best.cost <= m.chosenCount) return;
  if (!reduce(m, best)) return;
  if (m.uncovered == 0) {
    record(m, best);
    return;
  }
  if (static_cast<long long>(LowerBound(m)) + m.chosenCount >= best.cost) return;

  if (std::optional<BitSet> marker = FindBlock(m)) {
    ExactFrame combine;
    combine.kind = ExactFrame::kCombine;
    combine.owned = std::move(f.owned);
    combine.ownedBlock = SplitBlock(m, *marker);
    combine.best = &best;
    combine.a = std::make_unique<TCovResult>();
    combine.b = std::make_unique<TCovResult>();
    ExactFrame rest, block;
    rest.m = &m;
    rest.best = combine.a.get();
    block.m = combine.ownedBlock.get();
    block.best = combine.b.get();
    stack.push_back(std::move(combine));
    stack.push_back(std::move(block));  // solved second
    stack.push_back(std::move(rest));   // solved first
    return;
  }

  const int last = m.rows.head();
  if (last < 0) return;  // columns left but no row: no completion
  if (deadline.expired()) {
    completeAlongInclude(m);
    if (m.uncovered == 0) record(m, best);
    return;
  }
  MatrixPtr c = CopyMatrixState(m);
  const int r = c->rows.head();  // the copy of m's last live row
  SelectRow(*c, r);
  ExactFrame exclude;
  exclude.kind = ExactFrame::kExclude;
  exclude.m = &m;
  exclude.owned = std::move(f.owned);
  exclude.best = &best;
  exclude.row = r;
  ExactFrame include;
  include.m = c.get();
  include.owned = std::move(c);
  include.best = &best;
  stack.push_back(std::move(exclude));
  stack.push_back(std::move(include));
}

}  // namespace

void SolveExact(TCovMatrix& top, TCovResult& best, const Deadline& deadline) {
  std::vector<ExactFrame> stack;
  ExactFrame first;
  first.m = &top;
  first.best = &best;
  stack.push_back(std::move(first));
  while (!stack.empty()) {
    ExactFrame f = std::move(stack.back());
    stack.pop_back();
    switch (f.kind) {
      case ExactFrame::kSolve:
        solveFrame(f, stack, deadline);
        break;
      case ExactFrame::kExclude: {
        if (deadline.expired()) break;  // out of time: the include branch already gave a cover
        RemoveRow(*f.m, f.row);
        ExactFrame next;
        next.m = f.m;
        next.owned = std::move(f.owned);
        next.best = f.best;
        stack.push_back(std::move(next));
        break;
      }
      case ExactFrame::kCombine: {
        const long long total = static_cast<long long>(f.a->cost) + f.b->cost;
        if (total < f.best->cost) {
          f.best->chosen = std::move(f.b->chosen);
          f.best->chosen.insert(f.best->chosen.end(), f.a->chosen.begin(), f.a->chosen.end());
          f.best->cost = static_cast<int>(total);
        }
        break;
      }
    }
  }
}

// ---- dispatcher -----------------------------------------------------------------

TCovResult SolveCover(TCovMatrix& m, RunContext& run) {
  TCovResult result;
  if (m.width == 0) return result;
  if (HasUncoverableColumn(m)) {
    result.uncoverable = true;
    return result;
  }
  switch (run.settings.cpMethod) {
    case 0:
      SolvePriorityCover(m, result, run);
      break;
    case 1:
      SolveContributiveAddition(m, result, run);
      break;
    case 2:
      SolveContributiveRemoval(m, result, run);
      break;
    case 3:
      run.progress.begin("Solving CP - exact", 0, 1);
      SolveExact(m, result, run.deadline);
      run.progress.end();
      break;
    default:
      break;
  }
  for (int r : result.chosen) result.terms.push_back(m.cells->rowTerms[static_cast<std::size_t>(r)]);
  return result;
}

}  // namespace vorn
