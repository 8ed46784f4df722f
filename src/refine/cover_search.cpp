// A local search for cheap covers of the prime pool's covering problem.
//
// The pool's covering problem (prime_pool.h) is a weighted set cover of a
// few thousand on-set minterms by a few thousand implicants whose linear
// relaxation lies far below its integer optimum: the tree search settles
// small ones, but on the larger ones its bound prunes nothing and greedy
// covers come out costlier than the refinement's own.  Local search with
// column weighting (as in the row-weighting local search for set covering of
// Gao, Weise and Li) walks from the best cover instead: rows leave the
// cover while it is whole or no cheaper than the best found, every column
// left open gains weight, and a row enters to close one of them, so that the
// walk turns to the columns it keeps failing and leaves the local minimum.  A row that left lately enters again only where no other can, and
// a walk that finds nothing cheaper for long starts again from the cheapest
// cover with fresh weights.  Scores are kept up to date per move: a move
// costs the rows of the columns of the rows moved, and one pass over the
// cover's rows to choose the row that leaves; only the rows of the cover
// that lost a column of their own to the row that entered can have become
// redundant, so only they are looked at (a tenth of the work per move of
// looking at every row of the cover sharing a column with it).
#include "refine/cover_search.h"

#include <algorithm>
#include <memory>

namespace vorn {

namespace {

/// A subset of 0..n-1 with its members in a list, each knowing its place there: membership, insertion
/// and removal in constant time, and a walk over the members alone.  Removal moves the last member
/// into the place it frees.
class IndexedSet {
 public:
  explicit IndexedSet(std::size_t n = 0) : placeOf_(n, -1) {}
  bool contains(int k) const { return placeOf_[static_cast<std::size_t>(k)] >= 0; }
  bool empty() const { return items_.empty(); }
  const std::vector<int>& items() const { return items_; }
  void insert(int k) {
    placeOf_[static_cast<std::size_t>(k)] = static_cast<int>(items_.size());
    items_.push_back(k);
  }
  void erase(int k) {
    const int at = placeOf_[static_cast<std::size_t>(k)];
    const int last = items_.back();
    items_[static_cast<std::size_t>(at)] = last;
    placeOf_[static_cast<std::size_t>(last)] = at;
    items_.pop_back();
    placeOf_[static_cast<std::size_t>(k)] = -1;
  }

 private:
  std::vector<int> items_;
  std::vector<int> placeOf_;  ///< per element: its place in items_ (-1: not a member)
};

class Walk {
 public:
  Walk(const PrimePool::Problem& p, long long tabu) : p_(p), tabuLen_(tabu) {
    const std::size_t rows = p.cost.size(), columns = p.columns.size();
    cells_.resize(rows);
    for (std::size_t c = 0; c < columns; ++c)
      for (int r : p.columns[c]) cells_[static_cast<std::size_t>(r)].push_back(static_cast<int>(c));
    cover_ = IndexedSet(rows);
    score_.assign(rows, 0);
    left_.assign(rows, -1);
    weight_.assign(columns, 1);
    covers_.assign(columns, 0);
    open_ = IndexedSet(columns);
    for (std::size_t r = 0; r < rows; ++r)
      score_[r] = static_cast<long long>(cells_[r].size());  // every column open, weight 1
    for (std::size_t c = 0; c < columns; ++c) open_.insert(static_cast<int>(c));
  }

  long long cost() const { return cost_; }
  bool covered() const { return open_.empty(); }
  bool holds(int r) const { return cover_.contains(r); }
  std::vector<int> rows() const {
    std::vector<int> r = cover_.items();
    std::sort(r.begin(), r.end());
    return r;
  }

