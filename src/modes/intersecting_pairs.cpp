// The split position of a part is the one whose smaller side ('0' or '1')
// is largest, so both halves shed as many cubes as possible; a split is
// taken only while it saves comparisons (the halves' pair counts, '-' cubes
// counted in both, stay below the part's).  Parts wait on an explicit stack,
// since a function with many inputs can split as deep as it has inputs.
//
// Every intersecting pair meets in at least one compared part; a pair met
// in several parts is tested again, which changes nothing.  The first pair
// in walk order is the least (a, b) that qualifies, so the search keeps the
// least found so far and skips every pair that could not come before it.
#include "modes/intersecting_pairs.h"

#include <algorithm>
#include <numeric>

namespace vorn {

namespace {

constexpr std::size_t kSmallPart = 16;

class PairSearch {
 public:
  PairSearch(const std::vector<const Cube*>& cubes, const std::function<bool(int, int)>& qualifies,
             PairSearchStats& stats)
      : cubes_(cubes), qualifies_(qualifies), stats_(stats) {
    const int n = cubes.empty() ? 0 : cubes[0]->size();
    zeros_.assign(n, 0);
    ones_.assign(n, 0);
  }

  std::optional<std::pair<int, int>> run() {
    std::vector<int> all(cubes_.size());
    std::iota(all.begin(), all.end(), 0);
    parts_.push_back(std::move(all));
    while (!parts_.empty()) {
      std::vector<int> part = std::move(parts_.back());
      parts_.pop_back();
      if (part.size() < 2 || (best_ && part[0] > best_->first)) continue;
      if (part.size() <= kSmallPart || !split(part)) compareAll(part);
    }
    return best_;
  }

 private:
  bool before(int a, int b) const {
    return !best_ || a < best_->first || (a == best_->first && b < best_->second);
  }

  /// Tests the pairs of an ascending part in walk order, up to the best pair so far.
  void compareAll(const std::vector<int>& part) {
    ++stats_.parts;
    for (std::size_t i = 0; i + 1 < part.size(); ++i) {
      const int a = part[i];
      if (!before(a, a + 1)) return;
      for (std::size_t j = i + 1; j < part.size(); ++j) {
        const int b = part[j];
        if (!before(a, b)) break;
        if (!cubes_[a]->intersects(*cubes_[b])) continue;
        ++stats_.pairsTested;
        if (qualifies_(a, b)) {
          best_ = std::make_pair(a, b);
          break;
        }
      }
    }
  }

  /// Splits the part onto the stack; false when no split saves comparisons.
  bool split(const std::vector<int>& part) {
    touched_.clear();
    for (int id : part) count(*cubes_[id]);
    int position = -1, smaller = 0;
    for (int p : touched_) {
      const int m = std::min(zeros_[p], ones_[p]);
      if (m > smaller || (m == smaller && m > 0 && p < position)) {
        smaller = m;
        position = p;
      }
    }
    long long left = 0, right = 0;
    if (position >= 0) {
      left = static_cast<long long>(part.size()) - ones_[position];  // '0' and '-'
      right = static_cast<long long>(part.size()) - zeros_[position];
    }
    for (int p : touched_) zeros_[p] = ones_[p] = 0;
    const long long n = static_cast<long long>(part.size());
    if (position < 0 || left * left + right * right >= n * n) return false;
    std::vector<int> zeroSide, oneSide;
    zeroSide.reserve(static_cast<std::size_t>(left));
    oneSide.reserve(static_cast<std::size_t>(right));
    for (int id : part) {
      const Cube& c = *cubes_[id];
      if (meetsLiteral(c.data(), c.words(), position, false)) zeroSide.push_back(id);
      if (meetsLiteral(c.data(), c.words(), position, true)) oneSide.push_back(id);
    }
    parts_.push_back(std::move(oneSide));
    parts_.push_back(std::move(zeroSide));
    return true;
  }

  void count(const Cube& c) {
    forEachLiteral(c.data(), c.words(), [&](int p) {
      if (zeros_[p] == 0 && ones_[p] == 0) touched_.push_back(p);
      ++(literalIsOne(c.data(), c.words(), p) ? ones_ : zeros_)[p];
    });
  }

  const std::vector<const Cube*>& cubes_;
  const std::function<bool(int, int)>& qualifies_;
  PairSearchStats& stats_;
  std::vector<std::vector<int>> parts_;
  std::vector<int> zeros_, ones_, touched_;
  std::optional<std::pair<int, int>> best_;
};

/// True when every cube holds a literal at each of its positions, as the terms of sampled functions do.
bool allMinterms(const std::vector<const Cube*>& cubes) {
  return std::all_of(cubes.begin(), cubes.end(), [](const Cube* c) { return c->countLiterals() == c->size(); });
}

// Two minterms meet only when they are equal, so among minterms the pairs to
// test are those within a class of equal cubes: sorting by hash and words
// brings each class together, in ascending order of index.
std::optional<std::pair<int, int>> firstEqualPair(const std::vector<const Cube*>& cubes,
                                                  const std::function<bool(int, int)>& qualifies,
                                                  PairSearchStats& stats) {
  std::vector<std::size_t> hashes(cubes.size());
  for (std::size_t k = 0; k < cubes.size(); ++k) hashes[k] = cubes[k]->hash();
  std::vector<int> order(cubes.size());
  std::iota(order.begin(), order.end(), 0);
  auto sameClass = [&](int a, int b) { return hashes[a] == hashes[b] && *cubes[a] == *cubes[b]; };
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    if (hashes[a] != hashes[b]) return hashes[a] < hashes[b];
    const Cube& x = *cubes[a];
    const Cube& y = *cubes[b];
    const int n = 3 * std::min(x.words(), y.words());
    if (!std::equal(x.data(), x.data() + n, y.data()))
      return std::lexicographical_compare(x.data(), x.data() + n, y.data(), y.data() + n);
    return a < b;
  });
  std::optional<std::pair<int, int>> best;
  for (std::size_t from = 0; from < order.size();) {
    std::size_t to = from + 1;
    while (to < order.size() && sameClass(order[from], order[to])) ++to;
    stats.parts += to - from > 1;
    for (std::size_t i = from; i + 1 < to && !(best && order[i] > best->first); ++i)
      for (std::size_t j = i + 1; j < to; ++j) {
        const int a = order[i], b = order[j];
        if (best && (a > best->first || (a == best->first && b >= best->second))) break;
        ++stats.pairsTested;
        if (qualifies(a, b)) {
          best = std::make_pair(a, b);
          break;
        }
      }
    from = to;
  }
  return best;
}

}  // namespace

std::optional<std::pair<int, int>> firstIntersectingPair(const std::vector<const Cube*>& cubes,
                                                         const std::function<bool(int, int)>& qualifies,
                                                         PairSearchStats* stats) {
  PairSearchStats local;
  if (!cubes.empty() && allMinterms(cubes)) return firstEqualPair(cubes, qualifies, stats ? *stats : local);
  return PairSearch(cubes, qualifies, stats ? *stats : local).run();
}

}  // namespace vorn
