#include "driver/source_check.h"

#include <vector>

#include "model/bits.h"
#include "model/packed_cube.h"
#include "modes/intersecting_pairs.h"

namespace vorn {

std::optional<OnOffConflict> findOnOffConflict(const TBoolFnct& f) {
  std::vector<const TPfnct*> terms;
  std::vector<const Cube*> cubes;
  forEachTerm(f, [&](const TPfnct& t) {
    terms.push_back(&t);
    cubes.push_back(&t.input);
  });
  const int m = f.outputCount;
  // Every intersecting pair asks whether one term's '1' meets the other's
  // '0' at some output: the output part held as a packed cube ('0' and '1'
  // planes), that is the conflict of two cubes, a few word operations
  // instead of a walk over the output characters.
  const int words = bits::wordsFor(m);
  WordRows outs(static_cast<int>(terms.size()), 2 * words);
  for (std::size_t k = 0; k < terms.size(); ++k) {
    Word* row = outs.row(static_cast<int>(k));
    for (int j = 0; j < m; ++j) {
      const char c = outputAt(*terms[k], j);
      if (c == '0' || c == '1') putLiteral(row, words, j, c == '1');
    }
  }
  auto onOff = [&](int a, int b) { return !cubesMeet(outs.row(a), outs.row(b), words); };
  const auto pair = firstIntersectingPair(cubes, onOff);
  if (!pair) return std::nullopt;
  const auto [a, b] = *pair;
  const int j = firstOnOffOutput(*terms[a], *terms[b], m);
  if (outputAt(*terms[a], j) == '1') return OnOffConflict{a, b, j};
  return OnOffConflict{b, a, j};
}

std::optional<int> findTildeInput(const TBoolFnct& f) {
  int k = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get(), ++k)
    if (bits::anyBit(t->input.tilde(), t->input.words())) return k;
  return std::nullopt;
}

}  // namespace vorn
