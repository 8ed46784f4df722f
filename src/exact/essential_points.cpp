#include "exact/essential_points.h"

#include <algorithm>

#include "model/cube_list.h"
#include "model/packed_cube.h"

namespace vorn {

namespace {

/// \brief The only position where a and b conflict; -1 when they meet, -2 when they conflict at more.
int singleConflict(const Word* a, const Word* b, int words) {
  const auto conflicts = [&](int w) { return conflictsIn(a, b, words, w); };
  const int count = bits::countWords(words, conflicts);
  if (count != 1) return count == 0 ? -1 : -2;
  return bits::firstWordBit(words, conflicts);
}

/// \brief Appends to `region` the intersection of the meeting packed cubes a and b (neither in `region`).
void pushMeet(CubeList& region, const Word* a, const Word* b) {
  cubeIntersection(region.grow(), a, b, region.words());
}

/// \brief Keeps the cubes that no earlier kept cube contains, at most `limit` of them.
CubeList pruned(const CubeList& r, int limit) {
  CubeList out(r.inputs());
  for (int k = 0; k < r.size() && out.size() < limit; ++k) {
    const Word* c = r.cube(k);
    bool inside = false;
    for (int h = 0; h < out.size() && !inside; ++h) inside = cubeContains(out.cube(h), c, r.words());
    if (!inside) out.push(c);
  }
  return out;
}

/// \brief The part of the region outside the packed cube u (in disjoint pieces), at most `limit` cubes.
CubeList outside(const CubeList& r, const Word* u, int limit) {
  const int words = r.words();
  CubeList out(r.inputs());
  std::vector<Word> piece(static_cast<std::size_t>(2 * words));
  for (int k = 0; k < r.size() && out.size() < limit; ++k) {
    const Word* s = r.cube(k);
    if (!cubesMeet(s, u, words)) {
      out.push(s);
      continue;
    }
    // s minus u: s with u's literal negated at one of u's positions where s is free, and agreeing with
    // u at the positions before it.
    std::copy(s, s + 2 * words, piece.begin());
    forEachLiteral(u, words, [&](int i) {
      if (hasLiteral(s, words, i)) return;
      const bool one = literalIsOne(u, words, i);
      putLiteral(piece.data(), words, i, !one);
      if (out.size() < limit) out.push(piece.data());
      freePosition(piece.data(), words, i);
      putLiteral(piece.data(), words, i, one);
    });
  }
  return out;
}

/// \brief The packed cube c with every literal dropped, in order, that it can lose and stay off the
/// off-set of output j: a term that is no prime of j has no witness, its prime may have.
std::vector<Word> expanded(const RefineSource& src, const Word* c, int j) {
  const int words = src.off.cubes.words();
  std::vector<Word> e(c, c + 2 * words);
  const std::vector<int>& off = src.off.of[static_cast<std::size_t>(j)];
  forEachLiteral(c, words, [&](int i) {
    const bool one = literalIsOne(e.data(), words, i);
    freePosition(e.data(), words, i);
    const bool implicant = std::none_of(off.begin(), off.end(), [&](int k) {
      return cubesMeet(src.off.cubes.cube(k), e.data(), words);
    });
    if (!implicant) putLiteral(e.data(), words, i, one);
  });
  return e;
}

/// \brief Up to `count` witnesses of the prime c of output j around term k of the cover, into `out`; false when
/// none is found.  It is
/// taken outside the cover's other terms where it can be: two such witnesses of different terms need
/// a term each.
bool witness(const RefineSource& src, const Cover& cover, int term, const Word* c, int j, int limit, int count,
             std::vector<std::vector<Word>>& out) {
  const int words = src.on.cubes.words();
  CubeList region(src.on.cubes.inputs());
  for (int k : src.on.of[static_cast<std::size_t>(j)]) {
    const Word* on = src.on.cubes.cube(k);
    if (cubesMeet(on, c, words)) pushMeet(region, on, c);
  }
  if (region.size() == 0) return false;
  // Per literal of c: the off-set cubes of j that conflict with c there alone, freed at that position.
  std::vector<std::pair<int, std::vector<int>>> cuts;
  std::vector<int> slot(static_cast<std::size_t>(words) * 64, -1);
  forEachLiteral(c, words, [&](int i) {
    slot[static_cast<std::size_t>(i)] = static_cast<int>(cuts.size());
    cuts.emplace_back(i, std::vector<int>{});
  });
  for (int k : src.off.of[static_cast<std::size_t>(j)]) {
    const int at = singleConflict(src.off.cubes.cube(k), c, words);
    if (at == -1) return false;  // c is no implicant of j
    if (at >= 0) cuts[static_cast<std::size_t>(slot[static_cast<std::size_t>(at)])].second.push_back(k);
  }
  std::sort(cuts.begin(), cuts.end(), [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
  std::vector<Word> freed(static_cast<std::size_t>(2 * words));
  for (const auto& [i, cubes] : cuts) {
    CubeList next(region.inputs());
    for (int k : cubes) {
      std::copy(src.off.cubes.cube(k), src.off.cubes.cube(k) + 2 * words, freed.begin());
      freePosition(freed.data(), words, i);
      for (int s = 0; s < region.size(); ++s)
        if (cubesMeet(region.cube(s), freed.data(), words)) pushMeet(next, region.cube(s), freed.data());
      if (next.size() > 16 * limit) break;
    }
    region = pruned(next, limit);
    if (region.size() == 0) return false;
  }
  for (int k = 0; k < cover.size() && region.size() > 0; ++k) {
    if (k == term || !cover.alive[static_cast<std::size_t>(k)] || !cubesMeet(cover.in.cube(k), c, words)) continue;
    CubeList rest = outside(region, cover.in.cube(k), limit);
    if (rest.size() == 0) break;  // a witness inside another term still counts, when it is incompatible
    region = std::move(rest);
  }
  // Every minterm of the region will do: a few of them, the free inputs of a piece all 0, all 1, or
  // alternating.
  for (int k = 0; k < region.size() && static_cast<int>(out.size()) < count; ++k)
    for (int fill = 0; fill < 3 && static_cast<int>(out.size()) < count; ++fill) {
      const Word* r = region.cube(k);
      std::vector<Word> m(r, r + 2 * words);
      for (int i = 0; i < src.inputs; ++i)
        if (!hasLiteral(r, words, i))
          putLiteral(m.data(), words, i, fill == 2 ? (i & 1) != 0 : fill == 1);
      if (std::find(out.begin(), out.end(), m) == out.end()) out.push_back(std::move(m));
    }
  return !out.empty();
}

}  // namespace

std::vector<OnPoint> CoverWitnesses(const RefineSource& src, const Cover& cover, const WitnessParams& params) {
  std::vector<OnPoint> out;
  DeadlineProbe probe(params.deadline, 8);
  for (int k = 0; k < cover.size(); ++k) {
    if (!cover.alive[static_cast<std::size_t>(k)]) continue;
    bool stopped = false;
    cover.out[static_cast<std::size_t>(k)].forEach([&](int j) {
      if (stopped || (stopped = probe.expired())) return;
      std::vector<std::vector<Word>> minterms;
      const std::vector<Word> prime = expanded(src, cover.in.cube(k), j);
      witness(src, cover, k, prime.data(), j, params.maxCubes, params.perTerm, minterms);
      for (auto& m : minterms) out.push_back({std::move(m), j, prime});
    });
    if (stopped) break;
  }
  return out;
}

std::vector<Word> OffNeighbourInputs(const RefineSource& src, const OnPoint& point) {
  const int words = src.off.cubes.words();
  std::vector<Word> marks(static_cast<std::size_t>(words), 0);
  for (int k : src.off.of[static_cast<std::size_t>(point.output)]) {
    const int at = singleConflict(src.off.cubes.cube(k), point.minterm.data(), words);
    if (at >= 0) bits::setBit(marks.data(), at);
  }
  return marks;
}

int OffNeighbours(const RefineSource& src, const OnPoint& point) {
  const std::vector<Word> marks = OffNeighbourInputs(src, point);
  return bits::countBits(marks.data(), static_cast<int>(marks.size()));
}

}  // namespace vorn
