// The four covering problem solvers and their dispatcher.
#pragma once

#include "cover/cover_matrix.h"
#include "model/deadline.h"
#include "model/run_context.h"

namespace vorn {

/// \brief Solves m by the method of the settings' cpMethod; an uncoverable matrix gives a result marked so.
TCovResult SolveCover(TCovMatrix& m, RunContext& run);
/// \brief Least covered column, most covering row; ties by freeCount, then a random draw.
void SolvePriorityCover(TCovMatrix& m, TCovResult& result, RunContext& run);
/// \brief Greedy choice of the row with the largest contribution.
void SolveContributiveAddition(TCovMatrix& m, TCovResult& result, RunContext& run);
/// \brief Greedy deletion of the row with the smallest contribution, choosing essential rows.
void SolveContributiveRemoval(TCovMatrix& m, TCovResult& result, RunContext& run);
/// \brief Branch and bound for a minimum number of rows; improves best when it finds a cheaper cover.
/// Once `deadline` has expired it branches no more and completes each open state along its include path.
void SolveExact(TCovMatrix& m, TCovResult& best, const Deadline& deadline);

}  // namespace vorn
