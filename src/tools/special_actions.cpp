#include "frontend/actions.h"
#include "frontend/exit.h"

namespace vorn {

void runCheck(TBoolFnct&) { fail("-Tcheck is not available in this build\n"); }
void runSplit(TBoolFnct&, const std::string&) { fail("-Tsplit is not available in this build\n"); }
FunctionPtr runMinterm(TBoolFnct&, const std::string&) { fail("-Tminterm is not available in this build\n"); }

}  // namespace vorn
