// The entry points of the installed library (vorn/vorn.hpp): value types in,
// value types out, over the reader, the writer, the minimization run and the
// cover verification that the program uses.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>

#include <vorn/vorn.hpp>

#include "api/function_value.h"
#include "api/minimization.h"
#include "api/stop_poller.h"
#include "driver/source_check.h"
#include "model/cost.h"
#include "model/pla.h"
#include "verify/cover_verification.h"

namespace vorn {

namespace {

/// Most runs a set may hold; more threads than this only share the same cores.
constexpr int kMaxJobs = 256;

Settings settingsOf(const MinimizeParams& p) {
  if (p.jobs < 1 || p.jobs > kMaxJobs)
    throw Error("Invalid job count " + std::to_string(p.jobs) + " (expected a number from 1 to " +
                std::to_string(kMaxJobs) + ")");
  Settings s;
  const int criterion = static_cast<int>(p.criterion);
  if (criterion < 0 || criterion > 5) throw Error("Unknown optimization criterion " + std::to_string(criterion));
  s.criterion = criterion;
  s.cpMethod = static_cast<int>(p.solver);
  if (p.iterations) {
    if (*p.iterations < 1) throw Error("Invalid iteration limit " + std::to_string(*p.iterations) + " (at least 1)");
    s.stopOnIterations = 1;
    s.iterationLimit = *p.iterations;
  }
  if (p.seconds) {
    if (!(*p.seconds >= 0)) throw Error("Invalid time limit (a number of seconds from 0)");
    s.stopOnTime = 1;
    s.timeLimit = static_cast<float>(std::min(*p.seconds, 1e30));
  }
  s.refine = p.refine ? 1 : 0;
  s.exact = p.exact ? 1 : 0;
  return s;
}

}  // namespace

Error::Error(const std::string& message, int exitCode) : std::runtime_error(message), exitCode_(exitCode) {}

Error::~Error() = default;

Function readPla(const std::string& text, std::vector<std::string>& warnings) {
  ReadResult r = readText(text);
  if (!r.error.empty()) throw Error(r.error);
  if (!r.function) throw Error("The PLA text " + r.reason);
  warnings = std::move(r.warnings);
  return toFunction(*r.function);
}

Function readPla(const std::string& text) {
  std::vector<std::string> warnings;
  return readPla(text, warnings);
}

Function readPla(std::istream& in) {
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw Error("Cannot read the PLA text from its stream");
  return readPla(text.str());
}

std::string writePla(const Function& f) { return formatPla(*toTermList(f)); }

void writePla(const Function& f, std::ostream& out) {
  const std::string text = writePla(f);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) throw Error("Cannot write the PLA text to its stream");
}

Figures figures(const Function& f, Criterion criterion) {
  FunctionPtr g = toTermList(f);
  computeStatistics(*g);
  computeCost(*g, static_cast<int>(criterion));
  return figuresOf(*g);
}

Function minimize(const Function& f, const MinimizeParams& params, MinimizeStats* stats) {
  FunctionPtr source = toTermList(f);
  RunRequest request;
  request.settings = settingsOf(params);
  request.seed = params.seed;
  request.jobs = params.jobs;
  refuseRun(*source, request.settings);
  StopPoller poller(params.stop);
  request.interrupt = poller.flag();
  RunOutcome out = runMinimization(*source, makeWorkingForm(*source, params.exact), request);
  poller.finish();
  if (stats) *stats = statsOf(out);
  return toFunction(*out.cover);
}

void MinimizeStats::report() const { report(std::cout); }

void MinimizeStats::report(std::ostream& out) const { out << runReport(*this); }

Verdict verify(const Function& source, const Function& result) {
  if (source.inputs != result.inputs || source.outputs != result.outputs)
    throw Error("Cannot verify: the source has " + std::to_string(source.inputs) + " inputs and " +
                std::to_string(source.outputs) + " outputs, the result " + std::to_string(result.inputs) +
                " inputs and " + std::to_string(result.outputs) + " outputs");
  const FunctionPtr s = toTermList(source), r = toTermList(result);
  for (const auto& [f, name] : {std::pair{s.get(), "source"}, std::pair{r.get(), "result"}})
    if (auto k = findTildeInput(*f))
      throw Error("Cannot verify: the input part of term " + std::to_string(*k + 1) + " of the " + name + " holds '~'");
  Verdict v;
  v.fault = FindCoverFault(*s, *r);
  v.valid = v.fault.empty();
  return v;
}

}  // namespace vorn
