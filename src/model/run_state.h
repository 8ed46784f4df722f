// The run state: what one minimization run shares among the driver, the CD
// step, implicant expansion and FC-Min (the CD-search pool, the cube trees and
// the accumulated implicant set).  One exists per run; the run's context
// points to it while the run lasts.
#pragma once

#include <memory>
#include <vector>

#include "model/function.h"
#include "model/settings.h"
#include "model/term_tree.h"

namespace vorn {

struct TBuffers {
  std::vector<TermTree> ieTrees;  ///< one per output when ieMethod > 0, else empty
  FunctionPtr seedCubes;          ///< the CD-search pool; its outputCount equals inputCount
  FunctionPtr implicants;         ///< the accumulated implicant set, none before the first iteration
  TermTree implicantTree;
};

/// \brief Makes the run state for f (per-output trees when the settings' expansion method uses them).
std::unique_ptr<TBuffers> createRunState(TBoolFnct& f, const Settings& settings);
/// \brief Releases what the run state owns.
void releaseRunState(std::unique_ptr<TBuffers> buffers);

}  // namespace vorn
