// The run state: what one minimization run shares among the driver, the CD
// step, implicant expansion and FC-Min (the CD-search pool, the cube trees and
// the accumulated implicant set).  One exists per run.
#pragma once

#include <memory>
#include <vector>

#include "model/term_tree.h"
#include "model/function.h"

namespace vorn {

struct TBuffers {
  TBoolFnct* function = nullptr;  ///< the function being minimized (borrowed)
  std::vector<TermTree> ieTrees;  ///< one per output when ieMethod > 0, else empty
  FunctionPtr seedCubes;          ///< the CD-search pool; its outputCount equals inputCount
  FunctionPtr implicants;         ///< the accumulated implicant set, none before the first iteration
  TBoolFnct* best = nullptr;      ///< the best cover so far (not owned)
  TermTree implicantTree;
};

/// \brief Makes the run state for f and publishes it as the current one.
std::unique_ptr<TBuffers> createRunState(TBoolFnct& f);
/// \brief Releases what the run state owns (never `best`) and unpublishes it.
void releaseRunState(std::unique_ptr<TBuffers> buffers);
/// \brief The current run state; none outside a run.
TBuffers* runState();

}  // namespace vorn
