#include "model/cube_list.h"

#include <algorithm>

namespace vorn {

CubeList::CubeList(int n, int outputs)
    : inputs_(std::max(n, 0)), words_(bits::wordsFor(inputs_)), outputs_(std::max(outputs, 0)),
      rows_(0, 2 * words_ + bits::wordsFor(outputs_)) {}

void packCube(const Cube& c, int words, Word* out) {
  const int have = std::min(words, c.words());
  for (int w = 0; w < words; ++w) {
    out[w] = w < have ? c.zero()[w] : 0;
    out[words + w] = w < have ? c.one()[w] : 0;
  }
}

Cube unpackCube(const Word* packed, int n) {
  Cube c(n);
  const int words = bits::wordsFor(n);
  forEachLiteral(packed, words, [&](int i) {
    if (i < n) c.set(i, literalIsOne(packed, words, i) ? '1' : '0');
  });
  return c;
}

void appendLiteralCofactor(const CubeList& s, int v, bool value, CubeList& out) {
  for (int k = 0; k < s.size(); ++k) {
    if (!meetsLiteral(s.cube(k), s.words(), v, value)) continue;
    out.push(s.cube(k));
    freePosition(out.cube(out.size() - 1), out.words(), v);
  }
}

Cube CubeList::get(int k) const { return unpackCube(cube(k), inputs_); }

}  // namespace vorn
