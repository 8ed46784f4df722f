// A local search for cheap covers of the prime pool's covering problem.
//
// The pool's covering problem (prime_pool.h) is a weighted set cover of a
// few thousand on-set minterms by a few thousand implicants whose linear
// relaxation lies far below its integer optimum: the tree search settles
// small ones, but on the larger ones its bound prunes nothing and greedy
// covers come out costlier than the refinement's own.  Local search with
// column weighting (as in the row-weighting local search for set covering of
// Gao, Weise and Li) walks from the best cover instead: rows leave the cover
// while it is whole or no cheaper than the best found, every column left
// open gains weight, and a row enters to close one of them, so that the walk
// turns to the columns it keeps failing and leaves the local minimum.  A row
// that left lately enters again only where no other can, and a walk that
// finds nothing cheaper for long starts again from the cheapest cover with
// fresh weights.  Scores are kept up to date per move: a move costs the rows
// of the columns that open or close, and one pass over the cover's rows to
// choose the row that leaves.  The open columns' weights are read off a
// clock, so weighing them costs one tick however many rows hold them, and
// the row of the cover that alone holds a column is the exclusive or of the
// cover's rows there, so no column is scanned for it (together half the time
// per move on the larger pools).  Only the rows of the cover that lost a
// column of their own to the row that entered can have become redundant, so
// only they are looked at (a tenth of the work per move of looking at every
// row of the cover sharing a column with it).
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

/// A row to enter with its figures: it beats another holding less open weight per cost, or as much
/// and left earlier.
struct Choice {
  int row = -1;
  long long score = 0, cost = 0, left = 0;
  bool beats(const Choice& o) const {
    const long long x = score * o.cost, y = o.score * cost;
    return x > y || (x == y && left < o.left);
  }
};

/// What the walk knows of a row, in one place: choosing a row reads all of it.
struct Row {
  /// In the cover, the weight of the columns only it holds; outside, the sum of the offsets of the
  /// open columns it holds (Walk::score adds the clock once per such column).
  long long score = 0;
  long long openHeld = 0;  ///< outside the cover: the open columns it holds (0 in it)
  long long left = -1;     ///< the move at which it last left (-1: never)
  long long cost = 0;
};

