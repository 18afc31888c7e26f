// What a public call costs over the kernel it runs. For each contract: the kernel alone (the
// model's own source compiled here, its inputs prepared once as the entry prepares them), a value
// call (one kernel evaluation) and a delta (two, at the asset price moved down and up). Google
// Benchmark reports each; the table at the end times them in turn, round after round, keeping each
// one's fastest round, and sets each call against its allowance: a value call within 1.5 times its
// kernel, a delta within its two evaluations plus half a kernel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>

#include "bench/Interleaved.h"
#include "core/Arguments.h"
#include "quantrel/quantrel.h"

namespace quantrel::bench {
template <class A>
double KernelNsPerCall(const A& a, double otherSpot, int calls);
}

namespace {

using namespace quantrel;
using bench::kHair;
using bench::kSpot;
constexpr double r = 0.05, q = 0.02, v = 0.30;
constexpr double kStep = 1e-5;  // a delta's move of the asset price, either way

struct Contract {
  const char* name;
  double (*call)(int32_t optionFunction, double S);         // the public function
  double (*kernel)(double S, double otherSpot, int calls);  // its kernel alone, ns per call
};

// A contract's public call and its kernel, from one list of all the method's arguments, in order.
#define QUANTREL_TIMED(method, ...)                                               \
  Contract {                                                                      \
#method,                                                                        \
        [](int32_t optionFunction, double S) {                                      \
          core::method##Arguments a{__VA_ARGS__};                                   \
          a.OptionFunction = optionFunction, a.AssetPrice = S;                      \
          return std::apply([](auto... x) { return method(x...); }, a.Values());    \
        },                                                                          \
        [](double S, double otherSpot, int calls) {                                 \
          core::method##Arguments a{__VA_ARGS__};                                   \
          a.AssetPrice = S;                                                         \
          return bench::KernelNsPerCall(a, otherSpot, calls);                       \
        } \
  }

// The contracts of the QuantLib comparison that have no bivariate normal.
const Contract kContracts[] = {
    QUANTREL_TIMED(Executive, CallOption, Theoretical, kSpot, 100, 1, v, r, q, 0, 0, Years, 0, 0),
    QUANTREL_TIMED(ForwardStart, CallOption, Theoretical_FS, kSpot, 91, 365, v, r, q, 1.1, 0, Days,
                   0, 0),
    QUANTREL_TIMED(Chooser, Theoretical, kSpot, 100, 91, 365, v, r, q, 0, Days, 0, 0),
    QUANTREL_TIMED(Lookback, CallOption, Theoretical, kSpot, 90, 365, v, r, q, 0, Days, 0, 0),
    QUANTREL_TIMED(LookbackFixed, CallOption, Theoretical, kSpot, 110, 105, 365, v, r, q, 0, Days,
                   0, 0),
    QUANTREL_TIMED(AveragePrice, CallOption, Geometric, Theoretical, kSpot, kSpot, 100, 0, 365, v,
                   r, q, 0, 0, Days, 0, 0),
};

constexpr int32_t kValue = 1, kDelta = 2;  // the same codes in every OptionFunction enumeration

// Nanoseconds per public call over `calls` calls, the spot alternating as for the kernel.
double CallNs(const Contract& c, int32_t optionFunction, int calls) {
  return bench::NsPerCall([&](double S) { return c.call(optionFunction, S); }, calls);
}

// The kernel where a value call evaluates it, and where a delta does.
double KernelNs(const Contract& c, int calls) {
  return c.kernel(kSpot, kSpot + kHair, calls);
}
double BumpedKernelNs(const Contract& c, int calls) {
  return c.kernel(kSpot - kStep, kSpot + kStep, calls);
}

// Google Benchmark's report of one side, timed in batches of 1,000 calls.
template <class Side>
void Time(benchmark::State& state, Side side) {
  for (auto _ : state) state.SetIterationTime(side() * 1e-6);
  state.SetItemsProcessed(state.iterations() * 1000);
}

void PrintTable(int rounds) {
  std::printf("\nEach side's fastest of %d interleaved rounds (ns per call)\n", rounds);
  std::printf("%-14s %7s %7s %7s   %8s %7s %9s %7s\n", "contract", "kernel", "value", "ratio",
              "kernel±h", "delta", "allowance", "ratio");
  for (const Contract& c : kContracts) {
    double kernel = INFINITY, value = INFINITY, bumped = INFINITY, delta = INFINITY;
    for (int round = 0; round < rounds; ++round) {
      kernel = std::min(kernel, KernelNs(c, 10000));
      value = std::min(value, CallNs(c, kValue, 10000));
      bumped = std::min(bumped, BumpedKernelNs(c, 10000));
      delta = std::min(delta, CallNs(c, kDelta, 10000));
    }
    // A value call may take 1.5 kernels; a delta its two evaluations plus half a kernel.
    const double allowance = 2 * bumped + kernel / 2;
    std::printf("%-14s %7.1f %7.1f %6.2fx   %8.1f %7.1f %9.1f %6.2fx\n", c.name, kernel, value,
                value / kernel, bumped, delta, allowance, delta / allowance);
  }
  std::printf("A value call is within its allowance at a ratio up to 1.5; a delta at up to 1.\n");
}

}  // namespace

// Google Benchmark's report (left out with --table-only), then the interleaved table (--rounds=N,
// 20 by default; --rounds=0 leaves it out).
int main(int argc, char** argv) {
  const bench::TableOptions options = bench::ParseTableOptions(argc, argv, "--table-only");
  if (!options.tableOnly) {
    for (const Contract& c : kContracts) {
      const std::string name = c.name;
      benchmark::RegisterBenchmark((name + "/kernel").c_str(), Time<std::function<double()>>, [&c] {
        return KernelNs(c, 1000);
      })->UseManualTime();
      benchmark::RegisterBenchmark((name + "/value").c_str(), Time<std::function<double()>>, [&c] {
        return CallNs(c, kValue, 1000);
      })->UseManualTime();
      benchmark::RegisterBenchmark((name + "/delta").c_str(), Time<std::function<double()>>, [&c] {
        return CallNs(c, kDelta, 1000);
      })->UseManualTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  if (options.rounds > 0) PrintTable(options.rounds);
}
