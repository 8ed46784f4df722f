// The four covering problem solvers and their dispatcher.
#pragma once

#include <chrono>
#include <optional>

#include "cover/cover_matrix.h"

namespace vorn {

/// \brief Solves m by the method of settings().cpMethod; an uncoverable matrix gives a result marked so.
TCovResult SolveCover(TCovMatrix& m);
/// \brief Least covered column, most covering row; ties by freeCount, then a random draw.
void SolvePriorityCover(TCovMatrix& m, TCovResult& result);
/// \brief Greedy choice of the row with the largest contribution.
void SolveContributiveAddition(TCovMatrix& m, TCovResult& result);
/// \brief Greedy deletion of the row with the smallest contribution, choosing essential rows.
void SolveContributiveRemoval(TCovMatrix& m, TCovResult& result);
/// \brief Branch and bound for a minimum number of rows; improves best when it finds a cheaper cover.
void SolveExact(TCovMatrix& m, TCovResult& best);
/// \brief Sets (or clears) the moment after which the exact search stops branching and
/// completes each open state along its include path.
void SetExactDeadline(std::optional<std::chrono::steady_clock::time_point> deadline);

}  // namespace vorn
