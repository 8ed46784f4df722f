#include "model/run_state.h"

namespace vorn {

std::unique_ptr<TBuffers> createRunState(TBoolFnct& f, const Settings& settings) {
  auto b = std::make_unique<TBuffers>();
  if (settings.ieMethod > 0) {
    b->ieTrees.resize(f.outputCount);
    for (TermTree& t : b->ieTrees) TermTreeInit(t, f);
  }
  b->seedCubes = derive(f);
  b->seedCubes->outputCount = f.inputCount;
  TermTreeInit(b->implicantTree, f);
  return b;
}

void releaseRunState(std::unique_ptr<TBuffers> buffers) { buffers.reset(); }

}  // namespace vorn
