// The CD step.  The order within one output is fixed: expansion sees the pool
// as CD-search left it; output parts are set before reduction, which reads
// them; cover lists are built after reduction so the reduced copies get their
// own; dominance uses the cover lists; and the accumulated set is pruned
// against the new products before the new products are pruned against it.
//
// An expansion method gives no result when the progress hook asked it to
// stop; the output then contributes nothing to this step and the step goes on
// with the next output.
#include "cdsearch/cd_step.h"

#include <cstdio>

#include "cdsearch/cd_search.h"
#include "cdsearch/implicant_expansion.h"
#include "cdsearch/implicant_reduction.h"
#include "cover/cover_matrix.h"
#include "model/run_state.h"
#include "frontend/console.h"
#include "model/settings.h"
#include "cover/dominance.h"

namespace vorn {

FunctionPtr CdMinStep(TBoolFnct& f, FunctionPtr implicants, RunContext& run) {
  printStepLine("CDmin step started .. \n\n");
  const int m = f.outputCount;
  progress().begin("Processing output variables", m, 1);
  TBuffers* rs = runState();
  for (int i = 0; i < m; ++i) {
    CdSearch(f, i);
    FunctionPtr products = rs && rs->seedCubes ? ExpandImplicants(*rs->seedCubes, i) : nullptr;
    if (products) {
      SetOutputParts(*products);
      if (m > 1 && settings().singleOutput == 0) ReduceImplicants(*products);
      DetermineCover(*products, run);
      RemoveSelfDominatedTerms(*products);
      if (!implicants) {
        implicants = std::move(products);
      } else {
        RemoveDominatedTerms(*implicants, *products);
        RemoveDominatedTerms(*products, *implicants);
        absorb(*implicants, std::move(products));
      }
    }
    progress().step(i, 0);
  }
  progress().end();
  // The caller always gets a set back, even when no output produced one.
  if (!implicants) implicants = derive(f);
  return implicants;
}

}  // namespace vorn
