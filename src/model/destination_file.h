// Writing a finished text to the destination path a user named, so that a
// failure never leaves a damaged or partial file and the destination keeps
// what it was: a link stays a link, a device or FIFO gets a stream, a
// regular file keeps its mode and its hard links.
#pragma once

#include <string>

namespace vorn {

/// \brief Writes `text` to `path`; false with `error` naming the path and the reason on failure.
bool writeDestination(const std::string& path, const std::string& text, std::string& error);
/// \brief Removes the temporary file of a write in progress; async-signal-safe, for a handler that ends the process.
void discardPendingTemporary();
/// \brief True once a write of this process has put a whole text in place; async-signal-safe, so that
/// a handler can tell a finished result from one still being written.
bool destinationWritten();

}  // namespace vorn
