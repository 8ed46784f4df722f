// The cover matrix and its operations.
//
// Rows and columns are bit sets (see model/bits.h); the lists of a state are
// IndexLists that visit their members in the order of head-pushed linked
// lists.  Operations that must visit the columns of one row in list order
// (the score updates, whose floating-point sums depend on the order) collect
// the row's uncovered columns from its bit set and sort them by list rank,
// so they cost the row's size rather than the matrix width.
#include "cover/cover_matrix.h"

#include <algorithm>

namespace vorn {

// ---- IndexList ------------------------------------------------------------

void IndexList::pushHead(int i) {
  pos_[static_cast<std::size_t>(i)] = static_cast<int>(items_.size());
  items_.push_back(i);
  live_.set(i);
  ++size_;
}

void IndexList::erase(int i) {
  if (!live_.test(i)) return;
  live_.reset(i);
  --size_;
}

int IndexList::head() const {
  for (std::size_t k = items_.size(); k-- > 0;)
    if (live_.test(items_[k])) return items_[k];
  return -1;
}

void IndexList::compact() {
  if (items_.size() <= static_cast<std::size_t>(2 * size_ + 16)) return;
  std::size_t kept = 0;
  for (std::size_t k = 0; k < items_.size(); ++k) {
    const int i = items_[k];
    if (!live_.test(i)) continue;
    pos_[static_cast<std::size_t>(i)] = static_cast<int>(kept);
    items_[kept++] = i;
  }
  items_.resize(kept);
}

// ---- building ---------------------------------------------------------------

namespace {

/// The columns of one layout: for each output taken, its first dense column
/// and the layout index of its position 0.
struct Layout {
  int base = 0;                  ///< the output of entry 0: a one-output layout holds only its output
  std::vector<int> firstDense;   ///< by output; -1 when the output has no columns here
  std::vector<int> firstIndex;   ///< by output
  std::vector<int> onCount;      ///< by output
};

MatrixPtr makeMatrix(TBoolFnct& f, const Layout& layout, int width, int onlyOutput) {
  auto m = std::make_unique<TCovMatrix>();
  auto cells = std::make_shared<CoverCells>();
  TBoolFnct* source = f.source;
  m->implicants = &f;
  m->width = width;

  for (TPfnct* t = f.head.get(); t; t = t->next.get()) cells->rowTerms.push_back(t);
  const int rows = static_cast<int>(cells->rowTerms.size());
  const int outputs = static_cast<int>(layout.onCount.size());
  for (int i = 0; i < outputs; ++i) {
    if (layout.firstDense[static_cast<std::size_t>(i)] < 0) continue;
    const TermList& on = source->onLists[static_cast<std::size_t>(layout.base + i)];
    for (int j = 0; j < layout.onCount[static_cast<std::size_t>(i)]; ++j) {
      cells->columnEntries.push_back(&on[static_cast<std::size_t>(j)]);
      cells->columnIndex.push_back(layout.firstIndex[static_cast<std::size_t>(i)] + j);
    }
  }
  const int columns = static_cast<int>(cells->columnEntries.size());
  cells->rowCount = rows;
  cells->columnCount = columns;
  cells->rowBits = WordRows(rows, bits::wordsFor(columns));
  cells->columnBits = WordRows(columns, bits::wordsFor(rows));

  for (int r = 0; r < rows; ++r) {
    const TPfnct& t = *cells->rowTerms[static_cast<std::size_t>(r)];
    if (onlyOutput >= 0 && (static_cast<int>(t.output.size()) <= onlyOutput || t.output[onlyOutput] != '1')) continue;
    Word* row = cells->rowBits.row(r);
    auto mark = [&](int slot, int onIndex) {
      // Entries outside the layout (another output, a stale position) have no column.
      if (slot < 0 || slot >= outputs) return;
      const int first = layout.firstDense[static_cast<std::size_t>(slot)];
      if (first < 0 || onIndex < 0 || onIndex >= layout.onCount[static_cast<std::size_t>(slot)]) return;
      const int c = first + onIndex;
      bits::setBit(row, c);
      bits::setBit(cells->columnBits.row(c), r);
    };
    if (onlyOutput >= 0) {
      forEachCoverAt(t, onlyOutput, source->maxOnCount, [&](int onIndex) { mark(0, onIndex); });
    } else {
      for (const CoverEntry& e : t.covers) mark(e.output - layout.base, e.onIndex);
    }
  }

  m->rowCount = rows;
  m->columns = IndexList(columns);
  m->rows = IndexList(rows);
  for (int c = 0; c < columns; ++c) m->columns.pushHead(c);
  for (int r = 0; r < rows; ++r) m->rows.pushHead(r);
  m->uncovered = columns;
  m->cells = std::move(cells);
  return m;
}

Layout emptyLayout(int outputs) {
  Layout l;
  l.firstDense.assign(static_cast<std::size_t>(outputs), -1);
  l.firstIndex.assign(static_cast<std::size_t>(outputs), 0);
  l.onCount.assign(static_cast<std::size_t>(outputs), 0);
  return l;
}

/// The source's on-lists, built when the caller has not done so.
TBoolFnct* indexedSource(TBoolFnct& f) {
  if (f.source) buildLists(*f.source);
  return f.source;
}

}  // namespace

MatrixPtr BuildCoverMatrix(TBoolFnct& f) {
  TBoolFnct* source = indexedSource(f);
  if (!source) return makeMatrix(f, emptyLayout(0), 0, -1);
  const int outputs = source->outputCount;
  const int maxOn = source->maxOnCount;
  Layout l = emptyLayout(outputs);
  int dense = 0;
  for (int i = 0; i < outputs; ++i) {
    l.firstDense[static_cast<std::size_t>(i)] = dense;
    l.firstIndex[static_cast<std::size_t>(i)] = i * maxOn;
    l.onCount[static_cast<std::size_t>(i)] = source->onCounts[static_cast<std::size_t>(i)];
    dense += source->onCounts[static_cast<std::size_t>(i)];
  }
  return makeMatrix(f, l, outputs * maxOn, -1);
}

MatrixPtr BuildOutputMatrix(TBoolFnct& f, int output) {
  TBoolFnct* source = indexedSource(f);
  if (!source || output < 0 || output >= source->outputCount) return makeMatrix(f, emptyLayout(0), 0, -1);
  // Only the one output: a layout over all outputs would make sparsing and
  // single-output covers quadratic in the number of outputs.
  Layout l = emptyLayout(1);
  l.base = output;
  const int count = source->onCounts[static_cast<std::size_t>(output)];
  l.firstDense[0] = 0;
  l.onCount[0] = count;
  return makeMatrix(f, l, count, output);
}

void FreeCoverMatrix(MatrixPtr m) { m.reset(); }

// ---- operations -------------------------------------------------------------

namespace {

/// The uncovered columns of row r in the columns' visiting order.
void uncoveredColumnsOf(const TCovMatrix& m, int r, std::vector<int>& out) {
  out.clear();
  bits::forEachCommonBit(m.cells->row(r), m.columns.bits(), m.cells->columnWords(), [&](int c) { out.push_back(c); });
  std::sort(out.begin(), out.end(), [&](int a, int b) { return m.columns.rank(a) > m.columns.rank(b); });
}

void ensureScores(TCovMatrix& m) {
  m.rowLines.resize(static_cast<std::size_t>(m.rowCount));
  m.columnLines.resize(static_cast<std::size_t>(m.cells->columnCount));
}

}  // namespace

void SelectRow(TCovMatrix& m, int r) {
  m.rows.erase(r);
  m.chosen.push_back(r);
  ++m.chosenCount;
  const CoverCells& cells = *m.cells;
  if (m.scoreMode == 0) {
    // Without scores the order does not matter: clear the row's columns at once.
    bits::forEachCommonBit(cells.row(r), m.columns.bits(), cells.columnWords(), [&](int c) {
      m.columns.erase(c);
      --m.uncovered;
    });
    return;
  }
  std::vector<int>& cols = cells.scratch.selectColumns;
  uncoveredColumnsOf(m, r, cols);
  for (int c : cols) {
    --m.uncovered;
    m.columns.erase(c);
    const double cw = m.columnLines[static_cast<std::size_t>(c)].weight;
    bits::forEachCommonBit(cells.column(c), m.rows.bits(), cells.rowWords(), [&](int x) {
      TCovLine& row = m.rowLines[static_cast<std::size_t>(x)];
      if (m.scoreMode == 2) row.weight = row.weight - 1.0 / cw;
      --row.count;
    });
  }
}

void RemoveRow(TCovMatrix& m, int r) {
  m.rows.erase(r);
  if (m.scoreMode == 0) return;
  const CoverCells& cells = *m.cells;
  std::vector<int>& cols = cells.scratch.removeColumns;
  uncoveredColumnsOf(m, r, cols);
  for (int c : cols) {
    TCovLine& col = m.columnLines[static_cast<std::size_t>(c)];
    if (m.scoreMode == 2) {
      const double cw = col.weight;
      bits::forEachCommonBit(cells.column(c), m.rows.bits(), cells.rowWords(), [&](int x) {
        TCovLine& row = m.rowLines[static_cast<std::size_t>(x)];
        row.weight = row.weight - 1.0 / cw;
        row.weight = row.weight + 1.0 / (cw - 1.0);
      });
    }
    col.weight = col.weight - 1.0;
    --col.count;
  }
}

void SelectEssentialRows(TCovMatrix& m) {
  // One pass is the same as rescanning from the head after every choice:
  // choosing X only removes X and X's columns, so a column passed over before
  // still has zero or at least two live rows.
  m.columns.compact();
  m.rows.compact();
  const CoverCells& cells = *m.cells;
  m.columns.forEach([&](int c) {
    if (!m.columns.contains(c)) return;
    const Word* col = cells.column(c);
    const Word* live = m.rows.bits();
    // the column's live rows, looked at word by word until a second one shows
    int only = -1, found = 0;
    bits::anyWord(cells.rowWords(), [&](int w) {
      const Word rows = col[w] & live[w];
      if (!rows) return false;
      found += bits::popcount(rows);
      only = 64 * w + bits::nthBit(&rows, 1, 0);
      return found >= 2;
    });
    if (found == 1) SelectRow(m, only);
  });
}

void RemoveDominatedRows(TCovMatrix& m) {
  m.columns.compact();
  m.rows.compact();
  const CoverCells& cells = *m.cells;
  const int words = cells.columnWords();
  m.rows.forEach([&](int r) {
    const Word* row = cells.row(r);
    // Any dominating row must cover r's first live column, so only those rows
    // are tried; which one dominates does not matter, only whether one does.
    const Word* liveColumns = m.columns.bits();
    const int first = bits::firstWordBit(words, [&](int w) { return row[w] & liveColumns[w]; });
    bool dominated = false;
    if (first < 0) {
      dominated = m.rows.size() > 1;
    } else {
      const Word* candidates = cells.column(first);
      const Word* live = m.rows.bits();
      // word by word, so that the first dominating row ends the search
      bits::anyWord(cells.rowWords(), [&](int w) {
        bits::forEachCommonBit(candidates + w, live + w, 1, [&](int i) {
          const int x = w * 64 + i;
          if (!dominated && x != r) dominated = bits::coveredWithin(row, liveColumns, cells.row(x), words);
        });
        return dominated;
      });
    }
    if (dominated) {
      RemoveRow(m, r);
      m.reduced = 1;
    }
  });
}

void ComputeContributions(TCovMatrix& m) {
  ensureScores(m);
  const CoverCells& cells = *m.cells;
  m.rows.forEach([&](int r) { m.rowLines[static_cast<std::size_t>(r)].weight = 0.0; });
  m.columns.forEach([&](int c) {
    TCovLine& col = m.columnLines[static_cast<std::size_t>(c)];
    col.weight = bits::countCommonBits(cells.column(c), m.rows.bits(), cells.rowWords());
    const double cw = col.weight;
    bits::forEachCommonBit(cells.column(c), m.rows.bits(), cells.rowWords(), [&](int x) {
      TCovLine& row = m.rowLines[static_cast<std::size_t>(x)];
      row.weight = row.weight + 1.0 / cw;
    });
  });
}

int LowerBound(const TCovMatrix& m) {
  const CoverCells& cells = *m.cells;
  std::vector<int>& count = cells.scratch.boundCounts;
  count.assign(static_cast<std::size_t>(cells.columnCount), 0);
  m.columns.forEach([&](int c) {
    count[static_cast<std::size_t>(c)] = bits::countCommonBits(cells.column(c), m.rows.bits(), cells.rowWords());
  });
  BitSet marker(m.rowCount);
  int k = 0;
  for (;;) {
    int best = INT_MAX, bestColumn = -1;
    m.columns.forEach([&](int c) {
      if (count[static_cast<std::size_t>(c)] < best &&
          !bits::anyCommonBit(cells.column(c), m.rows.bits(), marker.data(), cells.rowWords())) {
        best = count[static_cast<std::size_t>(c)];
        bestColumn = c;
      }
    });
    if (bestColumn < 0) return k;
    // A column no live row covers cannot be covered at all: no completion exists.
    if (best == 0) return kNoCover / 2;
    ++k;
    const Word* col = cells.column(bestColumn);
    bits::assignWords(marker.data(), cells.rowWords(), [&](int w) { return marker.data()[w] | col[w]; });
  }
}

std::optional<BitSet> FindBlock(const TCovMatrix& m) {
  const int head = m.rows.head();
  if (head < 0) return std::nullopt;
  const CoverCells& cells = *m.cells;
  BitSet marker(m.rowCount);
  BitSet seenColumn(cells.columnCount);
  std::vector<int> stack{head};
  marker.set(head);
  int count = 1;
  while (!stack.empty()) {
    const int r = stack.back();
    stack.pop_back();
    bits::forEachCommonBit(cells.row(r), m.columns.bits(), cells.columnWords(), [&](int c) {
      if (seenColumn.test(c)) return;
      seenColumn.set(c);
      bits::forEachCommonBit(cells.column(c), m.rows.bits(), cells.rowWords(), [&](int x) {
        if (marker.test(x)) return;
        marker.set(x);
        ++count;
        stack.push_back(x);
      });
    });
  }
  if (count == m.rows.size()) return std::nullopt;
  return marker;
}

namespace {

MatrixPtr emptyStateLike(const TCovMatrix& m) {
  auto s = std::make_unique<TCovMatrix>();
  s->implicants = m.implicants;
  s->width = m.width;
  s->rowCount = m.rowCount;
  s->cells = m.cells;
  s->columns = IndexList(m.cells->columnCount);
  s->rows = IndexList(m.rowCount);
  return s;
}

}  // namespace

MatrixPtr SplitBlock(TCovMatrix& m, const BitSet& marker) {
  MatrixPtr s = emptyStateLike(m);
  std::vector<int>& cols = m.cells->scratch.splitColumns;
  m.rows.forEach([&](int r) {
    if (!marker.test(r)) return;
    m.rows.erase(r);
    s->rows.pushHead(r);
    uncoveredColumnsOf(m, r, cols);
    for (int c : cols) {
      m.columns.erase(c);
      --m.uncovered;
      s->columns.pushHead(c);
      ++s->uncovered;
    }
  });
  return s;
}

MatrixPtr CopyMatrixState(const TCovMatrix& m) {
  MatrixPtr s = emptyStateLike(m);
  m.columns.forEach([&](int c) { s->columns.pushHead(c); });
  m.rows.forEach([&](int r) { s->rows.pushHead(r); });
  // Copying the chosen list by head pushes reverses it.
  s->chosen.assign(m.chosen.rbegin(), m.chosen.rend());
  s->uncovered = m.uncovered;
  s->chosenCount = m.chosenCount;
  return s;
}

std::vector<int> chosenList(const TCovMatrix& m) { return std::vector<int>(m.chosen.rbegin(), m.chosen.rend()); }

bool HasUncoverableColumn(const TCovMatrix& m) {
  const CoverCells& cells = *m.cells;
  return m.columns.find([&](int c) {
    return !bits::anyCommonBit(cells.column(c), m.rows.bits(), cells.rowWords());
  }) >= 0;
}

}  // namespace vorn
