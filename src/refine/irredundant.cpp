// IRREDUNDANT.
//
// A term is redundant when, for each of its outputs, the on-set minterms it
// covers lie in the other terms.  Judged against the whole cover, the terms
// that are not redundant are relatively essential: they stay.  Of the
// redundant ones, those the essential terms already cover go at once; the
// others (partially redundant: each could go, not all together) form a small
// covering problem, solved greedily by dropping the costliest term that is
// still redundant among what is left, until none is; where the on-set is held
// cube by cube it is also solved as a weighted covering problem (exactly when
// small, term_selection.h) and the cheaper choice stays.  Last, output
// connections that the other terms of the output cover are dropped, the
// connections of the costliest terms first.  On sources whose on-set terms
// are minterms, coverage is counted per minterm (minterm_coverage.h) instead
// of checked by tautology; the answers are the same.
#include "refine/irredundant.h"

#include <algorithm>
#include <optional>

#include "model/cost.h"
#include "refine/minterm_coverage.h"

#include "refine/term_selection.h"

namespace vorn {

long long TermWeights::term(int literals, int outputs) const { return termWeight(criterion, literals, outputs); }

namespace {

/// The coverage questions of IRREDUNDANT, counted per minterm where the source allows it, by
/// tautology otherwise; the liveness and outputs of terms change through it so the counts follow.
class Judge {
 public:
  Judge(const RefineSource& source, Cover& cover, bool counts) : cover_(cover) {
    if (counts && MintermCoverage::applies(source))
      counts_.emplace(source, cover);
    else
      tautology_.emplace(source, cover);
  }
  /// \brief True when the other live terms with output j cover what term k covers of j.
  bool covered(int k, int j) {
    return counts_ ? counts_->coveredByOthers(k, j) : tautology_->coveredByOthers(cover_.in.cube(k), j, k);
  }
  /// \brief True when term k can go: covered for every output it has.
  bool redundant(int k) {
    bool all = true;
    cover_.out[static_cast<std::size_t>(k)].forEach([&](int j) { all = all && covered(k, j); });
    return all;
  }
  void setAlive(int k, bool alive) {
    cover_.alive[static_cast<std::size_t>(k)] = alive;
    if (!counts_) return;
    if (alive)
      counts_->restore(k);
    else
      counts_->remove(k);
  }
  void dropOutput(int k, int j) {
    if (counts_) counts_->removeOutput(k, j);
    cover_.out[static_cast<std::size_t>(k)].reset(j);
  }

 private:
  Cover& cover_;
  std::optional<MintermCoverage> counts_;
  std::optional<Coverage> tautology_;
};

}  // namespace

void Irredundant(const RefineSource& source, Cover& cover, const IrredundantParams& params, IrredundantStats& stats) {
  Judge judge(source, cover, params.counts);
  // Out of time, the terms not yet looked at stay: every loop below that
  // stops early leaves a valid cover.
  const Deadline none;
  DeadlineProbe outOfTime(params.deadline ? *params.deadline : none, 4);
  std::vector<int> partial;
  for (int k = 0; k < cover.size(); ++k) {
    if (outOfTime.expired()) break;
    if (!cover.alive[static_cast<std::size_t>(k)]) continue;
    if (!cover.out[static_cast<std::size_t>(k)].any()) {
      judge.setAlive(k, false);
      continue;
    }
    if (judge.redundant(k))
      partial.push_back(k);
    else
      ++stats.essential;
  }
  // Those the essential terms cover alone go first.
  for (int k : partial) judge.setAlive(k, false);
  std::vector<int> open;
  for (int k : partial)
    if (!judge.redundant(k)) open.push_back(k);
    else ++stats.removed;
  for (int k : open) judge.setAlive(k, true);
  // The rest: drop the costliest while it is still redundant.
  std::vector<long long> weight(static_cast<std::size_t>(cover.size()), 0);
  for (int k : open) weight[static_cast<std::size_t>(k)] = params.weights.term(cover.literals(k), cover.out[static_cast<std::size_t>(k)].count());
  std::stable_sort(open.begin(), open.end(), [&](int a, int b) { return weight[static_cast<std::size_t>(a)] > weight[static_cast<std::size_t>(b)]; });
  for (int k : open) {
    if (outOfTime.expired()) break;
    if (!judge.redundant(k)) continue;
    judge.setAlive(k, false);
  }
  // Where the on-set is held cube by cube, the choice is also made as a covering problem, and the
  // cheaper of the two choices stays.
  if (params.minimum && !open.empty() && !outOfTime.expired()) {
    std::vector<char> greedy(open.size());
    long long greedyWeight = 0;
    for (std::size_t i = 0; i < open.size(); ++i) {
      greedy[i] = cover.alive[static_cast<std::size_t>(open[i])];
      if (greedy[i]) greedyWeight += weight[static_cast<std::size_t>(open[i])];
    }
    for (int k : open) cover.alive[static_cast<std::size_t>(k)] = 1;
    if (SelectTerms(source, cover, open, weight, params.deadline, stats.selection)) {
      long long chosen = 0;
      for (int k : open)
        if (cover.alive[static_cast<std::size_t>(k)]) chosen += weight[static_cast<std::size_t>(k)];
      if (chosen >= greedyWeight)
        for (std::size_t i = 0; i < open.size(); ++i) cover.alive[static_cast<std::size_t>(open[i])] = greedy[i];
    } else {
      for (std::size_t i = 0; i < open.size(); ++i) cover.alive[static_cast<std::size_t>(open[i])] = greedy[i];
    }
    for (int k : open) judge.setAlive(k, cover.alive[static_cast<std::size_t>(k)]);
  }
  for (int k : open) stats.removed += !cover.alive[static_cast<std::size_t>(k)];
  if (!params.sparse) return;
  // Output connections of the terms that stay, costliest terms first.
  std::vector<int> order;
  for (int k = 0; k < cover.size(); ++k)
    if (cover.alive[static_cast<std::size_t>(k)]) order.push_back(k);
  std::vector<int> lits(static_cast<std::size_t>(cover.size()), 0);
  for (int k : order) lits[static_cast<std::size_t>(k)] = cover.literals(k);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lits[static_cast<std::size_t>(a)] > lits[static_cast<std::size_t>(b)]; });
  for (int k : order) {
    if (outOfTime.expired()) break;
    OutputSet& outs = cover.out[static_cast<std::size_t>(k)];
    if (outs.count() < 2) continue;
    std::vector<int> js;
    outs.forEach([&](int j) { js.push_back(j); });
    for (int j : js) {
      if (outs.count() < 2) break;
      if (!judge.covered(k, j)) continue;
      judge.dropOutput(k, j);
      ++stats.disconnected;
    }
  }
}

}  // namespace vorn
