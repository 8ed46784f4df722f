// One minimization as the library runs it, for the library's own entry and
// for the program, which needs the same run with its console attached.
//
// The rules that make a run sound live here and nowhere else: which options
// are out of range, which sources have no valid cover, the form the driver
// works on (the driver minimizes fr functions; other types go through their
// fr form, or their fd form when the off-set is too large), the stop
// condition of a run given none, and the final figures of the cover.  Every
// refusal is an Error with the program's message.
#pragma once

#include <string>

#include <vorn/vorn.hpp>

#include "driver/minimize.h"
#include "driver/run_figures.h"
#include "forms/fr_form.h"
#include "model/function.h"
#include "model/progress.h"
#include "model/settings.h"

namespace vorn {

/// What the driver works on for a source.
struct WorkingForm {
  enum Kind { Source, FrForm, FdForm } kind = Source;  ///< the fr source itself, its fr form, or its fd form
  FrFormStats stats;      ///< the computation of the fr form (also when it was given up for the fd form)
  FunctionPtr function;   ///< the fr or fd form; none for the source itself
};

/// A run of the driver on a loaded source: the parameters of one run (seed, interrupt, settings and the
/// hooks through which the caller watches it) and the number of independent runs.
struct RunRequest : RunParams {
  int jobs = 1;  ///< independent runs on threads
};

/// The end of a run: the cover with its figures and cost, and the run's figures.
struct RunOutcome {
  FunctionPtr working;  ///< the form the driver worked on when it is not the source (the cover derives from it)
  FunctionPtr cover;    ///< figures and cost filled
  RunFigures figures;
  Settings settings;    ///< the settings in effect
};

/// \brief The settings with the stop condition of a run given none (one iteration).
Settings settingsInEffect(Settings settings);
/// \brief Throws Error when the settings are out of range or f has no valid cover.
void refuseRun(const TBoolFnct& f, const Settings& settings);
/// \brief The form the driver works on for f (let through refuseRun); throws Error when there is none
/// (with `exact`, the fd form is none: the primes are generated from the off-set).
WorkingForm makeWorkingForm(const TBoolFnct& f, bool exact = false);
/// \brief Minimizes f in its working form under the request; throws Error when the run fails.
RunOutcome runMinimization(TBoolFnct& f, WorkingForm form, const RunRequest& request);
/// \brief The cost figures of a function whose statistics and cost are computed.
Figures figuresOf(const TBoolFnct& f);
/// \brief What a run did, as the library tells its callers.
MinimizeStats statsOf(const RunOutcome& run);
/// \brief The figures of a run as the program reports them after it.
std::string runReport(const MinimizeStats& stats);

}  // namespace vorn
