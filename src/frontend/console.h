// What a run shows on standard error while it works: the start lines of the
// generator steps, and on a terminal one status line that redraws itself.
// -q silences both.
#pragma once

#include <string>

namespace vorn {

/// \brief Quiet runs print no banner, summary, step lines or status line.
void setQuiet(bool quiet);
/// \brief True when the run was asked to be quiet.
bool quiet();
/// \brief Prints a step's start line unless the run is quiet; the status line stays below it.
void printStepLine(const char* line);
/// \brief Installs progress hooks that draw the status line while a minimization runs.
void installStatusLine();
/// \brief True when the status line's hooks were installed (standard error is a terminal, the run not quiet).
bool statusLineInstalled();
/// \brief Removes the status line from the terminal, if it is drawn (before any message or report).
void clearStatusLine();

/// What the status line shows.
struct StatusFigures {
  int iteration = 0;        ///< the iteration running now, from 1
  int iterationLimit = 0;   ///< 0: not limited by iterations
  double seconds = 0;       ///< elapsed
  double timeLimit = -1;    ///< below 0: not limited by time
  long long bestCost = -1;  ///< below 0: no cover yet
  int bestTerms = 0;
};

/// \brief The status line's text, at most `width` characters.
std::string statusText(const StatusFigures& figures, int width);

}  // namespace vorn
