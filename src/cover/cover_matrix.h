// Cover lists of implicants and the cover matrix of the covering problem.
//
// The matrix has one row per implicant and one column per (output, on-set
// entry) pair.  Its cells are fixed once built and shared by every state a
// solver derives from it; a state owns only its lists of uncovered columns,
// live rows and chosen rows.  Cells are held twice as bit sets (rows over
// columns, columns over rows) so that every test is word-parallel.  Columns
// are numbered densely in (output, position) order; the sparse index of the
// multi-output layout (output x maxOnCount + position) is kept beside them.
//
// Lists keep the order of a list built by pushing at its head: they are
// vectors whose back is the head, with a live bit per member and lazy
// removal, so the visiting orders (and with them every tie-break) are those
// of the linked lists they replace.
#pragma once

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <vector>

#include "model/bits.h"
#include "model/function.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Rebuilds covers, coverCount and coverKeys of every term of an implicant set.
void DetermineCover(TBoolFnct& implicants, RunContext& run);

/// \brief Calls fn(onIndex) for each cover entry of `term` at `output`, in no particular order.
///
/// A term serving many outputs has a cover list as long as the output count;
/// its sorted keys give one output's entries in a binary search, so a pass
/// over every output stays linear.  Without keys the list is walked.
template <typename Fn>
void forEachCoverAt(const TPfnct& term, int output, int maxOnCount, Fn&& fn) {
  if (!term.coverKeys) {
    for (const CoverEntry& e : term.covers)
      if (e.output == output) fn(e.onIndex);
    return;
  }
  const std::vector<int>& keys = *term.coverKeys;
  const long long first = static_cast<long long>(output) * maxOnCount;
  auto it = std::lower_bound(keys.begin(), keys.end(), first);
  for (; it != keys.end() && *it < first + maxOnCount; ++it) fn(static_cast<int>(*it - first));
}

/// The cost of a result that holds no solution yet.
constexpr int kNoCover = INT_MAX;

/// An ordered list of indices below a fixed bound, visited head first.
class IndexList {
 public:
  IndexList() = default;
  explicit IndexList(int universe) : pos_(static_cast<std::size_t>(universe), -1), live_(universe) {}

  /// \brief Puts index i at the head of the list.
  void pushHead(int i);
  /// \brief Takes index i out of the list.
  void erase(int i);
  bool contains(int i) const { return live_.test(i); }
  int size() const { return size_; }
  /// \brief The bit set of the members.
  const Word* bits() const { return live_.data(); }
  /// \brief The head, or -1 for an empty list.
  int head() const;
  /// \brief Drops the slots of removed members; call only between walks.
  void compact();
  /// \brief A rank that grows towards the head: earlier in visiting order means a larger rank.
  int rank(int i) const { return pos_[static_cast<std::size_t>(i)]; }

  /// \brief Visits the members head first; a member removed during the walk is skipped.
  template <typename Fn>
  void forEach(Fn&& fn) const {
    for (std::size_t k = items_.size(); k-- > 0;) {
      const int i = items_[k];
      if (live_.test(i)) fn(i);
    }
  }
  /// \brief Like forEach, stopping as soon as fn returns true; returns that member or -1.
  template <typename Fn>
  int find(Fn&& fn) const {
    for (std::size_t k = items_.size(); k-- > 0;) {
      const int i = items_[k];
      if (live_.test(i) && fn(i)) return i;
    }
    return -1;
  }

 private:
  std::vector<int> items_;  ///< back is the head
  std::vector<int> pos_;    ///< slot of each member in items_
  BitSet live_;
  int size_ = 0;
};

/// Working lists of the matrix operations and solvers, kept between calls only
/// to spare allocations.  A matrix and the states derived from it are worked
/// on by one thread, so its states can share them.
struct CoverScratch {
  std::vector<int> selectColumns, removeColumns, splitColumns, boundCounts, pairs, covering;
};

