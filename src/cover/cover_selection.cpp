#include "cover/cover_selection.h"

namespace vorn {

// placeholders until the covering problem lands
FunctionPtr CoverMultiOutput(TBoolFnct&) { return nullptr; }
FunctionPtr CoverSingleOutput(TBoolFnct&) { return nullptr; }
bool SparseOutputMatrix(TBoolFnct&) { return true; }

}  // namespace vorn
