// Primes of the greatest worth around on-set minterms, by going through every subset of a minterm's
// literals.
//
// Column generation (priced_primes.h) wants the implicant whose on-set
// minterms' prices exceed its cost the most.  Every implicant that holds an
// on-set minterm t keeps some of t's literals, so on a function of n inputs
// the candidates around t are the 2^n subsets S of t's literal positions.
// A minterm u lies in the cube of S exactly when S lies within the
// positions where u agrees with t, so the prices held by every S at once
// are a superset sum (the zeta transform over the subset lattice) of the
// on-set minterms' prices placed at their agreement sets, and S is an
// implicant exactly when no off-set minterm's agreement set holds it, the
// same transform over the off-set with "or" for the sum.  A seed then costs
// n 2^n additions plus one pass over the on- and off-set, and gives the best
// implicant around it exactly, where the greedy growers (priced_primes.h)
// only follow the literal of the best gain.  The best implicant is a prime:
// one literal fewer would hold at least the same minterms for less.
//
// Beyond a few more inputs the tables grow too large, and a branch and
// bound over the same sets takes over (an implicant is a hitting set of the
// off-set minterms' difference positions), with a node budget per seed: on
// s_adder24 and s_maj21 its primes lower the relaxation's bound well below
// where the greedy ones leave it.  On functions of 32 inputs and more, where
// it reaches only a few seeds in a round's time, the greedy growers stay.
#include "refine/enumerated_primes.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "model/cost.h"
#include "model/packed_cube.h"
#include "refine/prime_pool.h"

namespace vorn {

namespace {

/// The most inputs: the tables hold 2^inputs entries per seed.
constexpr int kMostInputs = 16;

class SubsetTables {
 public:
  SubsetTables(const RefineSource& s, int criterion)
      : s_(s), n_(s.inputs), size_(std::size_t{1} << n_), words_(bits::wordsFor(s.inputs)) {
    worth_.resize(size_);
    blocked_.resize(size_);
    cost_.resize(static_cast<std::size_t>(n_) + 1);
    for (int k = 0; k <= n_; ++k) cost_[static_cast<std::size_t>(k)] = static_cast<double>(termWeight(criterion, k, 1));
    cube_.resize(2 * static_cast<std::size_t>(words_));
  }

  /// \brief The best implicant around on-set minterm t for the prices `priceOf` (per on-set term, 0
  /// for none) of the minterms `priced`, into cube(); returns its excess of worth over cost.
  double best(int t, const std::vector<int>& priced, const std::vector<double>& priceOf) {
    std::fill(worth_.begin(), worth_.end(), 0.0);
    std::fill(blocked_.begin(), blocked_.end(), 0);
    const Word* seed = s_.on.cubes.cube(t);
    for (int u : priced) worth_[agreement(seed, s_.on.cubes.cube(u))] += priceOf[static_cast<std::size_t>(u)];
    bitspan::forEach(s_.off.ofBits[0].data(), s_.off.ofBits[0].size(),
                     [&](int o) { blocked_[agreement(seed, s_.off.cubes.cube(o))] = 1; });
    supersetSums();
    std::size_t pick = size_ - 1;
    int pickLiterals = n_;
    double pickExcess = worth_[pick] - cost_[static_cast<std::size_t>(n_)];
    for (std::size_t S = 0; S < size_; ++S) {
      if (blocked_[S]) continue;
      const int literals = bits::popcount(S);
      const double excess = worth_[S] - cost_[static_cast<std::size_t>(literals)];
      if (excess > pickExcess + 1e-9 || (excess > pickExcess - 1e-9 && literals < pickLiterals)) {
        pick = S;
        pickLiterals = literals;
        pickExcess = excess;
      }
    }
    std::fill(cube_.begin(), cube_.end(), 0);
    const Word set = static_cast<Word>(pick);
    bits::forEachBit(&set, 1, [&](int i) { putLiteral(cube_.data(), words_, i, literalIsOne(seed, words_, i)); });
    return pickExcess;
  }

