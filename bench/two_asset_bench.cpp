// Nanoseconds per call of the two-asset and currency entries, through the public C++ API: the
// value of each method, and the costly ones: the spread's integration under a gamma and a strike
// search, the American exchange, the option on an exchange option's critical ratio, and the
// implied correlation.
#include <benchmark/benchmark.h>

#include "bench/PriceLoop.h"
#include "quantrel/quantrel.h"

namespace {

using namespace quantrel;

using quantrel::bench::Run;

void BM_TwoAssetCorr(benchmark::State& state) {
  Run(state, [](double S) {
    return TwoAssetCorr(CallOption, Theoretical_TA, S, 65, 100, 70, 0.5, 0.2, 0.3, 0.1, 0, 0, 0.75,
                        0, Years);
  });
}
void BM_ExchangeEuropean(benchmark::State& state) {
  Run(state, [](double S) {
    return Exchange(European, Theoretical_EX, S, 95, 0.5, 0.2, 0.25, 0.06, 0.04, -0.5, 1, 1, 0,
                    Years);
  });
}
void BM_ExchangeAmerican(benchmark::State& state) {
  Run(state, [](double S) {
    return Exchange(American, Theoretical_EX, S, 95, 0.5, 0.2, 0.25, 0.06, 0.04, -0.5, 1, 1, 0,
                    Years);
  });
}
void BM_ExchOnExch(benchmark::State& state) {
  Run(state, [](double S) {
    return ExchOnExch(ExchExchFforA, Theoretical_EX, S, 100, 0.1, 0.75, 1, 0.2, 0.25, 0.02, 0.03,
                      -0.5, 0, Years);
  });
}
void BM_Rainbow(benchmark::State& state) {
  Run(state, [](double S) {
    return Rainbow(PutOption, MaxAsset, Theoretical_SP, S, 105, 98, 0.5, 0.11, 0.16, 0.05, 0.05,
                   0.05, 0.63, 0, Years);
  });
}
void BM_Spread(benchmark::State& state) {
  Run(state, [](double S) {
    return Spread(CallOption, Theoretical_SP, S, 120, 3, 0.5, 0.2, 0.25, 0.1, 0.03, 0.05, 0.4, 1, 1,
                  0, Years);
  });
}
void BM_ForeignEquity(benchmark::State& state) {
  Run(state, [](double S) {
    return ForeignEquity(CallOption, Domestic, Theoretical_FX, S, 160, 1.5, 0.5, 0.2, 0.12, 0.08,
                         0.05, 0.45, 0, Years);
  });
}
void BM_Quanto(benchmark::State& state) {
  Run(state, [](double S) {
    return Quanto(CallOption, Theoretical_QU, S, 105, 1.5, 0.5, 0.2, 0.1, 0.08, 0.05, 0.04, 0.3, 0,
                  Years);
  });
}
void BM_EquityLinkedFX(benchmark::State& state) {
  Run(state, [](double S) {
    return EquityLinkedFX(CallOption, Domestic, Theoretical_QU, S, 1.52, 1.5, 0.25, 0.2, 0.12, 0.08,
                          0.05, 0.04, -0.4, 0, Years);
  });
}
void BM_TakeoverFX(benchmark::State& state) {
  Run(state, [](double S) {
    return TakeoverFX(Theoretical_FX, S, 105, 1.55, 1.5, 1, 0.2, 0.25, 0.08, 0.06, 0.1, 0, Years);
  });
}
void BM_BarrierTwoAsset(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierTwoAsset(CallOption, Down_Out, Theoretical_SP, S, 100, 90, 95, 0.5, 0.2, 0.2,
                           0.08, 0.02, 0.03, 0.5, 0, ContinuouslyM, Years);
  });
}
void BM_BarrierPartialTA(benchmark::State& state) {
  Run(state, [](double S) {
    return BarrierPartialTA(CallOption, Up_Out, Theoretical_SP, S, 100, 95, 120, 0.25, 0.5, 0.25,
                            0.2, 0.08, 0.02, 0.03, 0.5, 0, DailyM, Years);
  });
}
void BM_CashOrNothingTA(benchmark::State& state) {
  Run(state, [](double S) {
    return CashOrNothingTA(Call_Options, Theoretical_TA, S, 100, 110, 90, 10, 0.5, 0.2, 0.25, 0.1,
                           0.05, 0.04, 0.5, 0, Years);
  });
}

// Three integrations of 40 nodes each.
void BM_SpreadGamma2(benchmark::State& state) {
  Run(state, [](double S) {
    return Spread(CallOption, Gamma2_SP, S, 120, 3, 0.5, 0.2, 0.25, 0.1, 0.03, 0.05, 0.4, 1, 1, 0,
                  Years);
  });
}
void BM_SpreadImpliedStrike(benchmark::State& state) {
  Run(state, [](double S) {
    return Spread(CallOption, ImpliedStrike_SP, S, 120, 3, 0.5, 0.2, 0.25, 0.1, 0.03, 0.05, 0.4, 1,
                  1, 9, Years);
  });
}
void BM_ExchangeAmericanImpliedCorr(benchmark::State& state) {
  Run(state, [](double S) {
    return Exchange(American, ImpliedCorr_EX, S, 95, 0.5, 0.2, 0.25, 0.06, 0.04, -0.5, 1, 1, 6.5,
                    Years);
  });
}
void BM_TwoAssetCorrImpliedCorr(benchmark::State& state) {
  Run(state, [](double S) {
    return TwoAssetCorr(CallOption, ImpliedCorr_TA, S, 65, 100, 70, 0.5, 0.2, 0.3, 0.1, 0, 0, 0.75,
                        4.5, Years);
  });
}
// Newton on the value, each evaluation with its critical ratio.
void BM_ExchOnExchImpliedCorr(benchmark::State& state) {
  Run(state, [](double S) {
    return ExchOnExch(ExchExchFforA, ImpliedCorr_EX, S, 100, 0.1, 0.75, 1, 0.2, 0.25, 0.02, 0.03,
                      -0.5, 12.5, Years);
  });
}

BENCHMARK(BM_TwoAssetCorr);
BENCHMARK(BM_ExchangeEuropean);
BENCHMARK(BM_ExchangeAmerican);
BENCHMARK(BM_ExchOnExch);
BENCHMARK(BM_Rainbow);
BENCHMARK(BM_Spread);
BENCHMARK(BM_ForeignEquity);
BENCHMARK(BM_Quanto);
BENCHMARK(BM_EquityLinkedFX);
BENCHMARK(BM_TakeoverFX);
BENCHMARK(BM_BarrierTwoAsset);
BENCHMARK(BM_BarrierPartialTA);
BENCHMARK(BM_CashOrNothingTA);
BENCHMARK(BM_SpreadGamma2);
BENCHMARK(BM_SpreadImpliedStrike);
BENCHMARK(BM_ExchangeAmericanImpliedCorr);
BENCHMARK(BM_TwoAssetCorrImpliedCorr);
BENCHMARK(BM_ExchOnExchImpliedCorr);

}  // namespace
