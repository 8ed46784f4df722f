// Minimum-cost IRREDUNDANT.
//
// The terms that are redundant one at a time but not all together leave a
// covering problem: every on-set cube that the terms staying do not hold must
// be held by some chosen term.  Where the on-set cubes are minterms (or each
// is held whole by one term), the rows of that problem are the on-set cubes,
// one per output they belong to, and the cubes a term holds are a column
// question (LiteralColumns::inside) of a few word operations per literal.
//
// Up to 64 candidate terms, each row's candidates fit in one word and the
// problem is solved by branch and bound: branch on the uncovered row with the
// fewest candidates, bound by the current cost plus the cheapest candidate of
// each row in a set of rows that share no candidate.  Beyond that size, or
// when the node budget or the deadline runs out, the weighted greedy choice
// (most rows per unit of cost, then the costliest chosen term dropped while it
// is redundant) stands, so the result is never costlier than the greedy one.
#include "refine/term_selection.h"

#include <algorithm>
#include <cstdint>
#include <queue>

#include "model/literal_columns.h"

namespace vorn {

namespace {

/// Above this many words of row sets the selection is left to the tautology-based step.
constexpr std::size_t kMaxWords = std::size_t{1} << 22;
/// The branch-and-bound nodes one problem may take.
constexpr long long kMaxNodes = 200000;

class CoveringProblem {
 public:
  CoveringProblem(std::vector<std::vector<std::uint64_t>> rows, std::vector<long long> weight, int rowCount)
      : sets_(std::move(rows)), weight_(std::move(weight)), rows_(rowCount) {}

  /// \brief The greedy choice, made irredundant: indices into the candidates.
  std::vector<int> greedy() const {
    const std::size_t words = (static_cast<std::size_t>(rows_) + 63) / 64;
    std::vector<std::uint64_t> left(words, 0);
    for (int r = 0; r < rows_; ++r) bitspan::set(left.data(), r);
    // The candidate with the most new rows per unit of cost, the first of equals.  New rows only
    // ever shrink, so a count taken earlier bounds the count now: only the head of the queue is
    // counted again, and it is taken when it still comes before the next one's bound.
    struct Bound {
      int fresh, i;
    };
    auto before = [&](const Bound& a, const Bound& b) {
      const long long x = static_cast<long long>(a.fresh) * weight_[static_cast<std::size_t>(b.i)];
      const long long y = static_cast<long long>(b.fresh) * weight_[static_cast<std::size_t>(a.i)];
      return x != y ? x > y : a.i < b.i;
    };
    auto after = [&](const Bound& a, const Bound& b) { return before(b, a); };
    std::priority_queue<Bound, std::vector<Bound>, decltype(after)> queue(after);
    for (std::size_t i = 0; i < sets_.size(); ++i) {
      const int n = bitspan::count(sets_[i].data(), words);
      if (n > 0) queue.push({n, static_cast<int>(i)});
    }
    std::vector<int> chosen;
    int uncovered = rows_;
    while (uncovered > 0 && !queue.empty()) {
      Bound head = queue.top();
      queue.pop();
      head.fresh = bitspan::countBoth(left.data(), sets_[static_cast<std::size_t>(head.i)].data(), words);
      if (head.fresh == 0) continue;
      if (!queue.empty() && !before(head, queue.top())) {
        queue.push(head);
        continue;
      }
      chosen.push_back(head.i);
      bitspan::andNotInto(left.data(), sets_[static_cast<std::size_t>(head.i)].data(), words);
      uncovered -= head.fresh;
    }
    // Drop the costliest chosen terms whose rows the others hold.
    std::vector<int> holders(static_cast<std::size_t>(rows_), 0);
    for (int i : chosen) bitspan::forEach(sets_[static_cast<std::size_t>(i)].data(), words, [&](int r) { ++holders[static_cast<std::size_t>(r)]; });
    std::stable_sort(chosen.begin(), chosen.end(), [&](int a, int b) { return weight_[static_cast<std::size_t>(a)] > weight_[static_cast<std::size_t>(b)]; });
    std::vector<int> kept;
    for (int i : chosen) {
      bool needed = false;
      bitspan::forEach(sets_[static_cast<std::size_t>(i)].data(), words, [&](int r) { needed = needed || holders[static_cast<std::size_t>(r)] == 1; });
      if (needed) {
        kept.push_back(i);
        continue;
      }
      bitspan::forEach(sets_[static_cast<std::size_t>(i)].data(), words, [&](int r) { --holders[static_cast<std::size_t>(r)]; });
    }
    return kept;
  }

