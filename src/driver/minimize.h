// The minimization driver: iterations of a randomly chosen generator step
// (CD step or FC-Min step) that grow an accumulated implicant set, a cover
// selected from that set after every net gain, and the cheapest cover kept.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "driver/run_figures.h"
#include "model/function.h"
#include "model/progress.h"
#include "model/settings.h"

namespace vorn {

struct RunParams {
  std::optional<std::uint32_t> seed;             ///< none: the clock's second seeds the run
  const std::atomic<bool>* interrupt = nullptr;  ///< raised from outside: the run ends after its iteration
  Settings settings;                             ///< the options of the run
  ProgressHooks progress = quietHooks();         ///< how the run and its steps report their work
  std::function<void(const char* line)> stepLine;          ///< where step lines go; none: not shown
  std::function<void(const TBoolFnct& best)> bestCover;    ///< told of every best cover kept; may be none
};

/// \brief Minimizes the fr function f by params.settings; returns the best cover with its figures and
/// cost, or none when no cover was made or the covering problem failed, and fills the run's figures.
FunctionPtr minimize(TBoolFnct& f, const RunParams& params, RunFigures& figures);
/// \brief The same run without its figures, quiet.
FunctionPtr minimize(TBoolFnct& f, const Settings& settings, std::optional<std::uint32_t> seed = std::nullopt);

}  // namespace vorn