/// The fixed cells of a matrix and the things its rows and columns stand for.
struct CoverCells {
  int columnCount = 0;  ///< dense columns
  int rowCount = 0;
  WordRows rowBits;     ///< per row, its columns
  WordRows columnBits;  ///< per column, its rows
  std::vector<TPfnct*> rowTerms;
  std::vector<const ListEntry*> columnEntries;
  std::vector<int> columnIndex;  ///< the column's index in the matrix layout

  /// \brief Words of a row's bit set (over columns).
  int columnWords() const { return rowBits.words(); }
  /// \brief Words of a column's bit set (over rows).
  int rowWords() const { return columnBits.words(); }
  const Word* row(int r) const { return rowBits.row(r); }
  const Word* column(int c) const { return columnBits.row(c); }
  bool cell(int r, int c) const { return bits::testBit(row(r), c); }
  mutable CoverScratch scratch;
};

/// The score of a row or a column entry.
struct TCovLine {
  double weight = 0.0;  ///< row: contribution; column: live rows covering it (scoreMode 2)
  int count = 0;        ///< row: uncovered columns it covers; column: live rows covering it
};

/// One covering problem, or a state derived from one while solving.
struct TCovMatrix {
  TBoolFnct* implicants = nullptr;
  int width = 0;  ///< layout width: outputs x maxOnCount, or onCounts[i]; 0 = nothing to cover
  int rowCount = 0;
  std::shared_ptr<const CoverCells> cells;
  IndexList columns;  ///< uncovered columns (dense indices)
  IndexList rows;     ///< live rows
  int uncovered = 0;
  std::vector<int> chosen;  ///< chosen rows in the order chosen (back = most recent)
  int chosenCount = 0;
  int reduced = 0;
  int scoreMode = 0;  ///< 0 none, 1 counts, 2 contributions
  std::vector<TCovLine> rowLines;     ///< scores by row index (scoreMode != 0)
  std::vector<TCovLine> columnLines;  ///< scores by column (scoreMode != 0)
};

/// What a solver returns.
struct TCovResult {
  int cost = kNoCover;
  std::vector<int> chosen;        ///< row indices, most recently chosen first
  std::vector<TPfnct*> terms;     ///< the implicants of `chosen`, filled by SolveCover
  bool uncoverable = false;       ///< a column no row covers: no cover exists
};

using MatrixPtr = std::unique_ptr<TCovMatrix>;

/// \brief The matrix over all outputs of an implicant set.
MatrixPtr BuildCoverMatrix(TBoolFnct& implicants);
/// \brief The matrix of output i, rows only where the term still has '1' at i.
MatrixPtr BuildOutputMatrix(TBoolFnct& implicants, int output);
/// \brief Releases a matrix.
void FreeCoverMatrix(MatrixPtr m);

/// \brief Chooses row r: it leaves the rows, every column it covers is covered.
void SelectRow(TCovMatrix& m, int r);
/// \brief Deletes row r without choosing it.
void RemoveRow(TCovMatrix& m, int r);
/// \brief Chooses every row that is the only cover of some column.
void SelectEssentialRows(TCovMatrix& m);
/// \brief Deletes every row whose live columns another live row covers too.
void RemoveDominatedRows(TCovMatrix& m);
/// \brief Gives every live row its contribution and every column its row count.
void ComputeContributions(TCovMatrix& m);
/// \brief Rows still needed at least: a greedy count of columns sharing no row.
int LowerBound(const TCovMatrix& m);
/// \brief The rows of the head row's block, or none when the matrix is one block.
std::optional<BitSet> FindBlock(const TCovMatrix& m);
/// \brief Moves the marked rows and their columns into a new state.
MatrixPtr SplitBlock(TCovMatrix& m, const BitSet& marker);
/// \brief A new state with the same lists (each reversed), sharing the cells.
MatrixPtr CopyMatrixState(const TCovMatrix& m);

/// \brief The chosen rows of a state in list order, most recently chosen first.
std::vector<int> chosenList(const TCovMatrix& m);
/// \brief True when some uncovered column is covered by no live row.
bool HasUncoverableColumn(const TCovMatrix& m);

}  // namespace vorn
