#include "fcmin/fc_min.h"

namespace vorn {

FunctionPtr FcMinStep(TBoolFnct& f, FunctionPtr accumulated) {  // placeholder until FC-Min lands
  return accumulated ? std::move(accumulated) : derive(f);
}

}  // namespace vorn
