// Cover lists of implicants.
//
// An implicant covers the on-set entry E of output i when its output part has
// '1' at i and its input cube contains E's cube.  Up to 64 inputs the
// containment test is a handful of word operations on the cubes' bit masks.
// Above 64 inputs the source's term cubes are read column-wise (one bit per
// term for each input and value), and the terms inside an implicant are the
// AND of the columns of its literals, narrowed to the words still non-zero:
// an implicant that holds few source terms costs a few column words per
// literal instead of a cube test per source term.  Entries are found output
// by output, position by position, and each is pushed at the head of the
// term's list, so the list ends newest first.
#include "cover/cover_matrix.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "model/literal_columns.h"
#include "model/settings.h"

namespace vorn {

namespace {

/// True when `outer` holds '-' or the same character as `inner` at every one
/// of the first n positions; the masks are used when both cubes have n positions.
[[gnu::always_inline]] inline bool cubeCovers(const Cube& outer, const Cube& inner, int n) {
  if (outer.size() == n && inner.size() == n) return outer.contains(inner);
  for (int p = 0; p < n; ++p) {
    const char a = p < outer.size() ? outer.get(p) : '-';
    const char b = p < inner.size() ? inner.get(p) : '-';
    if (a != '-' && a != b) return false;
  }
  return true;
}

// Above 64 inputs the source terms inside the implicant are found at once,
// as the AND of the literal columns of the implicant's literals; each on-list
// entry is then one bit test.
void coverWide(const TBoolFnct& source, const LiteralColumns& columns, TPfnct& term, int outputs,
               std::vector<Word>& inside) {
  columns.inside(term.input.data(), inside.data());
  for (int i = 0; i < outputs && i < static_cast<int>(source.onLists.size()); ++i) {
    if (term.output[i] != '1') continue;
    const TermList& on = source.onLists[i];
    for (int j = 0; j < static_cast<int>(on.size()); ++j)
      if (bitspan::test(inside.data(), on[j].term)) term.covers.push_back(CoverEntry{&on[j], j, i});
  }
}

// The columns answer for cubes of the source's width; an implicant of
// another width (none is made so far) goes through the position walk.
void coverByCubes(const TBoolFnct& source, TPfnct& term, int outputs) {
  for (int i = 0; i < outputs && i < static_cast<int>(source.onLists.size()); ++i) {
    if (term.output[i] != '1') continue;
    const TermList& on = source.onLists[i];
    for (int j = 0; j < static_cast<int>(on.size()); ++j)
      if (cubeCovers(term.input, on[j].input(), source.inputCount)) term.covers.push_back(CoverEntry{&on[j], j, i});
  }
}

/// The source's term cubes read column-wise, for the wide path.
LiteralColumns sourceColumns(const TBoolFnct& source) {
  LiteralColumns columns(source.inputCount, static_cast<int>(source.listCubes.size()));
  for (std::size_t k = 0; k < source.listCubes.size(); ++k)
    columns.add(static_cast<int>(k), source.listCubes[k].data());
  return columns;
}

void determineTermCover(const TBoolFnct& source, const LiteralColumns* columns, TPfnct& term,
                        std::vector<Word>& inside) {
  clearCovers(term);
  term.coverCount = 0;
  const int outputs = std::min<int>(source.outputCount, static_cast<int>(term.output.size()));
  if (columns && term.input.size() == source.inputCount)
    coverWide(source, *columns, term, outputs, inside);
  else
    coverByCubes(source, term, outputs);
  // Found oldest first; the list keeps the newest entry at its head.
  std::reverse(term.covers.begin(), term.covers.end());
  term.coverCount = static_cast<int>(term.covers.size());
}

}  // namespace

void DetermineCover(TBoolFnct& implicants, RunContext& run) {
  run.progress.begin("Determining cover", implicants.termCount, 1);
  TBoolFnct* source = implicants.source;
  if (source) buildLists(*source);  // no-op when the driver has built them already
  // Up to 64 inputs a containment is one word test, no dearer than a column's bit.
  std::optional<LiteralColumns> columns;
  const int listed = source ? static_cast<int>(source->listCubes.size()) : 0;
  if (source && bits::wordsFor(source->inputCount) > 1 && LiteralColumns::fits(source->inputCount, listed))
    columns.emplace(sourceColumns(*source));
  std::vector<Word> inside(columns ? columns->blocks() : 0);
  int k = 0;
  for (TPfnct* t = implicants.head.get(); t; t = t->next.get(), ++k) {
    if (source) {
      determineTermCover(*source, columns ? &*columns : nullptr, *t, inside);
    } else {
      clearCovers(*t);
      t->coverCount = 0;
    }
    run.progress.step(k, 0);
  }
  run.progress.end();
}

}  // namespace vorn
