// Cover lists of implicants.
//
// An implicant covers the on-set entry E of output i when its output part has
// '1' at i and its input cube contains E's cube.  The containment test is a
// handful of word operations on the cubes' bit masks; above 64 inputs it is
// made once per source term however many on-lists hold it, so building the
// cover lists of a wide function's implicants costs implicants x source terms
// word tests plus a look-up per on-list entry of their outputs.  Entries are
// found output by output, position by position, and each is pushed at the
// head of the term's list, so the list ends newest first.
#include "cover/cover_matrix.h"

#include <algorithm>
#include <vector>

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

// Up to 64 inputs a containment is one word test, no dearer than a look-up:
// every entry is tested.
void coverNarrow(const TBoolFnct& source, TPfnct& term, int outputs) {
  for (int i = 0; i < outputs && i < static_cast<int>(source.onLists.size()); ++i) {
    if (term.output[i] != '1') continue;
    const TermList& on = source.onLists[i];
    for (int j = 0; j < static_cast<int>(on.size()); ++j)
      if (cubeCovers(term.input, on[j].input(), source.inputCount)) term.covers.push_back(CoverEntry{&on[j], j, i});
  }
}

// Above 64 inputs each on-set term, in the on-lists of many outputs, is
// tested once.
void coverWide(const TBoolFnct& source, TPfnct& term, int outputs, std::vector<char>& contains) {
  enum : char { kUnknown, kInside, kOutside };
  contains.assign(source.listCubes.size(), kUnknown);
  for (int i = 0; i < outputs && i < static_cast<int>(source.onLists.size()); ++i) {
    if (term.output[i] != '1') continue;
    const TermList& on = source.onLists[i];
    for (int j = 0; j < static_cast<int>(on.size()); ++j) {
      char& known = contains[static_cast<std::size_t>(on[j].term)];
      if (known == kUnknown) known = cubeCovers(term.input, on[j].input(), source.inputCount) ? kInside : kOutside;
      if (known == kInside) term.covers.push_back(CoverEntry{&on[j], j, i});
    }
  }
}

void determineTermCover(const TBoolFnct& source, TPfnct& term, std::vector<char>& contains) {
  clearCovers(term);
  term.coverCount = 0;
  const int outputs = std::min<int>(source.outputCount, static_cast<int>(term.output.size()));
  if (bits::wordsFor(source.inputCount) <= 1)
    coverNarrow(source, term, outputs);
  else
    coverWide(source, term, outputs, contains);
  // Found oldest first; the list keeps the newest entry at its head.
  std::reverse(term.covers.begin(), term.covers.end());
  term.coverCount = static_cast<int>(term.covers.size());
}

}  // namespace

void DetermineCover(TBoolFnct& implicants, RunContext& run) {
  run.progress.begin("Determining cover", implicants.termCount, 1);
  TBoolFnct* source = implicants.source;
  if (source) buildLists(*source);  // no-op when the driver has built them already
  std::vector<char> contains;
  int k = 0;
  for (TPfnct* t = implicants.head.get(); t; t = t->next.get(), ++k) {
    if (source) {
      determineTermCover(*source, *t, contains);
    } else {
      clearCovers(*t);
      t->coverCount = 0;
    }
    run.progress.step(k, 0);
  }
  run.progress.end();
}

}  // namespace vorn
