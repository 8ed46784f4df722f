// One JSON object per run.  Options are given by their settings names with
// the values the run used (after the iteration fallback, so a run without a
// stopping option shows its one iteration); a stopping criterion that is off
// is null.  Reals carry milliseconds, as the report does.
#include "frontend/run_statistics.h"

#include "frontend/json_writer.h"

namespace vorn {

namespace {

void writeOptions(JsonWriter& w, const Settings& s, int jobs) {
  w.beginObject("options")
      .value("fcMinRatio", s.fcMinRatio)
      .value("depthFactor", s.depthFactor)
      .value("dfDirection", s.dfDirection)
      .value("cdMutationRatio", s.cdMutationRatio)
      .value("irMutationRatio", s.irMutationRatio)
      .value("ieMethod", s.ieMethod)
      .value("cpMethod", s.cpMethod)
      .value("criterion", std::string(1, criterionLetter(s.criterion)))
      .boolean("singleOutput", s.singleOutput != 0)
      .boolean("coverAtEnd", s.coverAtEnd != 0)
      .boolean("substituteOutputDc", s.substituteOutputDc != 0)
      .boolean("refine", s.refine != 0)
      .value("jobs", jobs);
  w.beginObject("stopping");
  if (s.stopOnTime)
    w.real("seconds", s.timeLimit, 3);
  else
    w.null("seconds");
  if (s.stopOnIterations)
    w.value("iterations", s.iterationLimit);
  else
    w.null("iterations");
  if (s.stopOnInterval)
    w.value("interval", s.intervalFactor);
  else
    w.null("interval");
  if (s.stopOnQuality)
    w.value("quality", s.qualityLimit);
  else
    w.null("quality");
  w.endObject().endObject();
}

}  // namespace

char criterionLetter(int criterion) {
  static const char kLetters[] = "tlobgG";
  return criterion >= 0 && criterion < 6 ? kLetters[criterion] : '?';
}

std::string statisticsJson(const RunStatistics& st, const Settings& settings) {
  JsonWriter w;
  w.beginObject();
  w.beginObject("source")
      .value("path", st.sourcePath)
      .value("inputs", st.inputs)
      .value("outputs", st.outputs)
      .value("terms", st.sourceTerms)
      .value("type", st.type)
      .endObject();
  if (st.destination.empty())
    w.null("destination");
  else
    w.value("destination", st.destination);
  const MinimizeStats& run = st.run;
  writeOptions(w, settings, run.jobs);
  w.value("seed", static_cast<long long>(run.seed));
  w.value("iterations", run.iterations).real("elapsedSeconds", run.seconds, 3);
  const Figures& fig = run.figures;
  w.beginObject("result")
      .value("terms", fig.terms)
      .value("literals", fig.literals)
      .value("outputCost", fig.outputCost)
      .value("gates", fig.gates)
      .value("gateEquivalents", fig.gateEquivalents)
      .value("cost", fig.cost)
      .endObject();
  w.beginArray("improvements");
  for (const Improvement& i : run.improvements)
    w.beginObject()
        .value("iteration", i.iteration)
        .real("seconds", i.seconds, 3)
        .value("cost", i.cost)
        .boolean("refined", i.refined)
        .endObject();
  w.endArray();
  w.boolean("interrupted", run.interrupted);
  if (run.exact) {
    w.beginObject("exact")
        .boolean("proven", run.exact->proven)
        .value("lowerBound", run.exact->lowerBound)
        .value("primes", run.exact->primes);
    w.beginObject("cyclicCore").value("rows", run.exact->coreRows).value("columns", run.exact->coreColumns);
    w.endObject().endObject();
  }
  w.endObject();
  return w.text();
}

}  // namespace vorn