  /// \brief The cheapest choice found by branch and bound from `start`; only for at most 64 candidates.
  /// True when the search ran to its end (the choice is a minimum).
  bool exact(std::vector<int>& choice, const Deadline* deadline, long long& nodes) {
    const std::size_t words = (static_cast<std::size_t>(rows_) + 63) / 64;
    cands_.assign(static_cast<std::size_t>(rows_), 0);
    for (std::size_t i = 0; i < sets_.size(); ++i)
      bitspan::forEach(sets_[i].data(), words, [&](int r) { cands_[static_cast<std::size_t>(r)] |= std::uint64_t{1} << i; });
    bestCost_ = 0;
    bestMask_ = 0;
    for (int i : choice) {
      bestCost_ += weight_[static_cast<std::size_t>(i)];
      bestMask_ |= std::uint64_t{1} << i;
    }
    const Deadline none;
    DeadlineProbe probe(deadline ? *deadline : none, 64);
    probe_ = &probe;
    nodes_ = 0;
    cut_ = false;
    branch(reducedRows(), 0, dominatedCandidates(), 0);
    nodes += nodes_;
    choice.clear();
    for (std::size_t i = 0; i < sets_.size(); ++i)
      if (bestMask_ >> i & 1) choice.push_back(static_cast<int>(i));
    return !cut_;
  }

 private:
  /// The rows worth branching on, fewest candidates first: of rows with the same candidates one
  /// stays, and a row whose candidates include all of another row's goes (holding that row holds
  /// it too).  Fewest first also lets the bound find more rows that share no candidate.
  std::vector<int> reducedRows() const {
    std::vector<int> order(static_cast<std::size_t>(rows_));
    for (int r = 0; r < rows_; ++r) order[static_cast<std::size_t>(r)] = r;
    auto cands = [&](int r) { return cands_[static_cast<std::size_t>(r)]; };
    std::sort(order.begin(), order.end(), [&](int a, int b) {
      const int na = bits::popcount(cands(a)), nb = bits::popcount(cands(b));
      return na != nb ? na < nb : cands(a) < cands(b);
    });
    std::vector<int> kept;
    for (int r : order) {
      bool implied = false;
      for (std::size_t q = 0; q < kept.size() && !implied; ++q) implied = (cands(kept[q]) & ~cands(r)) == 0;
      if (!implied) kept.push_back(r);
    }
    return kept;
  }

  /// The candidates no minimum needs: another candidate holds every row it holds and costs no more
  /// (of two alike, the later one goes).  They start banned.
  Word dominatedCandidates() const {
    const std::size_t n = sets_.size();
    const std::size_t words = (static_cast<std::size_t>(rows_) + 63) / 64;
    Word banned = 0;
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = 0; j < n && !(banned >> i & 1); ++j) {
        if (i == j || (banned >> j & 1) || weight_[j] > weight_[i]) continue;
        if (weight_[j] == weight_[i] && j > i && sets_[j] == sets_[i]) continue;  // the later of two alike goes
        if (bits::isSubset(sets_[i].data(), sets_[j].data(), static_cast<int>(words))) banned |= Word{1} << i;
      }
    }
    return banned;
  }

  /// Rows in `open` not yet held by `taken`; candidates in `banned` may not be taken.
  void branch(const std::vector<int>& open, std::uint64_t taken, std::uint64_t banned, long long cost) {
    if (cut_) return;
    if (++nodes_ > kMaxNodes || probe_->expired()) {
      cut_ = true;
      return;
    }
    std::vector<int> left;
    left.reserve(open.size());
    for (int r : open)
      if (!(cands_[static_cast<std::size_t>(r)] & taken)) left.push_back(r);
    if (left.empty()) {
      if (cost < bestCost_) {
        bestCost_ = cost;
        bestMask_ = taken;
      }
      return;
    }
    // Bound: rows sharing no allowed candidate each need one of their own.
    long long bound = cost;
    std::uint64_t used = 0;
    int pick = -1, fewest = 65;
    for (int r : left) {
      const Word c = cands_[static_cast<std::size_t>(r)] & ~banned;
      if (!c) return;  // a row no allowed candidate holds
      const int n = bits::popcount(c);
      if (n < fewest) {
        fewest = n;
        pick = r;
      }
      if (c & used) continue;
      used |= c;
      long long cheapest = -1;
      bits::forEachBit(&c, 1, [&](int i) {
        const long long w = weight_[static_cast<std::size_t>(i)];
        if (cheapest < 0 || w < cheapest) cheapest = w;
      });
      bound += cheapest;
    }
    if (bound >= bestCost_) return;
    const Word c = cands_[static_cast<std::size_t>(pick)] & ~banned;
    std::vector<int> order;
    bits::forEachBit(&c, 1, [&](int i) { order.push_back(i); });
    std::sort(order.begin(), order.end(), [&](int a, int b) { return weight_[static_cast<std::size_t>(a)] < weight_[static_cast<std::size_t>(b)]; });
    std::uint64_t ban = banned;
    for (int i : order) {
      branch(left, taken | std::uint64_t{1} << i, ban, cost + weight_[static_cast<std::size_t>(i)]);
      ban |= std::uint64_t{1} << i;  // the branches after this one do without it
    }
  }

