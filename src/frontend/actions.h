// The actions of the run modes, called after the source has been loaded and
// summarised.  An action that makes a new function returns it; the front end
// owns it from then on.
#pragma once

#include <string>

#include "frontend/cli.h"
#include "frontend/console.h"
#include "model/function.h"
#include "model/pla.h"
#include "model/progress.h"

namespace vorn {

/// \brief Minimize mode: run the library's minimization with the console attached, report and write the result.
void runMinimize(TBoolFnct& f, const CommandLine& cl, Console& console);
/// \brief Check mode: reports whether f is consistent.
void runCheck(TBoolFnct& f, const ProgressHooks& progress);
/// \brief Split mode: splits the intersecting terms of f in place and writes f.
void runSplit(TBoolFnct& f, const CommandLine& cl, const ProgressHooks& progress);
/// \brief Verify mode: reads the result named by the destination and reports whether it is a
/// valid cover of f; ends the run with exit code 2 when it is not.
void runVerify(const TBoolFnct& f, const CommandLine& cl, const Console& console);
/// \brief Reads a function from a file, or from standard input for "-"; messages name the path.
ReadResult loadFunction(const std::string& path);
/// \brief Minterm mode: writes the function of one term per minterm; returns it.
FunctionPtr runMinterm(TBoolFnct& f, const CommandLine& cl, const ProgressHooks& progress);

}  // namespace vorn
