// Prices contracts by calling the library's C++ functions directly in a plain loop on one thread:
// the reference the Python module is compared with, value for value and in throughput.
//
//   quantrel_direct_loop METHOD COUNT INPUTS OUTPUT
//
// INPUTS holds, for each input of METHOD in interface order, COUNT float64 values (whole numbers
// for the integer and enumeration inputs); OUTPUT receives COUNT float64 results (NaN where the
// call failed). Prints the seconds the loop took, on the clock and of processor time, and the
// processor time of the same loop through the late-bound bindings.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <limits>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "quantrel/bindings.h"
#include "quantrel/catalogue.h"
#include "quantrel/quantrel.h"

namespace {

// One contract's inputs, each a column of the INPUTS file.
struct Row {
  std::span<const std::vector<double>> columns;
  size_t k;
};

template <class T>
T Get(const Row& row, size_t j) {
  return static_cast<T>(row.columns[j][row.k]);
}

template <class... P, size_t... I>
double Apply(double (*f)(P...), const Row& row, std::index_sequence<I...>) {
  return f(Get<P>(row, I)...);
}

template <class... P>
double Apply(double (*f)(P...), const Row& row) {
  return Apply(f, row, std::index_sequence_for<P...>{});
}

// Each method with exactly its interface inputs, calling the public function.
#define QUANTREL_METHOD(name, params, args) \
  double Direct##name params {              \
    return quantrel::name args;             \
  }
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

struct Entry {
  const char* name;
  double (*call)(const Row&);
};

constexpr Entry kEntries[] = {
#define QUANTREL_METHOD(name, params, args) \
  {#name, [](const Row& row) { return Apply(&Direct##name, row); }},
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s METHOD COUNT INPUTS OUTPUT\n", argv[0]);
    return 2;
  }
  const quantrel::MethodSpec* method = quantrel::FindMethod(argv[1]);
  const Entry* entry = nullptr;
  for (const Entry& e : kEntries) {
    if (method && quantrel::EqualsIgnoreCase(e.name, method->name)) entry = &e;
  }
  if (!entry) {
    std::fprintf(stderr, "no available method %s\n", argv[1]);
    return 2;
  }
  const size_t count = std::strtoull(argv[2], nullptr, 10);
  std::vector<std::vector<double>> columns(method->inputs.size(), std::vector<double>(count));
  std::ifstream in(argv[3], std::ios::binary);
  for (auto& column : columns) {
    in.read(reinterpret_cast<char*>(column.data()),
            static_cast<std::streamsize>(count * sizeof(double)));
  }
  if (!in) {
    std::fprintf(stderr, "cannot read %zu rows from %s\n", count, argv[3]);
    return 2;
  }

  std::vector<double> results(count);
  const std::clock_t cpuStart = std::clock();
  const auto start = std::chrono::steady_clock::now();
  for (size_t k = 0; k < count; ++k) {
    try {
      results[k] = entry->call(Row{columns, k});
    } catch (const quantrel::PricingError&) {
      results[k] = std::numeric_limits<double>::quiet_NaN();
    }
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

  // The same contracts through the late-bound fast path the Python module calls.
  const quantrel::MethodBinding* binding = quantrel::FindBinding(method->dispatchId);
  std::vector<quantrel::Argument> args(method->inputs.size());
  const std::clock_t boundStart = std::clock();
  for (size_t k = 0; k < count; ++k) {
    for (size_t j = 0; j < args.size(); ++j) {
      if (binding->isDouble[j]) {
        args[j].d = columns[j][k];
      } else {
        args[j].i = static_cast<int32_t>(columns[j][k]);
      }
    }
    double result = 0;
    if (binding->call(args, &result) == quantrel::S_OK && result != results[k]) {
      std::fprintf(stderr, "contract %zu: %.17g through the bindings, %.17g directly\n", k, result,
                   results[k]);
      return 1;
    }
  }
  const double bound = static_cast<double>(std::clock() - boundStart) / CLOCKS_PER_SEC;

  std::ofstream out(argv[4], std::ios::binary);
  out.write(reinterpret_cast<const char*>(results.data()),
            static_cast<std::streamsize>(count * sizeof(double)));
  if (!out) return 3;
  std::printf("%.6f %.6f %.6f\n", elapsed.count(), cpu, bound);
  return 0;
}
