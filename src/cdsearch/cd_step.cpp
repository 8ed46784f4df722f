// The CD step.  The order within one output is fixed: expansion sees the pool
// as CD-search left it; output parts are set before reduction, which reads
// them; cover lists are built after reduction so the reduced copies get their
// own; dominance uses the cover lists; and the accumulated set is pruned
// against the new products before the new products are pruned against it.
//
// An expansion method gives no result when the progress hook asked it to
// stop; the output then contributes nothing to this step and the step goes on
// with the next output.
//
// The run's deadline (its time limit or an interrupt) is looked at before
// each output, within its search and between the stages that follow it: a
// step cut short keeps what the outputs before it gave, and the implicants of
// an output it cut short go on through expansion and dominance only when the
// step has nothing else to give.  Once they are merging, the dominance passes
// stop at the deadline and the terms they did not reach stay.
#include "cdsearch/cd_step.h"

#include <cstdio>

#include "cdsearch/cd_search.h"
#include "cdsearch/implicant_expansion.h"
#include "cdsearch/implicant_reduction.h"
#include "cover/cover_matrix.h"
#include "cover/dominance.h"

namespace vorn {

FunctionPtr CdMinStep(TBoolFnct& f, FunctionPtr implicants, RunContext& run) {
  run.printStep("CDmin step started .. \n\n");
  const int m = f.outputCount;
  run.progress.begin("Processing output variables", m, 1);
  TBuffers* rs = run.state;
  for (int i = 0; i < m; ++i) {
    // Out of time: the outputs done so far are merged; the driver completes
    // the coverage of the others before the covering problem.
    if (run.deadline.expired()) break;
    CdSearch(f, i, run);
    // A search the deadline cut short: once the run has a set, the rest of the step would only
    // delay the end of the run.
    if (implicants && run.deadline.expired()) break;
    FunctionPtr products = rs && rs->seedCubes ? ExpandImplicants(*rs->seedCubes, i, run) : nullptr;
    if (implicants && run.deadline.expired()) break;
    if (products) {
      SetOutputParts(*products);
      if (m > 1 && run.settings.singleOutput == 0) ReduceImplicants(*products, run);
      DetermineCover(*products, run);
      RemoveSelfDominatedTerms(*products, run.progress, run.deadline);
      if (!implicants) {
        implicants = std::move(products);
      } else {
        if (run.deadline.expired()) break;
        RemoveDominatedTerms(*implicants, *products, run.progress, run.deadline);
        RemoveDominatedTerms(*products, *implicants, run.progress, run.deadline);
        absorb(*implicants, std::move(products));
      }
    }
    run.progress.step(i, 0);
  }
  run.progress.end();
  // The caller always gets a set back, even when no output produced one.
  if (!implicants) implicants = derive(f);
  return implicants;
}

}  // namespace vorn
