// Fuzzes the CSV batch reader and pricer: any bytes as a book. Every non-blank row must come back
// as exactly one output row, and nothing may crash.
#include <sstream>
#include <string>

#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Csv.h"

using namespace quantrel::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), size));
  std::ostringstream out;
  BatchOptions options;
  options.threads = 1;
  options.chunkRows = 7;  // many chunk boundaries
  const BatchSummary summary = RunBatch(in, out, options);
  if (!summary.fatal.empty()) return 0;

  std::istringstream written(out.str());
  CsvReader reader(written);
  CsvRecord record;
  uint64_t records = 0;
  while (reader.Next(record)) ++records;
  if (records != summary.rows + 1) __builtin_trap();  // the header, then one row per row
  return 0;
}