  const Word* cube() const { return cube_.data(); }

 private:
  /// \brief The positions where minterm u holds the same value as minterm t, as a table index.
  std::size_t agreement(const Word* t, const Word* u) const {
    return static_cast<std::size_t>(sharedLiteralsIn(t, u, words_, 0)) & (size_ - 1);
  }

  /// \brief Every entry S of the tables becomes the sum (or) of the entries of the supersets of S.
  void supersetSums() {
    for (std::size_t bit = 1; bit < size_; bit <<= 1)
      for (std::size_t base = 0; base < size_; base += 2 * bit)
        for (std::size_t k = base; k < base + bit; ++k) {
          worth_[k] += worth_[k + bit];
          blocked_[k] |= blocked_[k + bit];
        }
  }

  const RefineSource& s_;
  int n_;
  std::size_t size_;
  int words_;
  std::vector<double> worth_, cost_;
  std::vector<std::uint8_t> blocked_;
  std::vector<Word> cube_;
};

/// The most inputs of the branch and bound (its position sets are one word), and the nodes it may
/// visit per seed before it keeps the best implicant found so far.
constexpr int kMostSearchInputs = 24;
constexpr long long kSeedNodes = 4000;

/// The same question by branch and bound where 2^n is too many: an implicant around t must, for every
/// off-set minterm, keep one of the positions where that minterm differs from t.  A node branches on
/// the off-set minterm still inside its cube with the fewest such positions left (each branch keeps
/// one and leaves the ones before it out, so every set is met once); the prices a node's cube holds
/// only shrink below it and every literal costs, which bounds it.
class HittingSearch {
 public:
  HittingSearch(const RefineSource& s, int criterion) : s_(s), n_(s.inputs), words_(bits::wordsFor(s.inputs)) {
    cost_.resize(static_cast<std::size_t>(n_) + 2);
    for (int k = 0; k <= n_ + 1; ++k) cost_[static_cast<std::size_t>(k)] = static_cast<double>(termWeight(criterion, k, 1));
    bitspan::forEach(s.off.ofBits[0].data(), s.off.ofBits[0].size(), [&](int o) { off_.push_back(o); });
    cube_.resize(2 * static_cast<std::size_t>(words_));
  }

  double best(int t, const std::vector<int>& priced, const std::vector<double>& priceOf) {
    const Word* seed = s_.on.cubes.cube(t);
    const Word all = n_ >= 64 ? ~Word{0} : (Word{1} << n_) - 1;
    onDiff_.clear();
    onPrice_.clear();
    for (int u : priced) {
      onDiff_.push_back(~sharedLiteralsIn(seed, s_.on.cubes.cube(u), words_, 0) & all);
      onPrice_.push_back(priceOf[static_cast<std::size_t>(u)]);
    }
    offDiff_.clear();
    for (int o : off_) offDiff_.push_back(~sharedLiteralsIn(seed, s_.off.cubes.cube(o), words_, 0) & all);
    std::vector<int> on(onDiff_.size()), off(offDiff_.size());
    for (std::size_t k = 0; k < on.size(); ++k) on[k] = static_cast<int>(k);
    for (std::size_t k = 0; k < off.size(); ++k) off[k] = static_cast<int>(k);
    double worth = 0;
    for (double p : onPrice_) worth += p;
    bestExcess_ = 0;
    bestSet_ = 0;
    found_ = false;
    nodes_ = 0;
    visit(0, 0, 0, worth, on, off);
    std::fill(cube_.begin(), cube_.end(), 0);
    if (!found_) return 0;
    bits::forEachBit(&bestSet_, 1, [&](int i) { putLiteral(cube_.data(), words_, i, literalIsOne(seed, words_, i)); });
    return bestExcess_;
  }

  const Word* cube() const { return cube_.data(); }

