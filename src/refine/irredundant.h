// IRREDUNDANT: the terms and output connections a cover can do without.
#pragma once

#include "refine/coverage.h"
#include "model/deadline.h"
#include "refine/refine_problem.h"
#include "refine/term_selection.h"

namespace vorn {

/// What one term or connection costs by the run's criterion; the irredundant and selection
/// steps drop the costliest first.
struct TermWeights {
  int criterion = 1;  ///< as -Q: 0 terms, 1 literals, 2 output cost, 3 both, 4 gates, 5 gate equivalents
  /// \brief The weight of a term with `literals` literals and `outputs` connections.
  long long term(int literals, int outputs) const;
};

struct IrredundantParams {
  TermWeights weights;
  bool sparse = true;  ///< also drop single output connections that other terms cover
  const Deadline* deadline = nullptr;  ///< once expired, the terms not reached are kept
  /// Also solve the choice among partially redundant terms as a covering problem (where the on-set
  /// cubes are held one by one) and keep the cheaper choice.
  bool minimum = true;
  /// Count coverage per on-set minterm where the on-set terms are minterms (the same answers as
  /// the tautology check, in word operations).
  bool counts = true;
};

struct IrredundantStats {
  int removed = 0;      ///< terms dropped
  int disconnected = 0; ///< output connections dropped from terms that stay
  int essential = 0;    ///< terms no other terms can stand in for
  SelectionStats selection;  ///< the covering problems among partially redundant terms
};

/// \brief Drops redundant terms (every on-set minterm they cover for each of their outputs lies in other
/// terms), choosing among the partially redundant ones by a small covering problem, then the redundant
/// output connections of the terms that stay.
void Irredundant(const RefineSource& source, Cover& cover, const IrredundantParams& params, IrredundantStats& stats);

}  // namespace vorn
