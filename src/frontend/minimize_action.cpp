// The Minimize mode: the library's minimization run with the console
// attached (its refusals, the working form, the run), the run report, the
// result and its statistics.  Nothing is written before the run has returned
// a result.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "api/minimization.h"
#include "forms/output_form.h"
#include "frontend/actions.h"
#include "frontend/console.h"
#include "frontend/exit.h"
#include "frontend/interrupts.h"
#include "frontend/run_statistics.h"
#include "model/destination_file.h"
#include "model/settings.h"

namespace vorn {

namespace {

/// Where an output goes: standard output for "-" or no path, else the file.
bool statOutput(const std::string& path, struct stat& st) {
  if (path.empty() || path == "-") return ::fstat(STDOUT_FILENO, &st) == 0;
  return ::stat(path.c_str(), &st) == 0;
}

/// True when two outputs end in one place (the same text, or the same existing file or stream).
bool sameOutput(const std::string& a, const std::string& b) {
  const bool aStdout = a.empty() || a == "-", bStdout = b.empty() || b == "-";
  if (a == b || (aStdout && bStdout)) return true;
  struct stat sa {}, sb {};
  return statOutput(a, sa) && statOutput(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

/// The statistics must not land on the result or on the source.
void refuseStatisticsClash(const CommandLine& cl) {
  if (!cl.statsPath) return;
  const std::string& stats = *cl.statsPath;
  if (sameOutput(stats, cl.destination)) {
    if (stats == "-" || cl.destination.empty())
      fail("-stats- needs a destination file: standard output carries the result\n");
    fail("Statistics file " + stats + " is the source or the destination of the run\n");
  }
  if (stats != "-" && cl.source != "-" && sameOutput(stats, cl.source))
    fail("Statistics file " + stats + " is the source or the destination of the run\n");
}

RunStatistics statistics(const TBoolFnct& f, const CommandLine& cl, const RunOutcome& run) {
  RunStatistics st;
  st.sourcePath = cl.source;
  st.destination = cl.destination;
  st.inputs = f.inputCount;
  st.outputs = f.outputCount;
  st.sourceTerms = f.termCount;
  st.type = typeName(f.type);
  st.run = statsOf(run);
  return st;
}

void writeStatistics(const std::string& path, const std::string& json) {
  std::string error;
  if (path == "-") {
    std::fputs(json.c_str(), stdout);
    std::fflush(stdout);
    if (std::ferror(stdout)) fail("Cannot write the statistics to standard output\n");
  } else if (!writeDestination(path, json, error)) {
    fail(error + "\n");
  }
}

/// Tells what the source is minimized as, unless quiet.
void reportWorkingForm(const TBoolFnct& f, const WorkingForm& form, const Console& console) {
  if (console.quiet() || form.kind == WorkingForm::Source) return;
  if (form.kind == WorkingForm::FrForm)
    std::fprintf(stderr, "%s computed: %i cubes in %.3f s\n", f.type == kTypeR ? "On-set" : "Off-set",
                 form.stats.computedCubes, form.stats.seconds);
  else
    std::fprintf(stderr, "Off-set too large to compute (given up after %.3f s): minimizing without it\n",
                 form.stats.seconds);
}

/// The library's refusals end the run as the program's own do.
template <typename Step>
auto orFail(Step&& step) {
  try {
    return step();
  } catch (const Error& e) {
    fail(std::string(e.what()) + "\n", e.exitCode());
  }
}

}  // namespace

/// Writes the cover in the type asked for with -o, or as it is.
void writeCover(const TBoolFnct& cover, const TBoolFnct& source, const CommandLine& cl) {
  if (!cl.outputType) return writeResult(cover, cl.destination, cl.writer);
  const FunctionPtr typed = MakeOutputForm(cover, source, *cl.outputType);
  if (!typed)
    fail(std::string("Cannot write the result as ") + typeName(*cl.outputType) +
         ": its off-set is too large to compute (write it as f or fd)\n");
  writeResult(*typed, cl.destination, cl.writer);
}

void runMinimize(TBoolFnct& f, const CommandLine& cl, Console& console) {
  orFail([&] { refuseRun(f, cl.settings); });
  refuseStatisticsClash(cl);
  const Settings s = settingsInEffect(cl.settings);
  WorkingForm form = orFail([&] { return makeWorkingForm(f, s.exact != 0); });
  reportWorkingForm(f, form, console);
  if (!console.quiet()) std::fputs("Minimizing...\n\n", stderr);
  InterruptGuard interrupts;
  RunRequest request;
  request.settings = s;
  request.seed = cl.seed;
  request.jobs = cl.jobs;
  request.interrupt = interrupts.flag();
  request.progress = console.progressHooks(s);
  request.stepLine = console.stepPrinter();
  request.bestCover = console.bestCoverListener();
  RunOutcome run = orFail([&] { return runMinimization(f, std::move(form), request); });
  console.clearStatusLine();
  std::fputs(runReport(statsOf(run)).c_str(), stderr);
  // A signal counts whatever phase it hit: the search, the refinement, or the time since.
  const int sig = interrupts.signal();
  run.figures.interrupted = run.figures.interrupted || sig != 0;
  if (sig) std::fputs(interruptedLine(sig), stderr);
  std::fflush(stderr);
  writeCover(*run.cover, f, cl);
  // The outcome is settled before the statistics tell it, so no later signal
  // makes the exit code deny them (see frontend/interrupts.h).
  const bool toStream = cl.statsPath && *cl.statsPath == "-";
  const int late = interrupts.settle(toStream ? AfterSettling::EndAtOnce : AfterSettling::Ignore);
  run.figures.interrupted = run.figures.interrupted || late != 0;
  if (late && !sig) std::fputs(interruptedLine(late), stderr);
  if (cl.statsPath) writeStatistics(*cl.statsPath, statisticsJson(statistics(f, cl, run), run.settings));
  if (toStream) interrupts.settle(AfterSettling::Ignore);
  if (late) throw ExitRequest{128 + late, ""};
}

}  // namespace vorn