 private:
  void visit(Word set, Word left, int literals, double worth, const std::vector<int>& on, const std::vector<int>& off) {
    if (++nodes_ > kSeedNodes) return;
    if (off.empty()) {
      const double excess = worth - cost_[static_cast<std::size_t>(literals)];
      if (excess > bestExcess_ + 1e-9) {
        bestExcess_ = excess;
        bestSet_ = set;
        found_ = true;
      }
      return;
    }
    if (worth - cost_[static_cast<std::size_t>(literals) + 1] <= bestExcess_ + 1e-9) return;
    // The off-set minterm with the fewest positions left to keep it out.
    int pick = -1, fewest = n_ + 1;
    for (int o : off) {
      const int open = bits::popcount(offDiff_[static_cast<std::size_t>(o)] & ~left);
      if (open < fewest) {
        fewest = open;
        pick = o;
        if (open <= 1) break;
      }
    }
    if (fewest == 0) return;
    // Each position of it, the branch of the most worth first.
    std::vector<std::pair<double, int>> branches;
    const Word open = offDiff_[static_cast<std::size_t>(pick)] & ~left;
    bits::forEachBit(&open, 1, [&](int i) {
      const Word bit = Word{1} << i;
      double w = 0;
      for (int u : on)
        if (!(onDiff_[static_cast<std::size_t>(u)] & bit)) w += onPrice_[static_cast<std::size_t>(u)];
      branches.push_back({w, i});
    });
    std::stable_sort(branches.begin(), branches.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    Word barred = left;
    for (const auto& [w, i] : branches) {
      const Word bit = Word{1} << i;
      if (w - cost_[static_cast<std::size_t>(literals) + 1] > bestExcess_ + 1e-9) {
        std::vector<int> keptOn, keptOff;
        for (int u : on)
          if (!(onDiff_[static_cast<std::size_t>(u)] & bit)) keptOn.push_back(u);
        for (int o : off)
          if (!(offDiff_[static_cast<std::size_t>(o)] & bit)) keptOff.push_back(o);
        visit(set | bit, barred | bit, literals + 1, w, keptOn, keptOff);
      }
      barred |= bit;
      if (nodes_ > kSeedNodes) return;
    }
  }

  const RefineSource& s_;
  int n_, words_;
  std::vector<double> cost_, onPrice_;
  std::vector<int> off_;
  std::vector<Word> onDiff_, offDiff_, cube_;
  double bestExcess_ = 0;
  Word bestSet_ = 0;
  bool found_ = false;
  long long nodes_ = 0;
};

}  // namespace

bool EnumeratedPrimesApply(const RefineSource& source) {
  return PrimePool::applies(source) && source.inputs <= kMostSearchInputs;
}

void EnumeratedPrimes(const RefineSource& source, const std::vector<double>& price, Random* random,
                      const PricedPrimesParams& params, Cover& out, PricedPrimesStats& stats) {
  if (!EnumeratedPrimesApply(source)) return;
  std::vector<int> minterm;
  bitspan::forEach(source.on.ofBits[0].data(), source.on.ofBits[0].size(), [&](int t) { minterm.push_back(t); });
  if (price.size() != minterm.size()) return;
  std::vector<double> priceOf(static_cast<std::size_t>(source.on.cubes.size()), 0.0);
  std::vector<int> priced;
  for (std::size_t c = 0; c < minterm.size(); ++c) {
    if (!(price[c] > 0)) continue;
    priceOf[static_cast<std::size_t>(minterm[c])] = price[c];
    priced.push_back(minterm[c]);
  }
  const std::vector<int> seeds = DearestSeeds(priced, priceOf, random, params.most);
  OutputSet one(1);
  one.set(0);
  DeadlineProbe probe(params.deadline, 1);
  const auto each = [&](auto& search) {
    for (int t : seeds) {
      if (probe.expired()) return;
      ++stats.grown;
      if (!(search.best(t, priced, priceOf) > 1e-9)) continue;
      ++stats.kept;
      out.add(search.cube(), one);
    }
  };
  if (source.inputs <= kMostInputs) {
    SubsetTables tables(source, params.criterion);
    each(tables);
  } else {
    HittingSearch search(source, params.criterion);
    each(search);
  }
}

}  // namespace vorn
