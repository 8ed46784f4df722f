// What a run shows on standard error while it works: the start lines of the
// generator steps, and on a terminal one status line that redraws itself.
// -q silences both.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/function.h"
#include "model/progress.h"
#include "model/settings.h"

namespace vorn {

class StatusLine;

/// The standard error of one process run: whether it is quiet, and the status
/// line when one is shown.  The front end owns one and hands it, or the hooks
/// it makes, to what it runs.
class Console {
 public:
  /// \brief A console; quiet ones print no banner, summary, step lines or status line.
  explicit Console(bool quiet);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  bool quiet() const { return quiet_; }
  /// \brief Shows the status line from now on, unless quiet (for standard error on a terminal).
  void showStatusLine();
  /// \brief True when the status line is shown.
  bool statusLineShown() const { return line_ != nullptr; }
  /// \brief Removes the status line from the terminal, if it is drawn (before any message or report).
  void clearStatusLine();
  /// \brief Prints a step's start line unless quiet; the status line stays below it.
  void printStepLine(const char* line);
  /// \brief The hooks of a run under these settings: they draw the status line when it is shown, else do nothing.
  ProgressHooks progressHooks(const Settings& settings);
  /// \brief Where a run's step lines go: this console; none when quiet.
  std::function<void(const char*)> stepPrinter();
  /// \brief What a run tells of its best cover: the status line; none when it is not shown.
  std::function<void(const TBoolFnct&)> bestCoverListener();

 private:
  bool quiet_;
  std::unique_ptr<StatusLine> line_;
};

/// What the status line shows.
struct StatusFigures {
  int iteration = 0;        ///< the iteration running now, from 1
  int iterationLimit = 0;   ///< 0: not limited by iterations
  double seconds = 0;       ///< elapsed
  double timeLimit = -1;    ///< below 0: not limited by time
  long long bestCost = -1;  ///< below 0: no cover yet
  int bestTerms = 0;
  std::string phase;        ///< with -refine: "search" or "refinement"; empty: not shown
};

/// \brief The status line's text, at most `width` characters.
std::string statusText(const StatusFigures& figures, int width);

}  // namespace vorn
