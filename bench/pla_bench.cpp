// Reading and writing PLA text must stay linear in the file size: this
// measures a function of 100,000 terms, 64 inputs and 16 outputs.
#include <benchmark/benchmark.h>

#include <random>

#include "model/pla.h"

namespace {

std::string bigPla() {
  std::mt19937 rng(1);
  std::string text = ".i 64\n.o 16\n.type fr\n";
  for (int t = 0; t < 100000; ++t) {
    for (int i = 0; i < 64; ++i) text += "01-"[rng() % 3];
    text += ' ';
    for (int o = 0; o < 16; ++o) text += "01~"[rng() % 3];
    text += '\n';
  }
  return text + ".e\n";
}

void BM_ReadPla(benchmark::State& state) {
  const std::string text = bigPla();
  for (auto _ : state) benchmark::DoNotOptimize(vorn::readText(text).function);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadPla)->Unit(benchmark::kMillisecond);

void BM_FormatPla(benchmark::State& state) {
  const auto f = vorn::readText(bigPla()).function;
  for (auto _ : state) benchmark::DoNotOptimize(vorn::formatPla(*f));
}
BENCHMARK(BM_FormatPla)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
