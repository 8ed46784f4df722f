// CD step on bench files: CD-search alone (the implicant test and the literal
// scores), CD-search followed by each expansion method, output parts and
// implicant reduction, and one whole CD step.  Each benchmark iteration runs
// in a fresh run state so the cube trees never make later iterations cheap.
// The CD step prints its start line to stderr: run with 2>/dev/null.
#include <benchmark/benchmark.h>

#include <string>

#include "cdsearch/cd_search.h"
#include "cdsearch/cd_step.h"
#include "cdsearch/implicant_expansion.h"
#include "cdsearch/implicant_reduction.h"
#include "model/pla.h"
#include "model/random.h"
#include "model/run_state.h"
#include "model/settings.h"

namespace {

using namespace vorn;

FunctionPtr load(const std::string& name) {
  FunctionPtr f = read(std::string("/work/shared/bench/pla/") + name).function;
  if (f) buildLists(*f);
  return f;
}

const char* const kFiles[] = {"signet.pla", "xparc.pla", "pdc.pla", "ex1010.pla", "bca.pla"};

void BM_CdSearch(benchmark::State& state) {
  RunContext run;
  FunctionPtr f = load(kFiles[state.range(0)]);
  if (!f) return state.SkipWithError("missing bench file");
  state.SetLabel(kFiles[state.range(0)]);
  for (auto _ : state) {
    auto rs = createRunState(*f, run.settings);
    run.state = rs.get();
    run.random.seedRandom(1);
    for (int i = 0; i < f->outputCount; ++i) CdSearch(*f, i, run);
    benchmark::DoNotOptimize(rs->seedCubes->termCount);
    releaseRunState(std::move(rs));
  }
}
BENCHMARK(BM_CdSearch)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// CD-search, expansion by method range(1), output parts and reduction, for every output.
void BM_Expansion(benchmark::State& state) {
  RunContext run;
  run.settings.ieMethod = static_cast<int>(state.range(1));
  FunctionPtr f = load(kFiles[state.range(0)]);
  if (!f) return state.SkipWithError("missing bench file");
  state.SetLabel(std::string(kFiles[state.range(0)]) + " -E" + std::to_string(state.range(1)));
  long products = 0;
  for (auto _ : state) {
    auto rs = createRunState(*f, run.settings);
    run.state = rs.get();
    run.random.seedRandom(1);
    for (int i = 0; i < f->outputCount; ++i) {
      CdSearch(*f, i, run);
      FunctionPtr r = ExpandImplicants(*rs->seedCubes, i, run);
      SetOutputParts(*r);
      ReduceImplicants(*r, run);
      products += r->termCount;
    }
    releaseRunState(std::move(rs));
  }
  state.counters["products"] = benchmark::Counter(static_cast<double>(products), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Expansion)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 3, 4}})
    ->Unit(benchmark::kMillisecond);

void BM_CdMinStep(benchmark::State& state) {
  RunContext run;
  FunctionPtr f = load(kFiles[state.range(0)]);
  if (!f) return state.SkipWithError("missing bench file");
  state.SetLabel(kFiles[state.range(0)]);
  for (auto _ : state) {
    auto rs = createRunState(*f, run.settings);
    run.state = rs.get();
    run.random.seedRandom(1);
    rs->implicants = CdMinStep(*f, std::move(rs->implicants), run);
    benchmark::DoNotOptimize(rs->implicants->termCount);
    releaseRunState(std::move(rs));
  }
}
BENCHMARK(BM_CdMinStep)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
