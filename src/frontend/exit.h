// How an action ends the process: it prints its message and throws
// ExitRequest, which the entry catches after every owned object has been
// released on the way out.
#pragma once

#include <string>

#include "model/function.h"

namespace vorn {

struct ExitRequest {
  int code;
};

/// \brief Prints `message` (as given, line end included) to standard error and ends the run with `code`.
[[noreturn]] void fail(const std::string& message, int code = 1);
/// \brief Writes f to `destination`, or to standard output when it is empty; ends the run on failure.
void writeResult(const TBoolFnct& f, const std::string& destination);

}  // namespace vorn
