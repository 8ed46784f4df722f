// Primes grown around single on-set minterms, one per minterm.
#pragma once

#include <vector>

#include "model/deadline.h"
#include "model/random.h"
#include "refine/refine_problem.h"

namespace vorn {

/// Grows primes around on-set minterms of a one-output source that PrimePool::applies to: the
/// universal cube takes, one at a time, the literal of the minterm with the best information gain
/// between the on-set minterms it keeps and the off-set minterms it still meets, until it meets
/// none; then every literal the off-set does not need goes again, the last taken first.  The
/// on-set minterms count one each, or by their levels when given.
class MintermPrimeGrower {
 public:
  /// The most price level: levels are bit planes, so a weighted count is kPlanes word passes.
  static constexpr int kPlanes = 4, kLevels = (1 << kPlanes) - 1;

  /// \brief A grower for `s`; `level`, when given, holds a weight 0..kLevels per on-set term of `s`
  /// (a minterm then counts its level / kLevels).
  explicit MintermPrimeGrower(const RefineSource& s, const std::vector<int>* level = nullptr);

  /// \brief Grows the prime around on-set minterm t; false when no literal of t separates it from
  /// the off-set.  With `random`, each gain is lowered by a drawn share of at most `slack`.
  bool grow(int t, Random* random, double slack);

  /// \brief The prime last grown (packed, the source's inputs).
  const Word* cube() const { return cube_.data(); }

  /// \brief The on-set minterms of the output inside the prime last grown, into `out` (on-set blocks).
  void held(std::vector<Word>& out) const;

 private:
  int value(int t, int i) const;
  double weight(const Word* span) const;
  double keptWeight(int i, int v);
  void makePrime(int t);

  const RefineSource& s_;
  std::size_t pb_, nb_;
  int words_;
  std::vector<std::vector<Word>> planes_;  ///< empty: every minterm counts one
  std::vector<Word> pos_, kept_, neg_, meet_, cube_;
  std::vector<int> taken_;
};

/// \brief Adds to `out` (one output, inputs of the source) one prime per on-set minterm of a one-output
/// source that PrimePool::applies to, grown by MintermPrimeGrower with every minterm counting one.
/// With `random`, each gain is lowered by a drawn share of at most `slack`, so that primes grown
/// again differ.  Stops early once `deadline` expires.
void SeededPrimes(const RefineSource& source, Random* random, double slack, const Deadline& deadline, Cover& out);

}  // namespace vorn
