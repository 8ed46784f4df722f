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

class Walk {
 public:
  Walk(const PrimePool::Problem& p, long long tabu) : p_(p), tabuLen_(tabu) {
    const std::size_t rows = p.cost.size(), columns = p.columns.size();
    cells_.resize(rows);
    for (std::size_t c = 0; c < columns; ++c)
      for (int r : p.columns[c]) cells_[static_cast<std::size_t>(r)].push_back(static_cast<int>(c));
    in_.assign(rows, 0);
    memberAt_.assign(rows, -1);
    score_.assign(rows, 0);
    left_.assign(rows, -1);
    weight_.assign(columns, 1);
    covers_.assign(columns, 0);
    openAt_.assign(columns, -1);
    for (std::size_t r = 0; r < rows; ++r)
      score_[r] = static_cast<long long>(cells_[r].size());  // every column open, weight 1
    for (std::size_t c = 0; c < columns; ++c) open(static_cast<int>(c));
  }

  long long cost() const { return cost_; }
  bool covered() const { return open_.empty(); }
  std::vector<int> rows() const {
    std::vector<int> r = members_;
    std::sort(r.begin(), r.end());
    return r;
  }

  /// \brief Row r enters the cover.
  void add(int r) {
    in_[static_cast<std::size_t>(r)] = 1;
    memberAt_[static_cast<std::size_t>(r)] = static_cast<int>(members_.size());
    members_.push_back(r);
    touched_.clear();
    cost_ += p_.cost[static_cast<std::size_t>(r)];
    long long loss = 0;
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const std::size_t cc = static_cast<std::size_t>(c);
      const long long w = weight_[cc];
      if (++covers_[cc] == 1) {
        close(c);
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
    in_[static_cast<std::size_t>(r)] = 0;
    const int at = memberAt_[static_cast<std::size_t>(r)];
    members_[static_cast<std::size_t>(at)] = members_.back();
    memberAt_[static_cast<std::size_t>(members_.back())] = at;
    members_.pop_back();
    left_[static_cast<std::size_t>(r)] = move;
    cost_ -= p_.cost[static_cast<std::size_t>(r)];
    long long gain = 0;
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const std::size_t cc = static_cast<std::size_t>(c);
      const long long w = weight_[cc];
      if (--covers_[cc] == 0) {
        open(c);
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
    for (int r : members_) {
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
      if (in_[static_cast<std::size_t>(r)] && score_[static_cast<std::size_t>(r)] == 0) spare.push_back(r);
    std::sort(spare.begin(), spare.end(), [&](int a, int b) {
      return p_.cost[static_cast<std::size_t>(a)] > p_.cost[static_cast<std::size_t>(b)] ||
             (p_.cost[static_cast<std::size_t>(a)] == p_.cost[static_cast<std::size_t>(b)] && a < b);
    });
    for (int r : spare)
      if (in_[static_cast<std::size_t>(r)] && score_[static_cast<std::size_t>(r)] == 0) remove(r, move);
  }

  /// \brief The rows of the cover that lost a column of their own to the row added last: the only
  /// ones that adding it can have made redundant (a walk starts from an irredundant cover).
  std::vector<int> touched() const {
    std::vector<int> near = touched_;
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());
    return near;
  }

  /// \brief Every open column gains weight one.
  void weighOpen() {
    for (int c : open_) {
      ++weight_[static_cast<std::size_t>(c)];
      for (int q : p_.columns[static_cast<std::size_t>(c)]) ++score_[static_cast<std::size_t>(q)];
    }
  }

  int drawOpen(Random& random) const { return open_[static_cast<std::size_t>(random.randomBelow(static_cast<int>(open_.size())))]; }

 private:
  /// \brief The row of the cover other than `except` that holds column c.
  int soleOther(int c, int except) const {
    for (int q : p_.columns[static_cast<std::size_t>(c)])
      if (q != except && in_[static_cast<std::size_t>(q)]) return q;
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
  void open(int c) {
    openAt_[static_cast<std::size_t>(c)] = static_cast<int>(open_.size());
    open_.push_back(c);
  }
  void close(int c) {
    const int at = openAt_[static_cast<std::size_t>(c)];
    const int last = open_.back();
    open_[static_cast<std::size_t>(at)] = last;
    openAt_[static_cast<std::size_t>(last)] = at;
    open_.pop_back();
    openAt_[static_cast<std::size_t>(c)] = -1;
  }

  const PrimePool::Problem& p_;
  long long tabuLen_;                    ///< moves after leaving during which a row does not enter
  std::vector<std::vector<int>> cells_;  ///< per row: its columns
  std::vector<char> in_;                 ///< per row: in the cover
  std::vector<int> members_, memberAt_;  ///< the rows of the cover, and each one's place among them
  std::vector<int> touched_;             ///< the rows of the cover whose own columns the last add took
  /// Per row: in the cover, the weight of the columns only it holds; outside, the weight of the open
  /// columns it holds.
  std::vector<long long> score_;
  std::vector<long long> left_;          ///< per row: the move at which it last left (-1: never)
  std::vector<long long> weight_;        ///< per column
  std::vector<int> covers_;              ///< per column: rows of the cover holding it
  std::vector<int> open_, openAt_;       ///< the open columns, and each one's place among them
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
