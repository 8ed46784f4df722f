#include "model/run_state.h"

#include "model/settings.h"

namespace vorn {

namespace {
thread_local TBuffers* current = nullptr;
}

std::unique_ptr<TBuffers> createRunState(TBoolFnct& f) {
  auto b = std::make_unique<TBuffers>();
  b->function = &f;
  if (settings().ieMethod > 0) {
    b->ieTrees.resize(f.outputCount);
    for (TermTree& t : b->ieTrees) TermTreeInit(t, f);
  }
  b->seedCubes = derive(f);
  b->seedCubes->outputCount = f.inputCount;
  TermTreeInit(b->implicantTree, f);
  current = b.get();
  return b;
}

void releaseRunState(std::unique_ptr<TBuffers> buffers) {
  if (current == buffers.get()) current = nullptr;
  buffers.reset();
}

TBuffers* runState() { return current; }

}  // namespace vorn
