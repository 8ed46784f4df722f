#include "model/progress.h"

namespace vorn {

ProgressHooks quietHooks() {
  return ProgressHooks{[](const std::string&, int, int) { return 0; }, [](int, int) { return 0; }, [] {}};
}

const ProgressHooks& quietProgress() {
  static const ProgressHooks hooks = quietHooks();
  return hooks;
}

}  // namespace vorn
