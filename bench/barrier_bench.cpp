// Nanoseconds per call of the barrier and binary entries, through the public C++ API: the value of
// each method, a sensitivity where the value is costly, and one implied value per search family.
#include <benchmark/benchmark.h>

#include "bench/PriceLoop.h"
#include "quantrel/quantrel.h"

namespace {

using namespace quantrel;

using quantrel::bench::Run;

void BM_BarrierSingle(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierSingle(CallOption, Down_Out, Theoretical, S, 100, 95, 3, 0.5, 0.25, 0.08, 0.04, 0,
                         DailyM, Years);
  });
}
// Eleven images, each with four normal differences.
void BM_BarrierDouble(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierDouble(CallOption, Knock_Out, Theoretical, S, 100, 80, 120, 0.5, 0.25, 0.1, 0,
                         -0.1, 0.1, 0, 0, Years);
  });
}
// Bivariate normals accurate in the tails.
void BM_BarrierPartialStart(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierPartialStart(PutOption, Up_Out, Theoretical, S, 100, 115, 0.4, 1, 0.25, 0.08,
                               0.03, 0, 0, Years);
  });
}
void BM_BarrierPartialEnd(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierPartialEnd(PutOption, One_Touch, Theoretical, S, 110, 90, 0.4, 1, 0.25, 0.08,
                             0.03, 0, 0, Years);
  });
}
void BM_BarrierLookback(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierLookback(Up_In_Call, Theoretical, S, 100, 130, 0.5, 1, 0.3, 0.1, 0.02, 0, 0,
                           Years);
  });
}
void BM_BarrierSoft(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierSoft(Down_In_Call, Theoretical, S, 100, 85, 95, 0.5, 0.3, 0.1, 0.05, 0, 0, Years);
  });
}
void BM_Gap(benchmark::State& state) {
  Run(state, [](double S) {
    return Gap(CallOption, Theoretical, S, 100, -3, 0.5, 0.2, 0.09, 0, 0, Years);
  });
}
void BM_CashOrNothing(benchmark::State& state) {
  Run(state, [](double S) {
    return CashOrNothing(PutOption, Theoretical, S, 80, 10, 0.75, 0.35, 0.06, 0.06, 0, Years);
  });
}
void BM_AssetOrNothing(benchmark::State& state) {
  Run(state, [](double S) {
    return AssetOrNothing(PutOption, Theoretical, S, 95, 0.5, 0.27, 0.07, 0.05, 0, Years);
  });
}
void BM_Supershare(benchmark::State& state) {
  Run(state, [](double S) {
    return Supershare(Theoretical_SS, S, 90, 110, 0.25, 0.2, 0.1, 0.1, 0, Years);
  });
}
void BM_BinaryBarrier(benchmark::State& state) {
  Run(state, [](double S) {
    return BinaryBarrier(Call_Option, Down_In, Asset_Nothing, Theoretical, S + 5, 102, 100, 15, 0.5,
                         0.2, 0.1, 0, 0, 0, 0, Years);
  });
}
// Gamma of a partial-time barrier: three values.
void BM_BarrierPartialEndGamma(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierPartialEnd(PutOption, One_Touch, Gamma, S, 110, 90, 0.4, 1, 0.25, 0.08, 0.03, 0,
                             0, Years);
  });
}
// The false-position search over the look-barrier kernel, and the soft barrier's Newton search,
// which re-enters the entry for the value and its vega.
void BM_BarrierLookbackImpliedVol(benchmark::State& state) {
  const double market =
      BarrierLookback(Up_In_Call, Theoretical, 100, 100, 130, 0.5, 1, 0.3, 0.1, 0.02, 0, 0, Years);
  Run(state, [market](double S) {
    return BarrierLookback(Up_In_Call, ImpliedVol, S, 100, 130, 0.5, 1, 0.3, 0.1, 0.02, market, 0,
                           Years);
  });
}
void BM_BarrierSoftImpliedVol(benchmark::State& state) {
  const double market =
      BarrierSoft(Down_In_Call, Theoretical, 100, 100, 85, 95, 0.5, 0.3, 0.1, 0.05, 0, 0, Years);
  Run(state, [market](double S) {
    return BarrierSoft(Down_In_Call, ImpliedVol, S, 100, 85, 95, 0.5, 0.3, 0.1, 0.05, market, 0,
                       Years);
  });
}

BENCHMARK(BM_BarrierSingle);
BENCHMARK(BM_BarrierDouble);
BENCHMARK(BM_BarrierPartialStart);
BENCHMARK(BM_BarrierPartialEnd);
BENCHMARK(BM_BarrierLookback);
BENCHMARK(BM_BarrierSoft);
BENCHMARK(BM_Gap);
BENCHMARK(BM_CashOrNothing);
BENCHMARK(BM_AssetOrNothing);
BENCHMARK(BM_Supershare);
BENCHMARK(BM_BinaryBarrier);
BENCHMARK(BM_BarrierPartialEndGamma);
BENCHMARK(BM_BarrierLookbackImpliedVol);
BENCHMARK(BM_BarrierSoftImpliedVol);

}  // namespace
