#include "tools/dominance.h"

namespace vorn {

// placeholders until the dominance passes land
void RemoveDominatedTerms(TBoolFnct&, TBoolFnct&) {}
void RemoveSelfDominatedTerms(TBoolFnct&) {}

}  // namespace vorn
