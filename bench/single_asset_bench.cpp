// Nanoseconds per call of the single-asset time-structured entries, through the public C++ API.
#include <benchmark/benchmark.h>

#include "quantrel/quantrel.h"

namespace {

using namespace quantrel;

void BM_Executive(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Executive(CallOption, Theoretical, 60, 64, 2, 0.38, 0.07, 0.03, 0.15, 0, Years));
  }
}
BENCHMARK(BM_Executive);

void BM_Chooser(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(Chooser(Theoretical, 50, 50, 0.25, 0.5, 0.25, 0.08, 0, 0, Years));
  }
}
BENCHMARK(BM_Chooser);

// Includes the Newton search for the critical price.
void BM_ComplexChooser(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ComplexChooser(Theoretical_TS, 50, 55, 48, 0.25, 0.5, 0.5833, 0.35, 0.1, 0.05, 0, Years));
  }
}
BENCHMARK(BM_ComplexChooser);

// Daily fixings over a year: 365 terms.
void BM_TimeSwitch(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        TimeSwitch(CallOption, Theoretical, 100, 110, 1, 0, 5, 1.0 / 365, 0.26, 0.06, 0, 0, Years));
  }
}
BENCHMARK(BM_TimeSwitch);

void BM_Compound(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Compound(Put_Call, Theoretical_C, 500, 50, 520, 0.25, 0.5, 0.35, 0.08, 0, 0, Years));
  }
}
BENCHMARK(BM_Compound);

void BM_WriterExtendible(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        WriterExtendible(CallOption, Theoretical_WE, 80, 90, 82, 0.5, 0.75, 0.3, 0.1, 0, 0, Years));
  }
}
BENCHMARK(BM_WriterExtendible);

// The false-position search over the compound kernel, each evaluation with its critical price.
void BM_CompoundImpliedVol(benchmark::State& state) {
  const double market =
      Compound(Put_Call, Theoretical_C, 500, 50, 520, 0.25, 0.5, 0.35, 0.08, 0, 0, Years);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Compound(Put_Call, ImpliedVol_C, 500, 50, 520, 0.25, 0.5, 0.35, 0.08, 0, market, Years));
  }
}
BENCHMARK(BM_CompoundImpliedVol);

}  // namespace
