// Coverage counted per on-set minterm, for sources whose on-set terms are
// all minterms (sampled functions).
#pragma once

#include <cstdint>
#include <vector>

#include "refine/refine_problem.h"

namespace vorn {

/// For every output and on-set minterm of it, the number of live terms carrying the output that hold
/// the minterm.  A term is then redundant for output j when every minterm of j it holds is held twice,
/// and the minterms only it covers are those held once: IRREDUNDANT's and REDUCE's questions become
/// word operations on the on-set's literal columns, with no tautology check.  Only for sources whose
/// on-set terms are all minterms (a minterm lies inside a term or outside it, never across).
class MintermCoverage {
 public:
  /// \brief True when `source` suits: its on-set terms are minterms held in columns, and the counts fit.
  static bool applies(const RefineSource& source);
  /// \brief Counts the live terms of `cover` (both borrowed; `cover` may change only through this).
  MintermCoverage(const RefineSource& source, const Cover& cover);

  /// \brief True when every on-set minterm of output j inside term k is held by another counted term.
  bool coveredByOthers(int k, int j);
  /// \brief Term k (live or not) stops counting for all its outputs; nothing when it does not count.
  void remove(int k);
  /// \brief Term k counts again for all its outputs; nothing when it already counts.
  void restore(int k);
  /// \brief Term k stops counting for output j alone (before the output is taken from it).
  void removeOutput(int k, int j);
  /// \brief The smallest cube (packed, into `out`) holding the minterms that only term k holds, for
  /// the outputs it carries; `idle` gets the outputs for which it holds none.  False when it holds
  /// none at all.
  bool uniquePart(int k, std::uint64_t* out, OutputSet& idle);
  /// \brief Term k, which counts, now has the packed cube `now` and the outputs `outputs` (a subset
  /// of what it had, its cube inside the old one): the counts follow.
  void shrink(int k, const std::uint64_t* now, const OutputSet& outputs);

 private:
  /// \brief The on-set minterms of output j inside the packed cube, into `span_`.
  void insideFor(const std::uint64_t* cube, int j);
  void add(int k, int delta);

  const RefineSource& source_;
  const Cover& cover_;
  std::size_t ob_;
  std::vector<std::vector<int>> count_;  ///< per output: per on-set minterm
  std::vector<char> counted_;
  std::vector<OutputSet> outputs_;       ///< the outputs each counted term counts for
  std::vector<Word> inside_, span_, unique_;
};

}  // namespace vorn