  std::vector<std::vector<std::uint64_t>> sets_;
  std::vector<long long> weight_;
  int rows_;
  /// Per row, its candidates as bits of one word (at most 64 candidates).
  std::vector<Word> cands_;
  long long bestCost_ = 0, nodes_ = 0;
  std::uint64_t bestMask_ = 0;
  bool cut_ = false;
  DeadlineProbe* probe_ = nullptr;
};

}  // namespace

bool SelectTerms(const RefineSource& source, Cover& cover, const std::vector<int>& open,
                 const std::vector<long long>& weight, const Deadline* deadline, SelectionStats& stats) {
  const CubeSet& on = source.on;
  if (!on.hasColumns() || open.empty()) return false;
  const std::size_t ob = on.columns.blocks();
  const std::size_t outputs = static_cast<std::size_t>(source.outputs);
  if (outputs * ob > kMaxWords) return false;
  std::vector<char> isOpen(static_cast<std::size_t>(cover.size()), 0);
  for (int k : open) isOpen[static_cast<std::size_t>(k)] = 1;
  // Per output, the on-set cubes the other live terms hold whole.
  std::vector<std::vector<std::uint64_t>> need(outputs, std::vector<std::uint64_t>(ob, 0));
  std::vector<std::uint64_t> inside(ob);
  for (int k = 0; k < cover.size(); ++k) {
    if (!cover.alive[static_cast<std::size_t>(k)] || isOpen[static_cast<std::size_t>(k)]) continue;
    on.columns.inside(cover.in.cube(k), inside.data());
    cover.out[static_cast<std::size_t>(k)].forEach([&](int j) { bitspan::orInto(need[static_cast<std::size_t>(j)].data(), inside.data(), ob); });
  }
  for (std::size_t j = 0; j < outputs; ++j) {
    std::vector<std::uint64_t>& n = need[j];
    for (std::size_t b = 0; b < ob; ++b) n[b] = on.ofBits[j][b] & ~n[b];
  }
  // The rows: the cubes still needed, numbered output by output.
  std::vector<int> first(outputs + 1, 0);
  for (std::size_t j = 0; j < outputs; ++j) first[j + 1] = first[j] + bitspan::count(need[j].data(), ob);
  const int rows = first[outputs];
  const std::size_t rw = (static_cast<std::size_t>(rows) + 63) / 64;
  if (rw * open.size() > kMaxWords) return false;
  std::vector<std::vector<std::uint64_t>> sets(open.size(), std::vector<std::uint64_t>(rw, 0));
  std::vector<std::uint64_t> held(rw, 0), mine(ob);
  std::vector<int> rank(static_cast<std::size_t>(on.cubes.size()));
  for (std::size_t i = 0; i < open.size(); ++i) {
    const int k = open[i];
    on.columns.inside(cover.in.cube(k), inside.data());
    cover.out[static_cast<std::size_t>(k)].forEach([&](int j) {
      mine = inside;
      bitspan::andInto(mine.data(), need[static_cast<std::size_t>(j)].data(), ob);
      if (!bitspan::any(mine.data(), ob)) return;
      // The rank of a cube among the needed ones of output j: its row.
      int r = first[static_cast<std::size_t>(j)];
      std::size_t b = 0;
      bitspan::forEach(mine.data(), ob, [&](int t) {
        for (; b < static_cast<std::size_t>(t) / 64; ++b) r += bits::popcount(need[static_cast<std::size_t>(j)][b]);
        const Word below = need[static_cast<std::size_t>(j)][b] & ((Word{1} << (t & 63)) - 1);
        const int row = r + bits::popcount(below);
        bitspan::set(sets[i].data(), row);
        bitspan::set(held.data(), row);
      });
    });
  }
  if (bitspan::count(held.data(), rw) != rows) return false;  // some cube is held by no single term
  std::vector<long long> w(open.size());
  for (std::size_t i = 0; i < open.size(); ++i) w[i] = weight[static_cast<std::size_t>(open[i])];
  CoveringProblem problem(std::move(sets), std::move(w), rows);
  std::vector<int> choice = problem.greedy();
  if (open.size() <= 64 && problem.exact(choice, deadline, stats.nodes))
    ++stats.solved;
  else
    ++stats.greedy;
  for (int k : open) cover.alive[static_cast<std::size_t>(k)] = 0;
  for (int i : choice) cover.alive[static_cast<std::size_t>(open[static_cast<std::size_t>(i)])] = 1;
  return true;
}

}  // namespace vorn