  /// \brief Row r enters the cover.
  void add(int r) {
    cover_.insert(r);
    touched_.clear();
    cost_ += p_.cost[static_cast<std::size_t>(r)];
    long long loss = 0;
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const std::size_t cc = static_cast<std::size_t>(c);
      const long long w = weight_[cc];
      if (++covers_[cc] == 1) {
        open_.erase(c);
        loss += w;
        for (int q : p_.columns[cc])
          if (q != r) score_[static_cast<std::size_t>(q)] -= w;  // none of them is in: the column was open
      } else if (covers_[cc] == 2) {
        const int q = soleOther(c, r);
        score_[static_cast<std::size_t>(q)] -= w;
        touched_.push_back(q);
      }
    }
    score_[static_cast<std::size_t>(r)] = loss;
  }

  /// \brief Row r leaves the cover (at move `move`).
  void remove(int r, long long move) {
    cover_.erase(r);
    left_[static_cast<std::size_t>(r)] = move;
    cost_ -= p_.cost[static_cast<std::size_t>(r)];
    long long gain = 0;
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const std::size_t cc = static_cast<std::size_t>(c);
      const long long w = weight_[cc];
      if (--covers_[cc] == 0) {
        open_.insert(c);
        gain += w;
        for (int q : p_.columns[cc])
          if (q != r) score_[static_cast<std::size_t>(q)] += w;
      } else if (covers_[cc] == 1) {
        score_[static_cast<std::size_t>(soleOther(c, -1))] += w;
      }
    }
    score_[static_cast<std::size_t>(r)] = gain;
  }

  /// \brief The row of the cover holding the least weight only it holds per cost, the one that left
  /// longest ago among equals (then the first); -1 for an empty cover.  Only the cover's rows are
  /// looked at: a pool holds tens of times as many.
  int cheapestToDrop(int except) const {
    int pick = -1;
    for (int r : cover_.items()) {
      if (r == except) continue;
      if (pick < 0 || less(r, pick) || (!less(pick, r) && r < pick)) pick = r;
    }
    return pick;
  }

  /// \brief The row outside the cover holding open column c with the most open weight per cost, not
  /// one that left within the tabu moves before `move` unless every row of c did.
  int bestToAdd(int c, long long move) const {
    int pick = -1, any = -1;
    for (int q : p_.columns[static_cast<std::size_t>(c)]) {
      if (any < 0 || more(q, any)) any = q;
      const long long left = left_[static_cast<std::size_t>(q)];
      if (left >= 0 && left >= move - tabuLen_) continue;
      if (pick < 0 || more(q, pick)) pick = q;
    }
    return pick >= 0 ? pick : any;
  }

  /// \brief Drops the rows of the cover whose columns others hold, the dearest first.
  void dropRedundant(const std::vector<int>& near, long long move) {
    std::vector<int> spare;
    for (int r : near)
      if (holds(r) && score_[static_cast<std::size_t>(r)] == 0) spare.push_back(r);
    std::sort(spare.begin(), spare.end(), [&](int a, int b) {
      return p_.cost[static_cast<std::size_t>(a)] > p_.cost[static_cast<std::size_t>(b)] ||
             (p_.cost[static_cast<std::size_t>(a)] == p_.cost[static_cast<std::size_t>(b)] && a < b);
    });
    spare.erase(std::unique(spare.begin(), spare.end()), spare.end());
    for (int r : spare)
      if (holds(r) && score_[static_cast<std::size_t>(r)] == 0) remove(r, move);
  }

  /// \brief The rows of the cover that lost a column of their own to the row added last (a row once
  /// per column): the only ones that adding it can have made redundant.  Rows a start holds
  /// redundantly have no column of their own and are the first to leave.
  const std::vector<int>& touched() const { return touched_; }

  /// \brief Every open column gains weight one.
  void weighOpen() {
    for (int c : open_.items()) {
      ++weight_[static_cast<std::size_t>(c)];
      for (int q : p_.columns[static_cast<std::size_t>(c)]) ++score_[static_cast<std::size_t>(q)];
    }
  }

  int drawOpen(Random& random) const {
    const std::vector<int>& open = open_.items();
    return open[static_cast<std::size_t>(random.randomBelow(static_cast<int>(open.size())))];
  }

