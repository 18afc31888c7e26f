// Batch throughput in rows per second: reading CSV alone, then reading, pricing and writing, and
// the same rows priced by calling the library directly.
// bench/batch_throughput.sh times the program itself on a million-row book.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "quantrel/quantrel.h"
#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Csv.h"

namespace {

std::string Book(int rows) {
  std::string csv =
      "Id,Method,OptionType,OptionFunction,AssetPrice,TimeStart,TimeExpire,Volatility,"
      "InterestRate,YieldRate,Alpha,TimeFormat\n";
  const char* functions[] = {"Theoretical_FS", "Delta_FS", "Vega_FS", "Rho_FS"};
  for (int i = 0; i < rows; ++i) {
    csv += std::to_string(i) + ",ForwardStart," + (i % 2 ? "PutOption," : "CallOption,") +
           functions[i % 4] + "," + std::to_string(40 + (i % 400) / 10.0) +
           ",0.25,1,0.3,0.08,0.04,1.1,Years\n";
  }
  return csv;
}

void BM_CsvRead(benchmark::State& state) {
  const std::string csv = Book(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::istringstream in(csv);
    quantrel::cli::CsvReader reader(in);
    quantrel::cli::CsvRecord record;
    size_t fields = 0;
    while (reader.Next(record)) fields += record.fields.size();
    benchmark::DoNotOptimize(fields);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CsvRead)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Batch(benchmark::State& state) {
  const std::string csv = Book(100000);
  quantrel::cli::BatchOptions options;
  options.threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    std::istringstream in(csv);
    std::ostringstream out;
    benchmark::DoNotOptimize(quantrel::cli::RunBatch(in, out, options).rows);
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_Batch)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same rows priced by the library called directly in a loop on one thread: the rate the
// program is measured against.
void BM_DirectLoop(benchmark::State& state) {
  using namespace quantrel;
  const int32_t functions[] = {Theoretical_FS, Delta_FS, Vega_FS, Rho_FS};
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i) {
      benchmark::DoNotOptimize(ForwardStart(i % 2 ? PutOption : CallOption, functions[i % 4],
                                            40 + (i % 400) / 10.0, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0,
                                            Years));
    }
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_DirectLoop)->Unit(benchmark::kMillisecond);

}  // namespace
