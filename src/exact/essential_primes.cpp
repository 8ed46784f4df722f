#include "exact/essential_primes.h"

#include <algorithm>

#include "model/packed_cube.h"

namespace vorn {

namespace {

/// \brief True when some off-set cube of output j meets the packed cube c.
bool meetsOff(const RefineSource& src, const Word* c, int j) {
  const int words = src.off.cubes.words();
  const std::vector<int>& off = src.off.of[static_cast<std::size_t>(j)];
  return std::any_of(off.begin(), off.end(), [&](int k) { return cubesMeet(src.off.cubes.cube(k), c, words); });
}

/// \brief Appends to `out` the part of the packed cube s outside the packed cube u, in disjoint pieces: s
/// with u's opposite literal at one of u's positions where s is free, agreeing with u at those before it.
void appendOutside(const Word* s, const Word* u, int words, std::vector<std::vector<Word>>& out) {
  if (!cubesMeet(s, u, words)) {
    out.emplace_back(s, s + 2 * words);
    return;
  }
  std::vector<Word> piece(s, s + 2 * words);
  forEachLiteral(u, words, [&](int i) {
    if (hasLiteral(s, words, i)) return;  // s holds u's literal there already
    const bool one = literalIsOne(u, words, i);
    putLiteral(piece.data(), words, i, !one);
    out.push_back(piece);
    freePosition(piece.data(), words, i);
    putLiteral(piece.data(), words, i, one);
  });
}

}  // namespace

std::vector<EssentialPrime> WitnessedEssentials(const RefineSource& src, const std::vector<OnPoint>& points) {
  std::vector<EssentialPrime> out;
  for (const OnPoint& p : points) {
    if (p.prime.empty()) continue;
    const bool known = std::any_of(out.begin(), out.end(), [&](const EssentialPrime& e) { return e.cube == p.prime; });
    if (known) continue;
    EssentialPrime e{p.prime, OutputSet(src.outputs)};
    bool only = true;
    for (int k = 0; k < src.outputs && only; ++k) {
      if (!meetsOff(src, p.prime.data(), k))
        e.outputs.set(k);
      else
        only = meetsOff(src, p.minterm.data(), k);  // no prime holds the point at k as well
    }
    if (only && e.outputs.test(p.output)) out.push_back(std::move(e));
  }
  return out;
}

bool OnSetOutside(const RefineSource& src, const std::vector<EssentialPrime>& primes, int maxCubes,
                  CubeSet& left) {
  const int words = src.on.cubes.words();
  left = CubeSet{};
  left.cubes = CubeList(src.inputs);
  left.of.assign(static_cast<std::size_t>(src.outputs), {});
  for (int j = 0; j < src.outputs; ++j) {
    std::vector<std::vector<Word>> pieces, next;
    for (int k : src.on.of[static_cast<std::size_t>(j)])
      pieces.emplace_back(src.on.cubes.cube(k), src.on.cubes.cube(k) + 2 * words);
    for (const EssentialPrime& e : primes) {
      if (!e.outputs.test(j)) continue;
      next.clear();
      for (const std::vector<Word>& s : pieces) appendOutside(s.data(), e.cube.data(), words, next);
      pieces.swap(next);
      if (left.cubes.size() + static_cast<int>(pieces.size()) > maxCubes) return false;
    }
    for (const std::vector<Word>& s : pieces) {
      left.of[static_cast<std::size_t>(j)].push_back(left.cubes.size());
      left.cubes.push(s.data());
      OutputSet o(src.outputs);
      o.set(j);
      left.outputs.push_back(o);
    }
  }
  return true;
}

}  // namespace vorn
