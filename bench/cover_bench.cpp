// Covering problem on bench files: cover lists, the greedy solvers and the
// dominance passes over an implicant set made of the source's own terms
// (every on-set term covered at least by itself), the size the driver meets
// in its first iterations.
#include <benchmark/benchmark.h>

#include <string>

#include "cover/cover_matrix.h"
#include "cover/cover_selection.h"
#include "cover/dominance.h"
#include "cover/solvers.h"
#include "model/pla.h"
#include "model/random.h"
#include "model/settings.h"

namespace {

using namespace vorn;

struct Loaded {
  FunctionPtr source;
  FunctionPtr implicants;
};

Loaded load(const std::string& name) {
  Loaded l;
  l.source = read(std::string("/work/shared/bench/pla/") + name).function;
  if (!l.source) return l;
  buildLists(*l.source);
  l.implicants = derive(*l.source);
  forEachTerm(*l.source, [&](const TPfnct& t) {
    if (t.output.find('1') != std::string::npos) appendTerm(*l.implicants, t.input, t.output, t.freeCount);
  });
  RunContext run;
  DetermineCover(*l.implicants, run);
  return l;
}

const char* const kFiles[] = {"signet.pla", "xparc.pla", "pdc.pla"};

void BM_DetermineCover(benchmark::State& state) {
  Loaded l = load(kFiles[state.range(0)]);
  if (!l.source) return state.SkipWithError("missing bench file");
  RunContext run;
  for (auto _ : state) DetermineCover(*l.implicants, run);
  state.SetLabel(kFiles[state.range(0)]);
}

void BM_CoverMultiOutput(benchmark::State& state) {
  Loaded l = load(kFiles[state.range(0)]);
  if (!l.source) return state.SkipWithError("missing bench file");
  RunContext run;
  run.settings.cpMethod = static_cast<int>(state.range(1));
  run.random.seedRandom(1);
  for (auto _ : state) {
    FunctionPtr cover = CoverMultiOutput(*l.implicants, run);
    benchmark::DoNotOptimize(cover.get());
  }
  state.SetLabel(std::string(kFiles[state.range(0)]) + " method " + std::to_string(state.range(1)));
}

void BM_SparseOutputMatrix(benchmark::State& state) {
  Loaded l = load(kFiles[state.range(0)]);
  if (!l.source) return state.SkipWithError("missing bench file");
  RunContext run;
  FunctionPtr cover = CoverMultiOutput(*l.implicants, run);
  for (auto _ : state) {
    state.PauseTiming();
    FunctionPtr copy = derive(*l.source);
    forEachTerm(*cover, [&](const TPfnct& t) {
      TPfnct* c = appendTerm(*copy, t.input, t.output, t.freeCount);
      c->covers = t.covers;
      c->coverCount = t.coverCount;
    });
    state.ResumeTiming();
    SparseOutputMatrix(*copy, run);
  }
  state.SetLabel(kFiles[state.range(0)]);
}

void BM_Dominance(benchmark::State& state) {
  Loaded l = load(kFiles[state.range(0)]);
  if (!l.source) return state.SkipWithError("missing bench file");
  for (auto _ : state) {
    state.PauseTiming();
    FunctionPtr a = derive(*l.source);
    FunctionPtr b = derive(*l.source);
    forEachTerm(*l.implicants, [&](const TPfnct& t) {
      TPfnct* c = appendTerm(*a, t.input, t.output, t.freeCount);
      c->covers = t.covers;
      c->coverCount = t.coverCount;
      TPfnct* d = appendTerm(*b, t.input, t.output, t.freeCount);
      d->covers = t.covers;
      d->coverCount = t.coverCount;
    });
    state.ResumeTiming();
    RemoveSelfDominatedTerms(*a, quietProgress());
    RemoveDominatedTerms(*b, *a, quietProgress());
  }
  state.SetLabel(kFiles[state.range(0)]);
}

BENCHMARK(BM_DetermineCover)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverMultiOutput)->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SparseOutputMatrix)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Dominance)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