class Walk {
 public:
  Walk(const PrimePool::Problem& p, long long tabu) : p_(p), tabuLen_(tabu) {
    const std::size_t rows = p.cost.size(), columns = p.columns.size();
    cells_.resize(rows);
    for (std::size_t c = 0; c < columns; ++c)
      for (int r : p.columns[c]) cells_[static_cast<std::size_t>(r)].push_back(static_cast<int>(c));
    cover_ = IndexedSet(rows);
    row_.resize(rows);
    weight_.assign(columns, 1);
    covers_.assign(columns, 0);
    coverXor_.assign(columns, 0);
    open_ = IndexedSet(columns);
    for (std::size_t r = 0; r < rows; ++r) {
      // Every column open, weight 1 at time 0.
      row_[r].cost = p.cost[r];
      row_[r].score = static_cast<long long>(cells_[r].size());
      row_[r].openHeld = static_cast<long long>(cells_[r].size());
    }
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
      coverXor_[cc] ^= r;
      if (++covers_[cc] == 1) {
        open_.erase(c);
        const long long offset = weight_[cc];
        weight_[cc] = offset + time_;
        loss += weight_[cc];
        for (int q : p_.columns[cc])
          if (q != r) {  // none of them is in: the column was open
            row_[static_cast<std::size_t>(q)].score -= offset;
            --row_[static_cast<std::size_t>(q)].openHeld;
          }
      } else if (covers_[cc] == 2) {
        const int q = coverXor_[cc] ^ r;
        row_[static_cast<std::size_t>(q)].score -= weight_[cc];
        touched_.push_back(q);
      }
    }
    row_[static_cast<std::size_t>(r)].score = loss;
    row_[static_cast<std::size_t>(r)].openHeld = 0;
  }

  /// \brief Row r leaves the cover (at move `move`).
  void remove(int r, long long move) {
    cover_.erase(r);
    row_[static_cast<std::size_t>(r)].left = move;
    cost_ -= p_.cost[static_cast<std::size_t>(r)];
    long long offsets = 0, opened = 0;
    for (int c : cells_[static_cast<std::size_t>(r)]) {
      const std::size_t cc = static_cast<std::size_t>(c);
      coverXor_[cc] ^= r;
      if (--covers_[cc] == 0) {
        open_.insert(c);
        const long long offset = weight_[cc] - time_;
        weight_[cc] = offset;
        offsets += offset;
        ++opened;
        for (int q : p_.columns[cc])
          if (q != r) {
            row_[static_cast<std::size_t>(q)].score += offset;
            ++row_[static_cast<std::size_t>(q)].openHeld;
          }
      } else if (covers_[cc] == 1) {
        row_[static_cast<std::size_t>(coverXor_[cc])].score += weight_[cc];
      }
    }
    row_[static_cast<std::size_t>(r)].score = offsets;
    row_[static_cast<std::size_t>(r)].openHeld = opened;
  }

  /// \brief The row of the cover holding the least weight only it holds per cost, the one that left
  /// longest ago among equals (then the first); -1 for an empty cover.  Only the cover's rows are
  /// looked at: a pool holds tens of times as many.
  int cheapestToDrop(int except) const {
    // The pick's figures stay at hand: the scan reads one row per step (in the cover its score needs
    // no clock).
    int pick = -1;
    long long pickScore = 0, pickCost = 0, pickLeft = 0;
    for (int r : cover_.items()) {
      if (r == except) continue;
      const Row& x = row_[static_cast<std::size_t>(r)];
      const long long a = x.score * pickCost, b = pickScore * x.cost;
      if (pick < 0 || a < b || (a == b && (x.left < pickLeft || (x.left == pickLeft && r < pick)))) {
        pick = r;
        pickScore = x.score;
        pickCost = x.cost;
        pickLeft = x.left;
      }
    }
    return pick;
  }

  /// \brief The row outside the cover holding open column c with the most open weight per cost, not
  /// one that left within the tabu moves before `move` unless every row of c did.
  int bestToAdd(int c, long long move) const {
    Choice pick, any;
    for (int q : p_.columns[static_cast<std::size_t>(c)]) {
      const Row& x = row_[static_cast<std::size_t>(q)];
      const Choice here{q, score(q), x.cost, x.left};
      if (any.row < 0 || here.beats(any)) any = here;
      if (x.left >= 0 && x.left >= move - tabuLen_) continue;
      if (pick.row < 0 || here.beats(pick)) pick = here;
    }
    return pick.row >= 0 ? pick.row : any.row;
  }

  /// \brief Drops the rows of the cover whose columns others hold, the dearest first.
  void dropRedundant(const std::vector<int>& near, long long move) {
    std::vector<int> spare;
    for (int r : near)
      if (holds(r) && score(r) == 0) spare.push_back(r);
    std::sort(spare.begin(), spare.end(), [&](int a, int b) {
      return p_.cost[static_cast<std::size_t>(a)] > p_.cost[static_cast<std::size_t>(b)] ||
             (p_.cost[static_cast<std::size_t>(a)] == p_.cost[static_cast<std::size_t>(b)] && a < b);
    });
    spare.erase(std::unique(spare.begin(), spare.end()), spare.end());
    for (int r : spare)
      if (holds(r) && score(r) == 0) remove(r, move);
  }

  /// \brief The rows of the cover that lost a column of their own to the row added last (a row once
  /// per column): the only ones that adding it can have made redundant.  Rows a start holds
  /// redundantly have no column of their own and are the first to leave.
  const std::vector<int>& touched() const { return touched_; }

  /// \brief Every open column gains weight one: the clock its weight is read by moves on.
  void weighOpen() { ++time_; }

  int drawOpen(Random& random) const {
    const std::vector<int>& open = open_.items();
    return open[static_cast<std::size_t>(random.randomBelow(static_cast<int>(open.size())))];
  }

 private:
  /// \brief The weight row r holds: in the cover, of the columns only it holds; outside, of the open
  /// columns it holds, whose weights grow with the clock.
  long long score(int r) const {
    return row_[static_cast<std::size_t>(r)].score + row_[static_cast<std::size_t>(r)].openHeld * time_;
  }
  const PrimePool::Problem& p_;
  long long tabuLen_;                    ///< moves after leaving during which a row does not enter
  std::vector<std::vector<int>> cells_;  ///< per row: its columns
  IndexedSet cover_;                     ///< the rows of the cover
  std::vector<int> touched_;             ///< the rows of the cover whose own columns the last add took
  std::vector<Row> row_;                 ///< per row of the problem
  /// Per column: covered, its weight; open, its weight less the clock (an open column's weight grows
  /// by one per tick, so that a tick costs nothing however many columns are open or rows hold them).
  std::vector<long long> weight_;
  long long time_ = 0;                   ///< the clock: ticks of weighOpen() so far
  std::vector<int> covers_;              ///< per column: rows of the cover holding it
  /// Per column: the exclusive or of the rows of the cover holding it, which names the row when one
  /// does (or the other of two) without a scan of the column.
  std::vector<int> coverXor_;
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
