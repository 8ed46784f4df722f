// A growing pool of the implicants a run has seen, and the cheapest cover
// of the on-set that it can make from them.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "model/deadline.h"
#include "refine/refine_problem.h"

namespace vorn {

/// The distinct cubes of every cover offered to it, for a one-output source whose on-set terms are
/// minterms.  Each refinement ends in a local minimum of its own; their terms together hold covers
/// none of them found, which a set cover over the on-set minterms picks out.
class PrimePool {
 public:
  /// \brief True when `source` suits a pool: one output, on-set terms that are minterms, and on- and
  /// off-set held in literal columns.
  static bool applies(const RefineSource& source);
  /// \brief An empty pool for cubes of `inputs` inputs holding at most `capacity` cubes, whose covers
  /// are judged by `criterion` (a -Q criterion, cost.h).
  PrimePool(int inputs, int capacity, int criterion = 1);

  /// \brief Adds the live terms of `c` that are not in the pool yet (as long as there is room).
  void add(const Cover& c);
  /// \brief Number of distinct cubes.
  int size() const { return cubes_.size(); }
  /// \brief Number of cubes added since the last cover() call.
  int fresh() const { return size() - solvedAt_; }

  /// \brief The cost of a row of `literals` literals: its weight by the criterion, as IRREDUNDANT weighs
  /// a term, so that the pool's cheapest cover is the cheapest by the run's criterion.
  long long rowCost(int literals) const;

  /// A covering problem of the on-set by the pool: rows are the pool's implicants that hold some
  /// on-set minterm, each costing rowCost() of its literals, columns the on-set minterms.
  struct Problem {
    std::vector<long long> cost;            ///< per row
    std::vector<std::vector<int>> columns;  ///< per on-set minterm: the rows holding it
    std::vector<int> cube;                  ///< per row: its cube in the pool
  };
  /// \brief The covering problem of `source`'s on-set by the pool (which takes it as solved); false
  /// when some on-set minterm lies in no implicant of the pool.
  bool problem(const RefineSource& source, Problem& p);
  /// \brief The rows of `p` of the live terms of `c` (those in the pool and rows of it), in term order.
  std::vector<int> rowsOf(const Problem& p, const Cover& c) const;
  /// \brief The one-output cover made of the rows `rows` of `p`.
  Cover coverOf(const Problem& p, const std::vector<int>& rows) const;

 private:
  CubeList cubes_;
  int capacity_;
  int criterion_;
  int solvedAt_ = 0;
  std::unordered_map<std::size_t, std::vector<int>> byHash_;
  /// Per cube, the on-set minterms it holds as element numbers (none for one that meets the
  /// off-set); filled up to `known_` cubes.
  std::vector<std::vector<int>> holds_;
  int known_ = 0;
};

}  // namespace vorn
