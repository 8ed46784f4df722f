// The consistency check looks for two intersecting terms that disagree at an
// output: '1' or '0' against '-' counts as a disagreement here; only '~'
// carries no information.  The intersecting pairs come from the recursive
// split of intersecting_pairs.h instead of a walk over all pairs, so a
// function of many thousand terms is checked in about the time the cubes
// take to read; the outcome is the walk's.
#include "modes/consistency.h"

#include <vector>

#include "modes/intersecting_pairs.h"

namespace vorn {

namespace {

bool disagree(const TPfnct& a, const TPfnct& b, int outputs) {
  for (int j = 0; j < outputs; ++j) {
    const char x = outputAt(a, j), y = outputAt(b, j);
    if (x != y && x != '~' && y != '~') return true;
  }
  return false;
}

}  // namespace

int CheckConsistency(const TBoolFnct& f, const ProgressHooks& progress) {
  progress.begin("Checkling PLA for consistence", f.termCount, 1);
  std::vector<const TPfnct*> terms;
  std::vector<const Cube*> cubes;
  forEachTerm(f, [&](const TPfnct& t) {
    terms.push_back(&t);
    cubes.push_back(&t.input);
  });
  const auto pair = firstIntersectingPair(
      cubes, [&](int a, int b) { return disagree(*terms[a], *terms[b], f.outputCount); });
  // The steps a walk over all pairs reports: one per term finished without a disagreement.
  const int finished = pair ? pair->first : static_cast<int>(terms.size());
  for (int k = 0; k < finished; ++k) progress.step(k, 0);
  progress.end();
  return pair ? 0 : 1;
}

}  // namespace vorn
