// How an action ends the process: it throws ExitRequest with its message,
// which the entry catches after every owned object has been released on the
// way out, and prints once the status line is off the terminal.
#pragma once

#include <string>

#include "model/function.h"
#include "model/settings.h"

namespace vorn {

struct ExitRequest {
  int code;
  std::string message;  ///< for standard error, as given (line end included); may be empty
};

/// \brief Ends the run with `code`, `message` (as given, line end included) going to standard error.
[[noreturn]] void fail(const std::string& message, int code = 1);
/// \brief Writes f to `destination`, or to standard output when it is empty; ends the run on failure.
void writeResult(const TBoolFnct& f, const std::string& destination, const WriterOptions& options = WriterOptions{});

}  // namespace vorn
