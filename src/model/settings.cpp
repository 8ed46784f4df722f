#include "model/settings.h"

namespace vorn {

Settings& settings() {
  thread_local Settings s;
  return s;
}

void resetSettings() { settings() = Settings{}; }

ProgressHooks& progress() {
  thread_local ProgressHooks hooks{[](const std::string&, int, int) { return 0; }, [](int, int) { return 0; }, [] {}};
  return hooks;
}

void installQuietProgress() {
  progress() = ProgressHooks{[](const std::string&, int, int) { return 0; }, [](int, int) { return 0; }, [] {}};
}

WriterOptions& writerOptions() {
  static WriterOptions w;
  return w;
}

}  // namespace vorn
