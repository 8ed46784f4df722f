#include "cover/cover_matrix.h"

namespace vorn {

void DetermineCover(TBoolFnct&) {}  // placeholder until the cover matrix lands

}  // namespace vorn
