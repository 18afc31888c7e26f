// What the side-by-side benchmarks share: the spot alternating between two values a hair apart,
// nanoseconds per call over a run of calls, and the command line of their interleaved table.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace quantrel::bench {

inline constexpr double kSpot = 100, kHair = 1e-9;

inline double SpotAt(int i) {
  return i % 2 ? kSpot : kSpot + kHair;
}

// Nanoseconds per call over `calls` calls, the spot alternating.
template <class Price>
double NsPerCall(const Price& price, int calls) {
  double sum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) sum += price(SpotAt(i));
  const auto end = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(sum);
  return std::chrono::duration<double, std::nano>(end - start).count() / calls;
}

// --rounds=N sets the table's rounds (20 by default; 0 leaves the table out); `tableOnlyFlag`
// leaves Google Benchmark's report out and always prints the table.
struct TableOptions {
  int rounds = 20;
  bool tableOnly = false;
};
inline TableOptions ParseTableOptions(int argc, char** argv, const char* tableOnlyFlag) {
  TableOptions o;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--rounds=", 9) == 0) o.rounds = std::atoi(argv[i] + 9);
    if (std::strcmp(argv[i], tableOnlyFlag) == 0) o.tableOnly = true;
  }
  if (o.tableOnly && o.rounds <= 0) o.rounds = 20;
  return o;
}

}  // namespace quantrel::bench
