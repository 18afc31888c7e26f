// Nanoseconds per call of the path-dependent entries, through the public C++ API: the value of
// each method, and one implied volatility per search family.
#include <benchmark/benchmark.h>

#include "bench/PriceLoop.h"
#include "quantrel/quantrel.h"

namespace {

using namespace quantrel;

using quantrel::bench::Run;

void BM_Lookback(benchmark::State& state) {
  Run(state, [](double S) {
    return Lookback(CallOption, Theoretical, S, 90, 1, 0.3, 0.08, 0.03, 0, Years);
  });
}
void BM_LookbackFixed(benchmark::State& state) {
  Run(state, [](double S) {
    return LookbackFixed(CallOption, Theoretical, S, 105, 100, 1, 0.3, 0.08, 0.03, 0, Years);
  });
}
void BM_LookbackPFloat(benchmark::State& state) {
  Run(state, [](double S) {
    return LookbackPFloat(CallOption, Theoretical, S, 90, 1, 0.5, 1, 0.3, 0.08, 0.03, 0, Years);
  });
}
void BM_LookbackPFixed(benchmark::State& state) {
  Run(state, [](double S) {
    return LookbackPFixed(CallOption, Theoretical, S, 105, 0.5, 1, 0.3, 0.08, 0.03, 0, Years);
  });
}
void BM_ExtremeSpread(benchmark::State& state) {
  Run(state, [](double S) {
    return ExtremeSpread(Standard, CallOption, Theoretical, S, 105, 0.4, 1, 0.3, 0.08, 0.03, 0,
                         Years);
  });
}
void BM_AveragePrice(benchmark::State& state) {
  const auto average = static_cast<int32_t>(state.range(0));
  Run(state, [average](double S) {
    return AveragePrice(CallOption, average, Theoretical, S, 100, 100, -0.25, 0.75, 0.2, 0.05, 0.02,
                        MonthlySample, 0, Years);
  });
}
void BM_AverageStrike(benchmark::State& state) {
  const auto average = static_cast<int32_t>(state.range(0));
  Run(state, [average](double S) {
    return AverageStrike(CallOption, average, Theoretical, S, 1, 0.2, 0.05, 0.02, WeeklySample, 0,
                         Years);
  });
}
// Newton search (re-enters the entry) and the false-position search (prices the kernel).
void BM_LookbackImpliedVol(benchmark::State& state) {
  const double market = Lookback(CallOption, Theoretical, 100, 90, 1, 0.3, 0.08, 0.03, 0, Years);
  Run(state, [market](double S) {
    return Lookback(CallOption, ImpliedVol, S, 90, 1, 0.3, 0.08, 0.03, market, Years);
  });
}
void BM_AveragePriceImpliedVol(benchmark::State& state) {
  const double market = AveragePrice(CallOption, Arithmetic, Theoretical, 100, 100, 100, -0.25,
                                     0.75, 0.2, 0.05, 0.02, 0, 0, Years);
  Run(state, [market](double S) {
    return AveragePrice(CallOption, Arithmetic, ImpliedVol, S, 100, 100, -0.25, 0.75, 0.2, 0.05,
                        0.02, 0, market, Years);
  });
}

BENCHMARK(BM_Lookback);
BENCHMARK(BM_LookbackFixed);
BENCHMARK(BM_LookbackPFloat);
BENCHMARK(BM_LookbackPFixed);
BENCHMARK(BM_ExtremeSpread);
BENCHMARK(BM_AveragePrice)->ArgName("AverageType")->Arg(Geometric)->Arg(Arithmetic);
BENCHMARK(BM_AverageStrike)->ArgName("AverageType")->Arg(Geometric)->Arg(Arithmetic);
BENCHMARK(BM_LookbackImpliedVol);
BENCHMARK(BM_AveragePriceImpliedVol);

}  // namespace
