// Nanoseconds per call of the core building blocks.
#include <benchmark/benchmark.h>

#include "core/OptionStatistics.h"
#include "core/Plainoptionsex.h"

namespace {

using namespace quantrel::core;

void BM_CumulativeNormal(benchmark::State& state) {
  double x = -3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CumulativeNormal(x));
    x = x > 3 ? -3 : x + 0.01;
  }
}
BENCHMARK(BM_CumulativeNormal);

void BM_BivariateNormal(benchmark::State& state) {
  const double rho = static_cast<double>(state.range(0)) / 10;
  double a = -2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(BivariateNormal(a, 0.3, rho));
    a = a > 2 ? -2 : a + 0.01;
  }
}
BENCHMARK(BM_BivariateNormal)->Arg(-5)->Arg(0)->Arg(5);

void BM_GeneralizedBlackScholes(benchmark::State& state) {
  double S = 80;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GeneralizedBlackScholes(1, S, 100, 0.5, 0.25, 0.05, 0.02));
    S = S > 120 ? 80 : S + 0.01;
  }
}
BENCHMARK(BM_GeneralizedBlackScholes);

}  // namespace
