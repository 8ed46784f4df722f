// Cover lists and cover matrix operations.
#include "cover/cover_matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cover/cover_fixtures.h"
#include "model/settings.h"

namespace vorn::test {
namespace {

std::vector<int> liveRows(const TCovMatrix& m) {
  std::vector<int> out;
  m.rows.forEach([&](int r) { out.push_back(r); });
  return out;
}
std::vector<int> liveColumns(const TCovMatrix& m) {
  std::vector<int> out;
  m.columns.forEach([&](int c) { out.push_back(c); });
  return out;
}

TEST(CoverLists, EntriesFollowOutputsAndPositionsNewestFirst) {
  // Output 0 on-list: [001, 0-1]; output 1 on-list: [011, 0-1] (reverse term order).
  FunctionPtr src = makeFunction(3, 2, {{"0-1", "11"}, {"011", "01"}, {"001", "10"}, {"111", "00"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"0--", "11"}, {"0-1", "10"}, {"--1", "00"}, {"001", "11"}});
  imps->head->coverKeys = std::vector<int>{1};
  RunContext run;
  DetermineCover(*imps, run);

  const TPfnct& a = *imps->head;
  ASSERT_EQ(a.coverCount, 4);
  EXPECT_FALSE(a.coverKeys.has_value());
  // Found in the order (0,0) (0,1) (1,0) (1,1), pushed at the head.
  EXPECT_EQ(a.covers[0].output, 1);
  EXPECT_EQ(a.covers[0].onIndex, 1);
  EXPECT_EQ(a.covers[3].output, 0);
  EXPECT_EQ(a.covers[3].onIndex, 0);
  EXPECT_EQ(a.covers[3].onTerm, &src->onLists[0][0]);

  // 0-1 contains 001 and 0-1 of output 0 only.
  const TPfnct& b = *a.next;
  ASSERT_EQ(b.coverCount, 2);
  EXPECT_EQ(b.covers[0].onIndex, 1);
  EXPECT_EQ(b.covers[1].onIndex, 0);

  // No '1' in the output part: no entry at all.
  EXPECT_EQ(a.next->next->coverCount, 0);
  EXPECT_TRUE(a.next->next->covers.empty());

  // 001 does not contain the on-set term 0-1 ('-' where the implicant has a literal).
  const TPfnct& d = *imps->tail;
  ASSERT_EQ(d.coverCount, 1);
  EXPECT_EQ(d.covers[0].onTerm->input().str(), "001");
}

TEST(CoverLists, ReportsProgressPerTerm) {
  FunctionPtr src = makeFunction(2, 1, {{"11", "1"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"1-", "1"}, {"-1", "1"}});
  std::vector<std::string> log;
  RunContext run;
  run.progress.begin = [&](const std::string& msg, int total, int kind) {
    log.push_back(msg + "/" + std::to_string(total) + "/" + std::to_string(kind));
    return 0;
  };
  run.progress.step = [&](int i, int kind) {
    log.push_back(std::to_string(i) + "/" + std::to_string(kind));
    return 0;
  };
  run.progress.end = [&] { log.push_back("end"); };
  DetermineCover(*imps, run);
  EXPECT_EQ(log, (std::vector<std::string>{"Determining cover/2/1", "0/0", "1/0", "end"}));
}

TEST(CoverMatrixBuild, MultiOutputLayoutAndVisitingOrder) {
  FunctionPtr src = makeFunction(2, 2, {{"00", "10"}, {"01", "11"}, {"11", "01"}});
  buildLists(*src);
  ASSERT_EQ(src->maxOnCount, 2);
  FunctionPtr imps = deriveWith(*src, {{"0-", "11"}, {"-1", "01"}, {"11", "10"}});
  RunContext run;
  DetermineCover(*imps, run);
  MatrixPtr m = BuildCoverMatrix(*imps);
  EXPECT_EQ(m->width, 4);
  EXPECT_EQ(m->rowCount, 3);
  EXPECT_EQ(m->uncovered, 4);
  // Rows from the last term; columns from the last output, highest position first.
  EXPECT_EQ(liveRows(*m), (std::vector<int>{2, 1, 0}));
  std::vector<int> layout;
  for (int c : liveColumns(*m)) layout.push_back(m->cells->columnIndex[static_cast<std::size_t>(c)]);
  EXPECT_EQ(layout, (std::vector<int>{3, 2, 1, 0}));
  // Row "11 10" covers nothing of output 0 (no on-term 11 there); row "0- 11" covers 00,01 and 01.
  EXPECT_EQ(bits::countCommonBits(m->cells->row(2), m->columns.bits(), m->cells->columnWords()), 0);
  EXPECT_EQ(bits::countCommonBits(m->cells->row(0), m->columns.bits(), m->cells->columnWords()), 3);
}

TEST(CoverMatrixBuild, OutputMatrixSkipsClearedOutputsAndEmptyOutputs) {
  FunctionPtr src = makeFunction(2, 2, {{"00", "10"}, {"01", "10"}});
  buildLists(*src);
  FunctionPtr imps = deriveWith(*src, {{"0-", "10"}, {"00", "10"}});
  RunContext run;
  DetermineCover(*imps, run);
  imps->head->output[0] = '~';  // connection dropped after the cover list was built
  MatrixPtr m = BuildOutputMatrix(*imps, 0);
  EXPECT_EQ(m->width, 2);
  EXPECT_FALSE(bits::anyCommonBit(m->cells->row(0), m->columns.bits(), m->cells->columnWords()));
  EXPECT_TRUE(bits::anyCommonBit(m->cells->row(1), m->columns.bits(), m->cells->columnWords()));
  EXPECT_EQ(BuildOutputMatrix(*imps, 1)->width, 0);
}

TEST(CoverMatrixBuild, OutputMatrixCellsAreTheSameFromKeysAndFromTheList) {
  // Implicants serving many outputs: the matrix of one output reads that
  // output's entries from the sorted keys when a term has them.  Each cell is
  // checked against cube containment directly.
  std::mt19937 rng(7);
  const int inputs = 3, outputs = 70;
  std::vector<TermSpec> on;
  for (int m = 0; m < 8; ++m) {
    std::string in, out;
    for (int p = 2; p >= 0; --p) in += (m >> p & 1) ? '1' : '0';
    for (int j = 0; j < outputs; ++j) out += rng() % 2 ? '1' : '0';
    on.push_back({in, out});
  }
  FunctionPtr src = makeFunction(inputs, outputs, on);
  buildLists(*src);
  std::vector<TermSpec> imps;
  for (int k = 0; k < 12; ++k) {
    std::string in, out;
    for (int p = 0; p < inputs; ++p) in += "01-"[rng() % 3];
    for (int j = 0; j < outputs; ++j) out += rng() % 3 ? '1' : '0';
    imps.push_back({in, out});
  }
  FunctionPtr withKeys = deriveWith(*src, imps), withoutKeys = deriveWith(*src, imps);
  RunContext run;
  DetermineCover(*withKeys, run);
  DetermineCover(*withoutKeys, run);
  for (TPfnct* t = withKeys->head.get(); t; t = t->next.get()) {
    std::vector<int> keys;
    for (const CoverEntry& e : t->covers) keys.push_back(e.output * src->maxOnCount + e.onIndex);
    std::sort(keys.begin(), keys.end());
    t->coverKeys = keys;
  }
  for (int i = 0; i < outputs; ++i) {
    MatrixPtr a = BuildOutputMatrix(*withKeys, i), b = BuildOutputMatrix(*withoutKeys, i);
    ASSERT_EQ(a->width, b->width);
    const TermList& list = src->onLists[static_cast<std::size_t>(i)];
    for (int r = 0; r < a->rowCount; ++r) {
      const TermSpec& imp = imps[static_cast<std::size_t>(r)];
      for (int c = 0; c < a->width; ++c) {
        const std::string cube = list[static_cast<std::size_t>(c)].input().str();
        bool inside = imp.second[static_cast<std::size_t>(i)] == '1';
        for (int p = 0; p < inputs; ++p) inside = inside && (imp.first[p] == '-' || imp.first[p] == cube[p]);
        EXPECT_EQ(a->cells->cell(r, c), inside) << i << " " << r << " " << c;
        EXPECT_EQ(b->cells->cell(r, c), inside) << i << " " << r << " " << c;
      }
    }
  }
}

TEST(CoverMatrixOps, DominatedRowMetFirstGoes) {
  TableProblem p = fromTable({"110", "110", "011"});
  MatrixPtr m = p.matrix();
  RemoveDominatedRows(*m);
  EXPECT_EQ(m->reduced, 1);
  // Rows 1 and 0 are equal: row 1 is met first and deleted.
  EXPECT_EQ(liveRows(*m), (std::vector<int>{2, 0}));
}

TEST(CoverMatrixOps, EssentialRowIsChosenWithItsColumns) {
  TableProblem p = fromTable({"1100", "0110", "0011", "0010"});
  MatrixPtr m = p.matrix();
  SelectEssentialRows(*m);
  // Column 3 (met first) has only row 2; then column 0 has only row 0.
  EXPECT_EQ(chosenList(*m), (std::vector<int>{0, 2}));
  EXPECT_EQ(m->uncovered, 0);
  EXPECT_EQ(m->chosenCount, 2);
}

TEST(CoverMatrixOps, EssentialRowsAcrossRowWords) {
  // 140 rows (three words): column 0 has only row 3, the words after it empty;
  // column 1 has rows 70 and 130, in two different words: not essential.
  std::vector<std::string> table(140, "00");
  table[3] = "10";
  table[70] = "01";
  table[130] = "01";
  TableProblem p = fromTable(table);
  MatrixPtr m = p.matrix();
  SelectEssentialRows(*m);
  EXPECT_EQ(chosenList(*m), (std::vector<int>{3}));
  EXPECT_EQ(m->uncovered, 1);
  // of the two equal rows in different words, the one met first goes
  RemoveDominatedRows(*m);
  const std::vector<int> live = liveRows(*m);
  EXPECT_EQ(std::count(live.begin(), live.end(), 70) + std::count(live.begin(), live.end(), 130), 1);
}

TEST(CoverMatrixOps, ContributionsAndScoredUpdates) {
  TableProblem p = fromTable({"110", "011", "001"});
  MatrixPtr m = p.matrix();
  m->scoreMode = 2;
  ComputeContributions(*m);
  EXPECT_DOUBLE_EQ(m->rowLines[0].weight, 1.0 + 0.5);
  EXPECT_DOUBLE_EQ(m->rowLines[1].weight, 0.5 + 0.5);
  EXPECT_DOUBLE_EQ(m->rowLines[2].weight, 0.5);
  RemoveRow(*m, 2);  // column 2 now has only row 1
  EXPECT_DOUBLE_EQ(m->rowLines[1].weight, 0.5 + 1.0);
  SelectRow(*m, 0);  // covers columns 0 and 1
  EXPECT_DOUBLE_EQ(m->rowLines[1].weight, 1.0);
  EXPECT_EQ(m->uncovered, 1);
}

TEST(CoverMatrixOps, LowerBoundCountsDisjointColumns) {
  // Columns 0 and 3 share no row; column 1,2 meet rows already counted.
  TableProblem p = fromTable({"1100", "0110", "0011"});
  MatrixPtr m = p.matrix();
  EXPECT_EQ(LowerBound(*m), 2);
  TableProblem q = fromTable({"1111"});
  EXPECT_EQ(LowerBound(*q.matrix()), 1);
}

TEST(CoverMatrixOps, FindBlockAndSplitBlock) {
  // Rows 0 and 2 share column 0; rows 1 and 3 share column 2.
  TableProblem p = fromTable({"1100", "0010", "1000", "0011"});
  MatrixPtr m = p.matrix();
  std::optional<BitSet> marker = FindBlock(*m);
  ASSERT_TRUE(marker.has_value());
  // The head row is row 3: its block is rows 1 and 3.
  EXPECT_TRUE(marker->test(3));
  EXPECT_TRUE(marker->test(1));
  EXPECT_FALSE(marker->test(0));
  EXPECT_FALSE(marker->test(2));
  MatrixPtr m2 = SplitBlock(*m, *marker);
  EXPECT_EQ(liveRows(*m2), (std::vector<int>{1, 3}));
  EXPECT_EQ(liveRows(*m), (std::vector<int>{2, 0}));
  EXPECT_EQ(m2->uncovered, 2);
  EXPECT_EQ(m->uncovered, 2);
  // Row 3's columns in m's order (3, 2) pushed at the head, then nothing new for row 1.
  EXPECT_EQ(liveColumns(*m2), (std::vector<int>{2, 3}));
  EXPECT_FALSE(FindBlock(*m2).has_value());
  EXPECT_FALSE(FindBlock(*m).has_value());
}

TEST(CoverMatrixOps, CopyReversesEveryList) {
  TableProblem p = fromTable({"100", "010", "001", "111"});
  MatrixPtr m = p.matrix();
  SelectRow(*m, 0);
  SelectRow(*m, 1);
  MatrixPtr c = CopyMatrixState(*m);
  EXPECT_EQ(liveRows(*c), (std::vector<int>{2, 3}));
  EXPECT_EQ(liveColumns(*c), (std::vector<int>{2}));
  EXPECT_EQ(chosenList(*m), (std::vector<int>{1, 0}));
  EXPECT_EQ(chosenList(*c), (std::vector<int>{0, 1}));
  EXPECT_EQ(c->chosenCount, 2);
  EXPECT_EQ(c->uncovered, 1);
}

TEST(CoverMatrixOps, UncoverableColumnIsDetected) {
  TableProblem p = fromTable({"100", "100"});
  MatrixPtr m = p.matrix();
  EXPECT_TRUE(HasUncoverableColumn(*m));
  TableProblem q = fromTable({"110", "011"});
  EXPECT_FALSE(HasUncoverableColumn(*q.matrix()));
}

}  // namespace
}  // namespace vorn::test
