// The PLA text format: dot keywords for dimensions, names and type, then one
// product term per input cube and output part.  The reader takes the freedoms
// PLA files in the wild use (terms split over words, a separator between the
// parts, digits 2/3/4 for '-', '~', '1', '#' comments) and refuses, naming the
// line, whatever it could only guess at; the writer emits only words the
// reader understands, so a written file reads back into an equal function.
#pragma once

#include <string>
#include <vector>

#include "model/function.h"
#include "model/progress.h"
#include "model/settings.h"

namespace vorn {

/// Inputs and outputs of a PLA file must stay below this count.
constexpr int kMaxVariables = 65000;

struct ReadResult {
  FunctionPtr function;  ///< none when the file cannot be opened, holds no term, or is malformed
  std::string error;     ///< non-empty when the file is malformed or refused (then function is none)
  std::string reason;    ///< why there is no function when error is empty: cannot open, holds no term
  std::vector<std::string> warnings;  ///< "line N: warning: ..." for what was read but looks amiss
};

/// \brief Reads a PLA file.
ReadResult read(const std::string& path, const ProgressHooks& progress = quietProgress());
/// \brief Reads PLA text held in memory.
ReadResult readText(const std::string& text, const ProgressHooks& progress = quietProgress());

/// \brief The PLA text of a function.
std::string formatPla(const TBoolFnct& f, const WriterOptions& options = WriterOptions{},
                      const ProgressHooks& progress = quietProgress());
/// \brief Writes a function as PLA to `path`, or to standard output when path is empty.
/// A failure never leaves a partial file (see destination_file.h for how each
/// kind of destination is written).  Returns false with `error` set on failure.
bool write(const TBoolFnct& f, const std::string& path, std::string& error,
           const WriterOptions& options = WriterOptions{}, const ProgressHooks& progress = quietProgress());

}  // namespace vorn
