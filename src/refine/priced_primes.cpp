// Primes grown around on-set minterms for the prices a covering problem puts on them.
//
// The cover of a sampled function is a set cover of its on-set minterms by
// implicants, and the cover found is only as good as the implicants offered.
// Column generation (Gilmore and Gomory; for set covering the standard way
// to solve problems whose sets are too many to list) answers which ones to
// add: the multipliers of the covering problem's relaxation price every
// minterm, and an implicant whose minterms' prices add up to more than its
// cost would lower the relaxation's bound, so a cover may want it.  Finding
// the best such implicant is hard; growing one around each dear minterm,
// literal by literal with the information gain (FOIL) weighted by the
// prices, finds many: the weight steers the cube towards the minterms that
// the implicants already offered cover only at a high cost, where plain
// seeded primes (seeded_primes.h) keep making the cubes the problem holds.
// Prices are rounded to kLevels levels and each level kept as a bit span, so
// a weighted count is kPlanes word passes; a prime costs kPlanes times the
// literals times the inputs times (on-set + off-set) / 64 word operations.
#include "refine/priced_primes.h"

#include <algorithm>
#include <cmath>

#include "model/packed_cube.h"
#include "refine/prime_pool.h"

namespace vorn {

namespace {

constexpr int kPlanes = 4;
constexpr int kLevels = (1 << kPlanes) - 1;

/// Grows the primes: the prices as bit planes over the on-set, and the cube being grown.
class PricedGrower {
 public:
  PricedGrower(const RefineSource& s, const std::vector<int>& level)
      : s_(s), pb_(s.on.columns.blocks()), nb_(s.off.columns.blocks()), words_(bits::wordsFor(s.inputs)) {
    planes_.assign(kPlanes, std::vector<Word>(pb_, 0));
    for (std::size_t t = 0; t < level.size(); ++t)
      for (int b = 0; b < kPlanes; ++b)
        if (level[t] >> b & 1) bitspan::set(planes_[static_cast<std::size_t>(b)].data(), static_cast<int>(t));
    pos_.resize(pb_);
    kept_.resize(pb_);
    neg_.resize(nb_);
    meet_.resize(nb_);
    cube_.assign(2 * static_cast<std::size_t>(words_), 0);
  }

  /// \brief Grows the prime around on-set minterm t into cube_; false when no literal of t separates
  /// it from the off-set.
  bool grow(int t, Random* random, double slack) {
    pos_ = s_.on.ofBits[0];
    neg_ = s_.off.ofBits[0];
    double p = weight(pos_.data());
    int n = bitspan::count(neg_.data(), nb_);
    std::fill(cube_.begin(), cube_.end(), 0);
    taken_.clear();
    while (n > 0) {
      const double before = std::log2(p + 1.0) - std::log2(p + n + 1.0);
      int pick = -1, pickN = 0;
      double pickGain = 0, pickP = 0;
      for (int i = 0; i < s_.inputs; ++i) {
        if (hasLiteral(cube_.data(), words_, i)) continue;
        const int v = value(t, i);
        const int keptN = bitspan::countBoth(neg_.data(), s_.off.columns.holds(i, v), nb_);
        if (keptN == n) continue;
        kept_ = pos_;
        bitspan::andInto(kept_.data(), s_.on.columns.holds(i, v), pb_);
        const double keptP = weight(kept_.data());
        double gain = (keptP + 1.0) * (std::log2(keptP + 1.0) - std::log2(keptP + keptN + 1.0) - before);
        if (random) gain -= slack * std::fabs(gain) * random->randomBelow(1024) / 1024.0;
        if (pick < 0 || gain > pickGain) {
          pick = i;
          pickGain = gain;
          pickP = keptP;
          pickN = keptN;
        }
      }
      if (pick < 0) return false;
      const int v = value(t, pick);
      putLiteral(cube_.data(), words_, pick, v == 1);
      taken_.push_back(pick);
      bitspan::andInto(pos_.data(), s_.on.columns.holds(pick, v), pb_);
      bitspan::andInto(neg_.data(), s_.off.columns.holds(pick, v), nb_);
      p = pickP;
      n = pickN;
    }
    makePrime(t);
    return true;
  }

