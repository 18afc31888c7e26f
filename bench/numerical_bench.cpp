// The numerical models: node values per second of the two-asset lattice (100 and 500 steps, the
// engine itself beyond the methods' 100) and of the trinomial barrier tree, paths per second of
// Monte Carlo at 1,000 steps, and the cost of whole calls, the dearest ones included.
#include <benchmark/benchmark.h>

#include "models/numerical/BarrierSingleTri.h"
#include "models/numerical/Binomial3D.h"
#include "quantrel/quantrel.h"

namespace {

using namespace quantrel;

void BM_TwoAssetLattice(benchmark::State& state) {
  const auto steps = static_cast<int32_t>(state.range(0));
  const bool american = state.range(1) != 0;
  numerical::TwoAssetLattice lattice;
  numerical::TwoAssetContract c{numerical::kSpread,
                                american,
                                1,
                                100,
                                95,
                                5,
                                5,
                                1,
                                1,
                                0.5,
                                0.3,
                                0.2,
                                0.05,
                                0.02,
                                0.03,
                                0.4,
                                steps};
  for (auto _ : state) {
    benchmark::DoNotOptimize(lattice.Value(c));
    c.S1 = c.S1 > 101 ? 100 : c.S1 + 1e-6;
  }
  state.counters["nodes/s"] = benchmark::Counter(numerical::TwoAssetNodes(steps),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TwoAssetLattice)->Args({100, 0})->Args({100, 1})->Args({500, 0})->Args({500, 1});

void BM_BarrierTree(benchmark::State& state) {
  const auto steps = static_cast<int32_t>(state.range(0));
  const auto barrierType = static_cast<int32_t>(state.range(1));
  numerical::BarrierTree tree;
  numerical::BarrierTreeContract c{barrierType, false, 1,    100,  100,  95,
                                   3,           0.5,   0.25, 0.08, 0.04, steps};
  for (auto _ : state) {
    benchmark::DoNotOptimize(tree.Value(c));
    c.S = c.S > 101 ? 100 : c.S + 1e-6;
  }
  state.counters["nodes/s"] = benchmark::Counter(numerical::BarrierTreeNodes(steps),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BarrierTree)->Args({500, Down_Out})->Args({500, Down_In});

// Paths of 1,000 steps: Iterations pairs under antithetic variates, single paths otherwise.
void BM_MonteCarlo(benchmark::State& state) {
  const MonteCarloSeed seed(1);
  const auto method = state.range(0);
  const int32_t paths = 100, steps = 1000;
  for (auto _ : state) {
    double value = 0;
    switch (method) {
      case 0:
        value = AsianMC(CallOption, Antithetic, 100, 100, 1, 0.2, 0.05, 0, steps, paths, Years);
        break;
      case 1:
        value = AsianMC(CallOption, Control, 100, 100, 1, 0.2, 0.05, 0, steps, paths, Years);
        break;
      case 2:
        value = LookbackMC(CallOption, 100, 100, 1, 0.2, 0.05, 0, steps, paths, Years);
        break;
      default:
        value = AsianSpreadMC(CallOption, 100, 95, 5, 1, 0.25, 0.2, 0.05, 0.01, 0.02, 0.5, steps,
                              paths, Years);
        break;
    }
    benchmark::DoNotOptimize(value);
  }
  const double simulated = method == 0 || method == 2 ? 2 * paths : paths;
  state.counters["paths/s"] =
      benchmark::Counter(simulated, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MonteCarlo)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Whole calls at the largest step and path counts the methods allow: a lattice value, a gamma
// (three lattices), the searches (each step a lattice or tree of its own), one compound tree, and
// the two dearest simulations.
void BM_Calls(benchmark::State& state) {
  const MonteCarloSeed seed(1);
  const auto which = state.range(0);
  for (auto _ : state) {
    double value = 0;
    switch (which) {
      case 0:
        value = SpreadBin(American, CallOption, Theoretical_SP, 100, 95, 5, 0.5, 0.3, 0.2, 0.05,
                          0.02, 0.03, 0.4, 100, 1, 1, 0, Years);
        break;
      case 1:
        value = SpreadBin(American, CallOption, Gamma1_SP, 100, 95, 5, 0.5, 0.3, 0.2, 0.05, 0.02,
                          0.03, 0.4, 100, 1, 1, 0, Years);
        break;
      case 2:
        value = SpreadBin(American, CallOption, ImpliedCorr_SP, 100, 95, 5, 0.5, 0.3, 0.2, 0.05,
                          0.02, 0.03, 0.4, 100, 1, 1, 9, Years);
        break;
      case 3:
        value = CompoundBin(American, Put_Call, ImpliedVol_C, 100, 4, 95, 1, 0.3, 0.07, 0.02, 500,
                            2.5, Years);
        break;
      case 4:
        value = BarrierSingleTri(American, CallOption, Down_In, ImpliedVol, 100, 100, 95, 0, 0.5,
                                 0.25, 0.08, 0.04, 500, 4.5, Years);
        break;
      case 5:
        value = CompoundBin(American, Put_Call, Theoretical_C, 100, 4, 95, 1, 0.3, 0.07, 0.02, 500,
                            0, Years);
        break;
      case 6:
        value = AsianSpreadMC(CallOption, 100, 95, 5, 1, 0.25, 0.2, 0.05, 0.01, 0.02, 0.5, 1000,
                              5000, Years);
        break;
      default:
        value = AsianMC(CallOption, Antithetic, 100, 100, 1, 0.2, 0.05, 0, 1000, 5000, Years);
        break;
    }
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_Calls)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

}  // namespace
