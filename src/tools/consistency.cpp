// The consistency check compares every pair of terms once: the cubes first
// (a few word operations on the bit masks), the output parts only for the
// pairs that intersect.  '1' or '0' against '-' counts as a disagreement here;
// only '~' carries no information.
#include "tools/consistency.h"

#include "frontend/settings.h"

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

int CheckConsistency(const TBoolFnct& f) {
  progress().begin("Checkling PLA for consistence", f.termCount, 1);
  int k = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get(), ++k) {
    for (const TPfnct* u = t->next.get(); u; u = u->next.get())
      if (t->input.intersects(u->input) && disagree(*t, *u, f.outputCount)) {
        progress().end();
        return 0;
      }
    progress().step(k, 0);
  }
  progress().end();
  return 1;
}

}  // namespace vorn
