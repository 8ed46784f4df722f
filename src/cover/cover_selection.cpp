// Cover selection and output sparsing.
//
// A cover is a new fd function derived from the implicant set's source.  The
// multi-output cover copies whole output parts of the chosen implicants; the
// sparsing pass then asks, output by output, which of the cover's terms that
// output really needs, and drops the other connections.  A matrix with a
// column that no row covers means the implicant set does not cover its
// source; the builders then return none and the sparsing pass leaves the
// cover untouched and reports false (it checks every output before changing
// any, which is the same as checking each in turn since the matrix of an
// output reads only that output's position).  Sparsing is a thinning: once
// the run's deadline has expired it stops, and the outputs it did not reach
// keep every connection, which leaves a valid cover.
#include "cover/cover_selection.h"

#include "cover/cover_matrix.h"
#include "cover/dominance.h"
#include "cover/solvers.h"
#include "model/settings.h"
#include "model/term_removal.h"

namespace vorn {

namespace {

/// Sorted cover keys on every term, so that one output's entries are found
/// without walking the whole cover list once per output.
void buildAllCoverKeys(TBoolFnct& f) {
  for (TPfnct* t = f.head.get(); t; t = t->next.get()) BuildCoverKeys(f, *t);
}

FunctionPtr emptyCover(TBoolFnct& implicants) {
  FunctionPtr cover = derive(*implicants.source);
  cover->type = kTypeFd;
  return cover;
}

/// True when every on-set entry of output i of the source is in the covers
/// list of some term that still has '1' at i.
bool outputCoverable(const TBoolFnct& f, int i) {
  const int count = f.source->onCounts[static_cast<std::size_t>(i)];
  std::vector<char> covered(static_cast<std::size_t>(count), 0);
  int left = count;
  for (const TPfnct* t = f.head.get(); t && left > 0; t = t->next.get()) {
    if (static_cast<int>(t->output.size()) <= i || t->output[i] != '1') continue;
    forEachCoverAt(*t, i, f.source->maxOnCount, [&](int onIndex) {
      if (onIndex < 0 || onIndex >= count || covered[static_cast<std::size_t>(onIndex)]) return;
      covered[static_cast<std::size_t>(onIndex)] = 1;
      --left;
    });
  }
  return left == 0;
}

}  // namespace

FunctionPtr CoverMultiOutput(TBoolFnct& implicants, RunContext& run) {
  if (!implicants.source) return nullptr;
  MatrixPtr m = BuildCoverMatrix(implicants);
  TCovResult result = SolveCover(*m, run);
  if (result.uncoverable) return nullptr;
  FunctionPtr cover = emptyCover(implicants);
  for (TPfnct* t : result.terms) {
    TPfnct* copy = appendTerm(*cover, t->input, t->output, t->freeCount);
    copy->covers = copyCoversReversed(t->covers);
    copy->coverCount = t->coverCount;
    copy->coverKeys = t->coverKeys;
    copy->coverSignature = t->coverSignature;
  }
  FreeCoverMatrix(std::move(m));
  return cover;
}

FunctionPtr CoverSingleOutput(TBoolFnct& implicants, RunContext& run) {
  if (!implicants.source) return nullptr;
  FunctionPtr cover = emptyCover(implicants);
  buildAllCoverKeys(implicants);
  const std::string zero(static_cast<std::size_t>(cover->outputCount), '0');
  for (int i = 0; i < cover->outputCount; ++i) {
    MatrixPtr m = BuildOutputMatrix(implicants, i);
    TCovResult result = SolveCover(*m, run);
    if (result.uncoverable) return nullptr;
    std::string output = zero;
    output[static_cast<std::size_t>(i)] = '1';
    for (TPfnct* t : result.terms) appendTerm(*cover, t->input, output, t->freeCount);
  }
  return cover;
}

bool SparseOutputMatrix(TBoolFnct& cover, RunContext& run) {
  const int outputs = cover.outputCount;
  run.progress.begin("Sparsing output matrix", outputs, 1);
  if (cover.source) buildLists(*cover.source);
  if (!cover.source || static_cast<int>(cover.source->onCounts.size()) < outputs) {
    run.progress.end();
    return false;
  }
  buildAllCoverKeys(cover);
  for (int i = 0; i < outputs; ++i) {
    if (!outputCoverable(cover, i)) {
      run.progress.end();
      return false;
    }
  }
  const char dropped = run.settings.substituteOutputDc == 1 ? '0' : '~';
  for (int i = 0; i < outputs; ++i) {
    // Out of time: the outputs not reached keep all their connections.
    if (run.deadline.expired()) break;
    MatrixPtr m = BuildOutputMatrix(cover, i);
    TCovResult result = SolveCover(*m, run);
    std::vector<char> needed(static_cast<std::size_t>(m->rowCount), 0);
    for (int r : result.chosen) needed[static_cast<std::size_t>(r)] = 1;
    int r = 0;
    for (TPfnct* t = cover.head.get(); t; t = t->next.get(), ++r)
      if (static_cast<int>(t->output.size()) > i && t->output[i] == '1' && !needed[static_cast<std::size_t>(r)])
        t->output[i] = dropped;
    FreeCoverMatrix(std::move(m));
    run.progress.step(i, 0);
  }
  for (TPfnct* t = cover.head.get(); t; t = t->next.get())
    t->keep = t->output.find('1') != std::string::npos ? 1 : 0;
  PurgeMarkedTerms(cover);
  run.progress.end();
  return true;
}

}  // namespace vorn
