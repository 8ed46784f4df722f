// REDUCE.
//
// The minterms that only a term covers, for output j, are the on-set pieces
// of j inside the term minus the other terms with j.  Their supercube (the
// term intersected with the supercube of the complement of the other terms'
// cofactor, taken piece by piece and joined over the outputs) is the
// smallest cube that can replace the term; a term that covers nothing alone
// goes.  The terms are reduced in turn, each against the cover the earlier
// ones left, which keeps the whole a cover; the next EXPAND can then grow
// them in other directions and leave the local minimum.  On sources whose
// on-set terms are minterms, what only a term covers is read from per-minterm
// counts (minterm_coverage.h) instead of the cofactors; the result is the same.
#include "refine/reduce.h"

#include <algorithm>

#include "refine/coverage.h"
#include "refine/minterm_coverage.h"

namespace vorn {

namespace {

/// Independent reductions are computed against the untouched cover and applied afterwards.
struct Deferred {
  std::vector<std::pair<int, std::vector<std::uint64_t>>> cubes;
  std::vector<std::pair<int, OutputSet>> outputs;
  std::vector<int> gone;

  void reshape(int k, const std::vector<std::uint64_t>& cube, const OutputSet& kept) {
    cubes.emplace_back(k, cube);
    outputs.emplace_back(k, kept);
  }
  void apply(Cover& cover, ReduceStats& stats) const {
    for (const auto& [k, cube] : cubes) {
      std::uint64_t* p = cover.in.cube(k);
      if (!std::equal(cube.begin(), cube.end(), p)) ++stats.reduced;
      std::copy(cube.begin(), cube.end(), p);
    }
    for (const auto& [k, outs] : outputs) cover.out[static_cast<std::size_t>(k)] = outs;
    for (int k : gone) cover.alive[static_cast<std::size_t>(k)] = 0;
  }
};

/// REDUCE on minterm counts: what only a term covers is the minterms counted once.
void reduceByCounts(const RefineSource& source, Cover& cover, const ReduceParams& params, ReduceStats& stats,
                    const std::vector<int>& order) {
  MintermCoverage counts(source, cover);
  std::vector<std::uint64_t> acc(cover.in.stride());
  Deferred deferred;
  const Deadline none;
  DeadlineProbe outOfTime(params.deadline ? *params.deadline : none, 4);
  for (int k : order) {
    if (outOfTime.expired()) break;
    OutputSet idle;
    if (!counts.uniquePart(k, acc.data(), idle)) {
      if (params.independent) {
        deferred.gone.push_back(k);
      } else {
        counts.remove(k);
        cover.alive[static_cast<std::size_t>(k)] = 0;
      }
      ++stats.removed;
      continue;
    }
    OutputSet kept = cover.out[static_cast<std::size_t>(k)];
    if (params.outputs) kept.remove(idle);
    if (params.independent) {
      deferred.reshape(k, acc, kept);
      continue;
    }
    std::uint64_t* p = cover.in.cube(k);
    counts.shrink(k, acc.data(), kept);
    if (!std::equal(acc.begin(), acc.end(), p)) {
      std::copy(acc.begin(), acc.end(), p);
      ++stats.reduced;
    }
    cover.out[static_cast<std::size_t>(k)] = kept;
  }
  deferred.apply(cover, stats);
}

}  // namespace

void Reduce(const RefineSource& source, Cover& cover, const ReduceParams& params, ReduceStats& stats) {
  std::vector<int> order, literals(static_cast<std::size_t>(cover.size()), 0);
  for (int k = 0; k < cover.size(); ++k) {
    if (!cover.alive[static_cast<std::size_t>(k)]) continue;
    order.push_back(k);
    literals[static_cast<std::size_t>(k)] = cover.literals(k);
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return literals[static_cast<std::size_t>(a)] < literals[static_cast<std::size_t>(b)]; });
  if (params.counts && MintermCoverage::applies(source)) {
    reduceByCounts(source, cover, params, stats, order);
    return;
  }
  Coverage cov(source, cover);
  std::vector<std::uint64_t> acc(cover.in.stride());
  Deferred deferred;
  const Deadline none;
  DeadlineProbe outOfTime(params.deadline ? *params.deadline : none, 4);
  for (int k : order) {
    if (outOfTime.expired()) break;
    OutputSet& outs = cover.out[static_cast<std::size_t>(k)];
    bool empty = true;
    std::vector<int> idle;
    outs.forEach([&](int j) {
      if (!cov.addUncovered(cover.in.cube(k), j, k, acc, empty)) idle.push_back(j);
    });
    if (empty) {
      if (params.independent)
        deferred.gone.push_back(k);
      else
        cover.alive[static_cast<std::size_t>(k)] = 0;
      ++stats.removed;
      continue;
    }
    if (params.independent) {
      OutputSet kept = outs;
      if (params.outputs)
        for (int j : idle) kept.reset(j);
      deferred.reshape(k, acc, kept);
      continue;
    }
    std::uint64_t* p = cover.in.cube(k);
    if (!std::equal(acc.begin(), acc.end(), p)) {
      std::copy(acc.begin(), acc.end(), p);
      ++stats.reduced;
    }
    if (params.outputs)
      for (int j : idle) outs.reset(j);
  }
  deferred.apply(cover, stats);
}

}  // namespace vorn
