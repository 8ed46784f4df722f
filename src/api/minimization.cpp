#include "api/minimization.h"

#include <cstdio>
#include <string>

#include "driver/minimize.h"
#include "driver/parallel_runs.h"
#include "driver/source_check.h"

namespace vorn {

namespace {

void refuseSettings(const Settings& s) {
  if (s.fcMinRatio > 100) throw Error("CD-Search:FC-Min ratio must be between 0-100");
  if (s.dfDirection > 1) throw Error("FC-Min DF direction must be 0 or 1");
  if (s.cdMutationRatio > 100 || s.irMutationRatio > 100) throw Error("Number of mutations must be less of equal to 100%");
  if (s.cpMethod < 0 || s.cpMethod > 3) throw Error("Unknown CP solution method (" + std::to_string(s.cpMethod) + ")");
  if (s.ieMethod < 0 || s.ieMethod > 4) throw Error("Unknown IE method (" + std::to_string(s.ieMethod) + ")");
  // The program has always ended this combination with success; callers that map errors to exit codes keep that.
  if (s.coverAtEnd == 1 && (s.stopOnInterval == 1 || s.stopOnQuality == 1))
    throw Error("Cannot combine endcov parameter with optimization criteria based stopping condition", 0);
}

std::string termName(int position) { return "term " + std::to_string(position + 1); }

void refuseUncoverable(const TBoolFnct& f) {
  if (auto k = findTildeInput(f)) throw Error("Cannot minimize: the input part of " + termName(*k) + " holds '~'");
  // '1' against '0' is a conflict only where '0' is the off-set and '1' the on-set.
  if (f.type != kTypeFr && f.type != kTypeFdr) return;
  if (auto c = findOnOffConflict(f))
    throw Error("Cannot minimize an inconsistent function: " + termName(c->first) + " (1) and " +
                termName(c->second) + " (0) intersect at output " + (*f.outputLabels)[c->output]);
}

}  // namespace

Settings settingsInEffect(Settings s) {
  if (!s.stopOnTime && !s.stopOnIterations && !s.stopOnInterval && !s.stopOnQuality) s.stopOnIterations = 1;
  return s;
}

void refuseRun(const TBoolFnct& f, const Settings& settings) {
  refuseSettings(settings);
  refuseUncoverable(f);
}

// A source that is not fr goes through its fr form, or its fd form when the off-set is too large to
// compute.  An r source has no fd form: its on-set is the complement.
WorkingForm makeWorkingForm(const TBoolFnct& f, bool exact) {
  WorkingForm form;
  if (f.type == kTypeFr) return form;
  form.function = MakeFrForm(f, FrFormParams{}, form.stats);
  if (form.function) {
    form.kind = WorkingForm::FrForm;
    return form;
  }
  if (f.type == kTypeR) throw Error("Cannot minimize: the on-set of this r-type function is too large to compute");
  if (exact) throw Error("Cannot minimize exactly: the off-set of this function is too large to compute");
  form.kind = WorkingForm::FdForm;
  form.function = MakeFdForm(f);
  return form;
}

RunOutcome runMinimization(TBoolFnct& f, WorkingForm form, const RunRequest& request) {
  RunOutcome out;
  out.settings = settingsInEffect(request.settings);
  out.working = std::move(form.function);
  RunParams params = request;  // the run's own part of the request
  params.settings = out.settings;
  out.cover = minimizeParallel(out.working ? *out.working : f, params, request.jobs, out.figures);
  if (!out.cover) throw Error("Error occured during minimization");
  return out;
}

Figures figuresOf(const TBoolFnct& f) {
  Figures fig;
  fig.terms = f.terms;
  fig.literals = f.literals;
  fig.outputCost = f.outputCost;
  fig.gates = f.gates;
  fig.gateEquivalents = f.gateEquivalents;
  fig.cost = f.cost;
  return fig;
}

MinimizeStats statsOf(const RunOutcome& out) {
  MinimizeStats st;
  st.iterations = out.figures.iterations;
  st.seconds = out.figures.elapsedSeconds;
  st.seed = out.figures.seed;
  st.jobs = out.figures.runs;
  st.interrupted = out.figures.interrupted;
  st.figures = figuresOf(*out.cover);
  st.improvements = out.figures.improvements;
  if (out.figures.exact) {
    const ExactFigures& e = *out.figures.exact;
    st.exact = MinimizeStats::Exact{e.proven, e.lowerBound, e.primes, e.coreRows, e.coreColumns};
  }
  return st;
}

std::string runReport(const MinimizeStats& st) {
  std::string verdict;
  if (st.exact && st.exact->proven) verdict = "Minimum proven\n";
  if (st.exact && !st.exact->proven)
    verdict = "Minimum not proven: lower bound " + std::to_string(st.exact->lowerBound) + ", cover " +
              std::to_string(st.figures.cost) + "\n";
  char text[512];
  std::snprintf(text, sizeof text,
                "Elapsed time: %.3f s\nIterations: %i\nTerms: %i\nLiterals: %i\nOutput cost: %i\nGates: %i\nGEs: %i\n\n",
                st.seconds, st.iterations, st.figures.terms, st.figures.literals, st.figures.outputCost,
                st.figures.gates, st.figures.gateEquivalents);
  return verdict + text;
}

}  // namespace vorn
