// Primes grown around single on-set minterms, one per minterm.
//
// A set cover of the on-set can only pick among the implicants it is given.
// The refinement's covers give few of them and alike (their terms are the
// local minima of expansions), so a pool made of them alone is soon solved
// to its optimum and stops helping.  Rule learners build the candidates of
// such a cover around seeds (a star per example): for every on-set minterm
// one prime that holds it, grown from the universal cube by the literals of
// the minterm alone, each time the one with the best information gain (FOIL)
// between the on-set minterms it keeps and the off-set minterms it lets go.
// The seed fixes the corner of the space, the gain makes the cube large
// there; primes grown from different seeds overlap in many ways, which is
// what a set cover needs to choose well.  A drawn share of the gain makes
// primes grown again differ.  A prime costs its literals times the inputs
// times (on-set + off-set) / 64 word operations.
#include "refine/seeded_primes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/packed_cube.h"
#include "refine/prime_pool.h"

namespace vorn {

MintermPrimeGrower::MintermPrimeGrower(const RefineSource& s, const std::vector<int>* level)
    : s_(s), pb_(s.on.columns.blocks()), nb_(s.off.columns.blocks()), words_(bits::wordsFor(s.inputs)) {
  if (level) {
    planes_.assign(kPlanes, std::vector<Word>(pb_, 0));
    for (std::size_t t = 0; t < level->size(); ++t)
      for (int b = 0; b < kPlanes; ++b)
        if ((*level)[t] >> b & 1) bitspan::set(planes_[static_cast<std::size_t>(b)].data(), static_cast<int>(t));
  }
  pos_.resize(pb_);
  kept_.resize(pb_);
  neg_.resize(nb_);
  meet_.resize(nb_);
  cube_.assign(2 * static_cast<std::size_t>(words_), 0);
}

bool MintermPrimeGrower::grow(int t, Random* random, double slack) {
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
      const double keptP = keptWeight(i, v);
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

void MintermPrimeGrower::held(std::vector<Word>& out) const {
  out.resize(pb_);
  s_.on.columns.inside(cube_.data(), out.data());
  bitspan::andInto(out.data(), s_.on.ofBits[0].data(), pb_);
}

int MintermPrimeGrower::value(int t, int i) const { return bitspan::test(s_.on.columns.holds(i, 1), t) ? 1 : 0; }

double MintermPrimeGrower::weight(const Word* span) const {
  if (planes_.empty()) return bitspan::count(span, pb_);
  long long sum = 0;
  for (int b = 0; b < kPlanes; ++b)
    sum += static_cast<long long>(bitspan::countBoth(span, planes_[static_cast<std::size_t>(b)].data(), pb_)) << b;
  return static_cast<double>(sum) / kLevels;
}

/// The weight of the on-set minterms the cube keeps once it takes input i's literal of value v.
double MintermPrimeGrower::keptWeight(int i, int v) {
  if (planes_.empty()) return bitspan::countBoth(pos_.data(), s_.on.columns.holds(i, v), pb_);
  kept_ = pos_;
  bitspan::andInto(kept_.data(), s_.on.columns.holds(i, v), pb_);
  return weight(kept_.data());
}

/// Frees, the last taken first, every literal no off-set minterm needs.
void MintermPrimeGrower::makePrime(int t) {
  for (std::size_t k = taken_.size(); k-- > 0;) {
    const int i = taken_[k];
    freePosition(cube_.data(), words_, i);
    if (!s_.off.columns.meetsAnyOf(cube_.data(), s_.off.ofBits[0].data(), meet_.data())) continue;
    putLiteral(cube_.data(), words_, i, value(t, i) == 1);
  }
}

void SeededPrimes(const RefineSource& source, Random* random, double slack, const Deadline& deadline, Cover& out) {
  if (!PrimePool::applies(source)) return;
  std::vector<int> seeds;
  bitspan::forEach(source.on.ofBits[0].data(), source.on.ofBits[0].size(), [&](int t) { seeds.push_back(t); });
  if (random)
    for (std::size_t k = seeds.size(); k > 1; --k)
      std::swap(seeds[k - 1], seeds[static_cast<std::size_t>(random->randomBelow(static_cast<int>(k)))]);
  MintermPrimeGrower grower(source);
  OutputSet one(1);
  one.set(0);
  DeadlineProbe probe(deadline, 8);
  for (int t : seeds) {
    if (probe.expired()) return;
    if (grower.grow(t, random, slack)) out.add(grower.cube(), one);
  }
}

}  // namespace vorn
