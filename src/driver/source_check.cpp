#include "driver/source_check.h"

#include <vector>

#include "special/intersecting_pairs.h"

namespace vorn {

namespace {

/// The first output at which a has '1' and b '0' or the other way round, or -1.
int firstOnOffOutput(const TPfnct& a, const TPfnct& b, int outputs) {
  for (int j = 0; j < outputs; ++j) {
    const char x = outputAt(a, j), y = outputAt(b, j);
    if ((x == '1' && y == '0') || (x == '0' && y == '1')) return j;
  }
  return -1;
}

}  // namespace

std::optional<OnOffConflict> findOnOffConflict(const TBoolFnct& f) {
  std::vector<const TPfnct*> terms;
  std::vector<const Cube*> cubes;
  forEachTerm(f, [&](const TPfnct& t) {
    terms.push_back(&t);
    cubes.push_back(&t.input);
  });
  const int m = f.outputCount;
  const auto pair = firstIntersectingPair(
      cubes, [&](int a, int b) { return firstOnOffOutput(*terms[a], *terms[b], m) >= 0; });
  if (!pair) return std::nullopt;
  const auto [a, b] = *pair;
  const int j = firstOnOffOutput(*terms[a], *terms[b], m);
  if (outputAt(*terms[a], j) == '1') return OnOffConflict{a, b, j};
  return OnOffConflict{b, a, j};
}

std::optional<int> findTildeInput(const TBoolFnct& f) {
  int k = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get(), ++k)
    for (int w = 0; w < t->input.words(); ++w)
      if (t->input.tilde()[w]) return k;
  return std::nullopt;
}

}  // namespace vorn
