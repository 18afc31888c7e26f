// The loop the per-call benchmarks share.
#pragma once

#include <benchmark/benchmark.h>

namespace quantrel::bench {

// Moves the price a little between calls so that nothing is hoisted out of the loop.
template <class Price>
void Run(benchmark::State& state, Price&& price) {
  double S = 100;
  for (auto _ : state) {
    benchmark::DoNotOptimize(price(S));
    S = S > 101 ? 100 : S + 1e-6;
  }
}

}  // namespace quantrel::bench
