// The Minimize mode: validate the minimization options, refuse sources that
// have no valid cover, run the driver, print the run report and write the
// result.  Nothing is written before the driver has returned a result.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>

#include "driver/minimize.h"
#include "driver/parallel_runs.h"
#include "driver/source_check.h"
#include "forms/fr_form.h"
#include "frontend/actions.h"
#include "frontend/console.h"
#include "frontend/exit.h"
#include "frontend/interrupts.h"
#include "frontend/run_statistics.h"
#include "model/cost.h"
#include "model/destination_file.h"
#include "model/settings.h"

namespace vorn {

namespace {

void validate(const Settings& s) {
  if (s.fcMinRatio > 100) fail("CD-Search:FC-Min ratio must be between 0-100\n");
  if (s.dfDirection > 1) fail("FC-Min DF direction must be 0 or 1\n");
  if (s.cdMutationRatio > 100 || s.irMutationRatio > 100) fail("Number of mutations must be less of equal to 100%\n");
  if (s.cpMethod < 0 || s.cpMethod > 3) fail("Unknown CP solution method (" + std::to_string(s.cpMethod) + ")\n");
  if (s.ieMethod < 0 || s.ieMethod > 4) fail("Unknown IE method (" + std::to_string(s.ieMethod) + ")\n");
  if (s.coverAtEnd == 1 && (s.stopOnInterval == 1 || s.stopOnQuality == 1))
    fail("Cannot combine endcov parameter with optimization criteria based stopping condition\n", 0);
}

std::string termName(int position) { return "term " + std::to_string(position + 1); }

void refuseUncoverable(const TBoolFnct& f) {
  if (auto k = findTildeInput(f))
    fail("Cannot minimize: the input part of " + termName(*k) + " holds '~'\n");
  // '1' against '0' is a conflict only where '0' is the off-set and '1' the on-set.
  if (f.type != kTypeFr && f.type != kTypeFdr) return;
  if (auto c = findOnOffConflict(f))
    fail("Cannot minimize an inconsistent function: " + termName(c->first) + " (1) and " + termName(c->second) +
         " (0) intersect at output " + (*f.outputLabels)[c->output] + "\n");
}

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

RunStatistics statistics(const TBoolFnct& f, TBoolFnct& result, const CommandLine& cl, const Settings& s,
                         const RunFigures& fig) {
  RunStatistics st;
  st.sourcePath = cl.source;
  st.destination = cl.destination;
  st.inputs = f.inputCount;
  st.outputs = f.outputCount;
  st.sourceTerms = f.termCount;
  st.type = typeName(f.type);
  st.iterations = fig.iterations;
  st.jobs = fig.runs;
  st.seconds = fig.elapsedSeconds;
  st.seed = fig.seed;
  st.improvements = fig.improvements;
  st.interrupted = fig.interrupted;
  computeCost(result, s.criterion);  // a cover made once at the end has its figures but no cost yet
  st.terms = result.terms;
  st.literals = result.literals;
  st.outputCost = result.outputCost;
  st.gates = result.gates;
  st.gateEquivalents = result.gateEquivalents;
  st.cost = result.cost;
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

}  // namespace

/// The function the driver works on for a source that is not fr: its fr form, or its fd form when the
/// off-set is too large to compute.  Prints one line on what was done.
FunctionPtr workingForm(const TBoolFnct& f, const Console& console) {
  FrFormStats st;
  FunctionPtr g = MakeFrForm(f, FrFormParams{}, st);
  if (g) {
    if (!console.quiet())
      std::fprintf(stderr, "%s computed: %i cubes in %.3f s\n", f.type == kTypeR ? "On-set" : "Off-set",
                   st.computedCubes, st.seconds);
    return g;
  }
  if (f.type == kTypeR) fail("Cannot minimize: the on-set of this r-type function is too large to compute\n");
  if (!console.quiet())
    std::fprintf(stderr, "Off-set too large to compute (given up after %.3f s): minimizing without it\n", st.seconds);
  return MakeFdForm(f);
}

FunctionPtr runMinimize(TBoolFnct& f, const CommandLine& cl, Console& console) {
  const std::string& destination = cl.destination;
  Settings s = cl.settings;
  validate(s);
  refuseUncoverable(f);
  refuseStatisticsClash(cl);
  if (!s.stopOnTime && !s.stopOnIterations && !s.stopOnInterval && !s.stopOnQuality) s.stopOnIterations = 1;
  // The driver minimizes an fr function; other types go through their fr form.
  FunctionPtr working = f.type == kTypeFr ? nullptr : workingForm(f, console);
  if (!console.quiet()) std::fputs("Minimizing...\n\n", stderr);
  RunFigures fig;
  InterruptGuard interrupts;
  RunParams params;
  params.seed = cl.seed;
  params.interrupt = interrupts.flag();
  params.settings = s;
  params.progress = console.progressHooks(s);
  params.stepLine = console.stepPrinter();
  params.bestCover = console.bestCoverListener();
  FunctionPtr result = minimizeParallel(working ? *working : f, params, cl.jobs, fig);
  if (!result) fail("Error occured during minimization\n");
  result->source = &f;  // the working form ends with this call
  computeStatistics(*result);
  console.clearStatusLine();
  std::fprintf(stderr, "Elapsed time: %.3f s\nIterations: %i\nTerms: %i\nLiterals: %i\nOutput cost: %i\nGates: %i\nGEs: %i\n\n",
               fig.elapsedSeconds, fig.iterations, result->terms, result->literals, result->outputCost, result->gates,
               result->gateEquivalents);
  const int sig = fig.interrupted ? interrupts.signal() : 0;
  if (sig) std::fprintf(stderr, "Interrupted: the run stopped on %s; the best cover so far is written\n\n",
                        sig == SIGINT ? "SIGINT" : "SIGTERM");
  std::fflush(stderr);
  writeResult(*result, destination, cl.writer);
  if (cl.statsPath) {
    const RunStatistics st = statistics(f, *result, cl, s, fig);
    writeStatistics(*cl.statsPath, statisticsJson(st, s));
  }
  if (sig) throw ExitRequest{128 + sig, ""};
  return result;
}

}  // namespace vorn
