#include "model/term_tree.h"

#include <algorithm>

namespace vorn {

namespace {

// The literal positions of the first n positions of a cube, in word w.
Word literalWord(const Cube& cube, int n, int w) {
  if (w >= cube.words() || 64 * w >= n) return 0;
  const Word mask = n - 64 * w >= 64 ? ~Word{0} : (Word{1} << (n - 64 * w)) - 1;
  return (cube.zero()[w] | cube.one()[w]) & mask;
}

void putVarint(std::string& s, unsigned v) {
  while (v >= 0x80) {
    s.push_back(static_cast<char>(0x80 | (v & 0x7f)));
    v >>= 7;
  }
  s.push_back(static_cast<char>(v));
}

// A cube's key in one of two forms, chosen by the cube alone so equal keys
// always get the same form: 'S' and the literals as gaps from the previous
// literal with the value in the lowest bit, or 'P' and the zero and one
// planes word by word.
std::string keyOf(const TermTree& tree, const Cube& cube) {
  const int n = std::min(tree.keyLength, cube.size());
  const int words = bits::wordsFor(tree.keyLength);
  const int literals = bits::countWords(bits::wordsFor(n), [&](int w) { return literalWord(cube, n, w); });
  std::string key;
  if (3 * literals < 16 * words) {
    key.reserve(1 + 3 * static_cast<std::size_t>(literals));
    key.push_back('S');
    int last = -1;
    bits::forEachWordBit(
        bits::wordsFor(n), [&](int w) { return literalWord(cube, n, w); },
        [&](int p) {
          putVarint(key, static_cast<unsigned>(p - last) << 1 | (bits::testBit(cube.one(), p) ? 1u : 0u));
          last = p;
        });
    return key;
  }
  key.assign(1 + 16 * static_cast<std::size_t>(words), '\0');
  key[0] = 'P';
  for (int w = 0; w < words; ++w) {
    const Word lit = literalWord(cube, n, w);
    const Word planes[2] = {w < cube.words() ? cube.zero()[w] & lit : 0, w < cube.words() ? cube.one()[w] & lit : 0};
    std::copy_n(reinterpret_cast<const char*>(planes), sizeof planes, key.begin() + 1 + 16 * w);
  }
  return key;
}

}  // namespace

void TermTreeInit(TermTree& tree, const TBoolFnct& f) {
  tree.keyLength = f.inputCount;
  tree.cubes.clear();
}

int TermTreeInsert(TermTree& tree, const Cube& cube) {
  return tree.cubes.emplace(keyOf(tree, cube), nullptr).second ? 0 : 1;
}

int TermTreeInsert(TermTree& tree, const TPfnct& term) { return TermTreeInsert(tree, term.input); }

TPfnct* TermTreeAddTerm(TermTree& tree, TPfnct* term) {
  const auto [it, added] = tree.cubes.emplace(keyOf(tree, term->input), term);
  return added ? nullptr : it->second;
}

TPfnct* TermTreeFind(const TermTree& tree, const Cube& cube) {
  const auto it = tree.cubes.find(keyOf(tree, cube));
  return it == tree.cubes.end() ? nullptr : it->second;
}

bool TermTreeContains(const TermTree& tree, const Cube& cube) { return tree.cubes.count(keyOf(tree, cube)) != 0; }

void TermTreeRemove(TermTree& tree, const Cube& cube) { tree.cubes.erase(keyOf(tree, cube)); }

void TermTreeFree(TermTree& tree) { std::unordered_map<std::string, TPfnct*>().swap(tree.cubes); }

}  // namespace vorn
