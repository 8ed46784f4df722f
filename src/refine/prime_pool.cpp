// A growing pool of implicants and the set cover of the on-set by them.
//
// On sampled functions (a few thousand on-set and off-set minterms, every
// other point a don't-care) the refinement's starts end in local minima that
// differ in many terms, yet each holds good terms the others lack.  Finding a
// cheap cover is then a weighted set cover: the on-set minterms are the
// elements, every implicant seen is a set, its literals (plus one for the
// term) its cost.  The pool keeps every distinct term of the covers offered
// to it, so its cover is never costlier than the best of them by that weight,
// and it only grows: solving it again later can only find a cheaper one.
// A minterm lies inside a cube or outside it, so a cube's elements are the
// on-set minterms its literal columns hold, a few word operations per
// literal; a cube that meets the off-set is never used.
#include "refine/prime_pool.h"

#include <algorithm>

#include "model/cost.h"
#include "refine/top_down_cover.h"

namespace vorn {

bool PrimePool::applies(const RefineSource& source) { return source.outputs == 1 && TopDownApplies(source); }

PrimePool::PrimePool(int inputs, int capacity, int criterion)
    : cubes_(inputs), capacity_(capacity), criterion_(criterion) {}

long long PrimePool::rowCost(int literals) const { return termWeight(criterion_, literals, 1); }

void PrimePool::add(const Cover& c) {
  if (c.in.inputs() != cubes_.inputs()) return;
  for (int k = 0; k < c.size() && size() < capacity_; ++k) {
    if (!c.alive[static_cast<std::size_t>(k)] || !c.out[static_cast<std::size_t>(k)].any()) continue;
    const Word* cube = c.in.cube(k);
    std::vector<int>& same = byHash_[bits::hashWords(cube, cubes_.stride())];
    const bool seen = std::any_of(same.begin(), same.end(), [&](int t) {
      return std::equal(cube, cube + cubes_.stride(), cubes_.cube(t));
    });
    if (seen) continue;
    same.push_back(size());
    cubes_.push(cube);
  }
}

bool PrimePool::problem(const RefineSource& source, Problem& p) {
  if (!applies(source) || source.inputs != cubes_.inputs()) return false;
  solvedAt_ = size();
  const std::vector<Word>& onBits = source.on.ofBits[0];
  const std::vector<Word>& offBits = source.off.ofBits[0];
  // The on-set minterms of the output, numbered as columns.
  std::vector<int> column(static_cast<std::size_t>(source.on.cubes.size()), -1);
  int columns = 0;
  bitspan::forEach(onBits.data(), onBits.size(), [&](int t) { column[static_cast<std::size_t>(t)] = columns++; });
  std::vector<Word> span(std::max(source.on.columns.blocks(), source.off.columns.blocks()));
  holds_.resize(static_cast<std::size_t>(size()));
  for (; known_ < size(); ++known_) {
    const Word* cube = cubes_.cube(known_);
    std::vector<int>& held = holds_[static_cast<std::size_t>(known_)];
    if (source.off.columns.meetsAnyOf(cube, offBits.data(), span.data())) continue;
    source.on.columns.inside(cube, span.data());
    bitspan::andInto(span.data(), onBits.data(), onBits.size());
    bitspan::forEach(span.data(), onBits.size(), [&](int t) { held.push_back(column[static_cast<std::size_t>(t)]); });
  }
  p = Problem{};
  p.columns.resize(static_cast<std::size_t>(columns));
  for (int k = 0; k < size(); ++k) {
    const std::vector<int>& held = holds_[static_cast<std::size_t>(k)];
    if (held.empty()) continue;
    const int row = static_cast<int>(p.cube.size());
    p.cube.push_back(k);
    p.cost.push_back(rowCost(cubeLiterals(cubes_.cube(k), cubes_.words())));
    for (int c : held) p.columns[static_cast<std::size_t>(c)].push_back(row);
  }
  return columns > 0 && std::none_of(p.columns.begin(), p.columns.end(), [](const std::vector<int>& rows) { return rows.empty(); });
}

std::vector<int> PrimePool::rowsOf(const Problem& p, const Cover& c) const {
  std::vector<int> rowOf(static_cast<std::size_t>(size()), -1);
  for (std::size_t r = 0; r < p.cube.size(); ++r) rowOf[static_cast<std::size_t>(p.cube[r])] = static_cast<int>(r);
  std::vector<int> rows;
  if (c.in.inputs() != cubes_.inputs()) return rows;
  for (int k = 0; k < c.size(); ++k) {
    if (!c.alive[static_cast<std::size_t>(k)]) continue;
    const Word* cube = c.in.cube(k);
    const auto same = byHash_.find(bits::hashWords(cube, cubes_.stride()));
    if (same == byHash_.end()) continue;
    for (int t : same->second)
      if (std::equal(cube, cube + cubes_.stride(), cubes_.cube(t)) && rowOf[static_cast<std::size_t>(t)] >= 0)
        rows.push_back(rowOf[static_cast<std::size_t>(t)]);
  }
  return rows;
}

Cover PrimePool::coverOf(const Problem& p, const std::vector<int>& rows) const {
  Cover c;
  c.in = CubeList(cubes_.inputs());
  OutputSet one(1);
  one.set(0);
  for (int r : rows) c.add(cubes_.cube(p.cube[static_cast<std::size_t>(r)]), one);
  return c;
}

}  // namespace vorn
