#include "frontend/actions.h"
#include "frontend/exit.h"

namespace vorn {

FunctionPtr runMinimize(TBoolFnct&, const std::string&) { fail("Minimization is not available in this build\n"); }

}  // namespace vorn
