// Nanoseconds per call of the forward-start entry, through the public C++ API.
#include <benchmark/benchmark.h>

#include "quantrel/quantrel.h"

namespace {

using namespace quantrel;

void BM_ForwardStart(benchmark::State& state) {
  const auto function = static_cast<int32_t>(state.range(0));
  const double market =
      ForwardStart(CallOption, Theoretical_FS, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, Years);
  double S = 60;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ForwardStart(CallOption, function, S, 0.25, 1, 0.3, 0.08, 0.04, 1.1, market, Years));
    S = S > 61 ? 60 : S + 1e-6;  // moves the price a little without moving the implied vol much
  }
}
BENCHMARK(BM_ForwardStart)
    ->ArgName("OptionFunction")
    ->Arg(Theoretical_FS)
    ->Arg(Delta_FS)
    ->Arg(Gamma_FS)
    ->Arg(ImpliedVol_FS);

}  // namespace