 private:
  /// \brief The row of the cover other than `except` that holds column c.
  int soleOther(int c, int except) const {
    for (int q : p_.columns[static_cast<std::size_t>(c)])
      if (q != except && holds(q)) return q;
    return -1;
  }
  /// \brief Row a holds less weight per cost than row b (cross-multiplied), or as little and left earlier.
  bool less(int a, int b) const {
    const long long x = score_[static_cast<std::size_t>(a)] * p_.cost[static_cast<std::size_t>(b)];
    const long long y = score_[static_cast<std::size_t>(b)] * p_.cost[static_cast<std::size_t>(a)];
    return x < y || (x == y && left_[static_cast<std::size_t>(a)] < left_[static_cast<std::size_t>(b)]);
  }
  bool more(int a, int b) const {
    const long long x = score_[static_cast<std::size_t>(a)] * p_.cost[static_cast<std::size_t>(b)];
    const long long y = score_[static_cast<std::size_t>(b)] * p_.cost[static_cast<std::size_t>(a)];
    return x > y || (x == y && left_[static_cast<std::size_t>(a)] < left_[static_cast<std::size_t>(b)]);
  }
  const PrimePool::Problem& p_;
  long long tabuLen_;                    ///< moves after leaving during which a row does not enter
  std::vector<std::vector<int>> cells_;  ///< per row: its columns
  IndexedSet cover_;                     ///< the rows of the cover
  std::vector<int> touched_;             ///< the rows of the cover whose own columns the last add took
  /// Per row: in the cover, the weight of the columns only it holds; outside, the weight of the open
  /// columns it holds.
  std::vector<long long> score_;
  std::vector<long long> left_;          ///< per row: the move at which it last left (-1: never)
  std::vector<long long> weight_;        ///< per column
  std::vector<int> covers_;              ///< per column: rows of the cover holding it
  IndexedSet open_;                      ///< the open columns
  long long cost_ = 0;
};

}  // namespace

long long SearchCover(const PrimePool::Problem& p, const std::vector<int>& start, Random& random,
                      const CoverSearchParams& params, std::vector<int>& best, CoverSearchStats& stats) {
  std::unique_ptr<Walk> walk = std::make_unique<Walk>(p, params.tabu);
  for (int r : start) walk->add(r);
  best = start;
  long long bestCost = walk->covered() ? walk->cost() : -1;
  if (bestCost < 0 || p.columns.empty()) return bestCost;
  DeadlineProbe probe(params.deadline, 64);
  int entered = -1;
  long long lastGain = 0;
  for (long long move = 0; params.maxMoves <= 0 || move < params.maxMoves; ++move) {
    if (probe.expired()) break;
    Walk& w = *walk;
    if (w.covered() && w.cost() < bestCost) {
      bestCost = w.cost();
      best = w.rows();
      lastGain = move;
      ++stats.improvements;
    }
    if (params.restart > 0 && move - lastGain > params.restart) {
      // A walk that found nothing cheaper for long has lost its way: start again from the best cover
      // with fresh weights.
      walk = std::make_unique<Walk>(p, params.tabu);
      for (int r : best) walk->add(r);
      lastGain = move;
      entered = -1;
      continue;
    }
    // Rows leave while the cover is whole or no cheaper than the best: the rows that enter next must
    // close the columns left open for less than the best costs.
    while (w.covered() || w.cost() >= bestCost) {
      const int r = w.cheapestToDrop(entered);
      if (r < 0) break;
      w.remove(r, move);
      entered = -1;
    }
    if (w.covered()) break;
    // The columns left open gain weight before a row enters: a walk that takes back the row it just
    // gave up makes that row dearer to give up, until another goes.
    w.weighOpen();
    const int c = w.drawOpen(random);
    const int r = w.bestToAdd(c, move);
    if (r < 0) break;
    w.add(r);
    entered = r;
    w.dropRedundant(w.touched(), move);
    ++stats.moves;
  }
  std::sort(best.begin(), best.end());
  return bestCost;
}

}  // namespace vorn