  const Word* cube() const { return cube_.data(); }

  /// \brief The on-set minterms of the output inside the grown cube, into `out` (on-set blocks).
  void held(std::vector<Word>& out) const {
    out.resize(pb_);
    s_.on.columns.inside(cube_.data(), out.data());
    bitspan::andInto(out.data(), s_.on.ofBits[0].data(), pb_);
  }

 private:
  int value(int t, int i) const { return bitspan::test(s_.on.columns.holds(i, 1), t) ? 1 : 0; }

  /// \brief The price levels of the minterms of the span, in units of the dearest level.
  double weight(const Word* span) const {
    long long sum = 0;
    for (int b = 0; b < kPlanes; ++b) sum += static_cast<long long>(bitspan::countBoth(span, planes_[static_cast<std::size_t>(b)].data(), pb_)) << b;
    return static_cast<double>(sum) / kLevels;
  }

  /// \brief Frees, the last taken first, every literal no off-set minterm needs.
  void makePrime(int t) {
    for (std::size_t k = taken_.size(); k-- > 0;) {
      const int i = taken_[k];
      freePosition(cube_.data(), words_, i);
      if (!s_.off.columns.meetsAnyOf(cube_.data(), s_.off.ofBits[0].data(), meet_.data())) continue;
      putLiteral(cube_.data(), words_, i, value(t, i) == 1);
    }
  }

  const RefineSource& s_;
  std::size_t pb_, nb_;
  int words_;
  std::vector<std::vector<Word>> planes_;
  std::vector<Word> pos_, kept_, neg_, meet_, cube_;
  std::vector<int> taken_;
};

}  // namespace

void PricedPrimes(const RefineSource& source, const std::vector<double>& price, Random* random,
                  const PricedPrimesParams& params, Cover& out, PricedPrimesStats& stats) {
  if (!PrimePool::applies(source)) return;
  // The on-set minterms of the output with their prices, and the dearest price.
  std::vector<int> minterm;
  bitspan::forEach(source.on.ofBits[0].data(), source.on.ofBits[0].size(), [&](int t) { minterm.push_back(t); });
  if (price.size() != minterm.size()) return;
  const double dearest = *std::max_element(price.begin(), price.end());
  if (!(dearest > 0)) return;
  // Minterms of no price still count a little: a cube that holds more of them leaves a cover more
  // room to choose.
  std::vector<int> level(static_cast<std::size_t>(source.on.cubes.size()), 0);
  std::vector<double> priceOf(level.size(), 0.0);
  std::vector<int> seeds;
  for (std::size_t c = 0; c < minterm.size(); ++c) {
    const std::size_t t = static_cast<std::size_t>(minterm[c]);
    priceOf[t] = std::max(0.0, price[c]);
    level[t] = 1 + static_cast<int>(std::lround((kLevels - 1) * priceOf[t] / dearest));
    if (priceOf[t] > 0) seeds.push_back(minterm[c]);
  }
  if (random)
    for (std::size_t k = seeds.size(); k > 1; --k)
      std::swap(seeds[k - 1], seeds[static_cast<std::size_t>(random->randomBelow(static_cast<int>(k)))]);
  std::stable_sort(seeds.begin(), seeds.end(), [&](int a, int b) {
    return priceOf[static_cast<std::size_t>(a)] > priceOf[static_cast<std::size_t>(b)];
  });
  if (params.most > 0 && static_cast<int>(seeds.size()) > params.most) seeds.resize(static_cast<std::size_t>(params.most));
  PricedGrower grower(source, level);
  OutputSet one(1);
  one.set(0);
  std::vector<Word> held;
  DeadlineProbe probe(params.deadline, 8);
  for (int t : seeds) {
    if (probe.expired()) return;
    if (!grower.grow(t, random, params.slack)) continue;
    ++stats.grown;
    grower.held(held);
    double worth = 0;
    bitspan::forEach(held.data(), held.size(), [&](int m) { worth += priceOf[static_cast<std::size_t>(m)]; });
    if (worth <= cubeLiterals(grower.cube(), bits::wordsFor(source.inputs)) + 1 + 1e-9) continue;
    ++stats.kept;
    out.add(grower.cube(), one);
  }
}

}  // namespace vorn
