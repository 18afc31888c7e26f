// Pricing a book from CSV: one contract per row, every row answered in input order.
#pragma once

#include <chrono>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace quantrel::cli {

struct BatchOptions {
  unsigned threads = 0;         // 0: every core
  bool progress = false;        // draw a progress bar on stderr
  uint64_t inputBytes = 0;      // size of the input, when known, for the progress bar
  size_t chunkRows = 8192;      // rows read, priced and written together, at most
  size_t chunkBytes = 1 << 20;  // and about this much of the input, past the first row
  // The Monte Carlo seed of every row that draws random numbers and has none in a Seed column;
  // without one such rows seed from the clock.
  std::optional<uint32_t> seed;
};

struct BatchSummary {
  uint64_t rows = 0;    // output rows (blank lines are skipped)
  uint64_t failed = 0;  // rows that carry an error
  std::chrono::duration<double> reading{}, pricing{}, writing{};
  std::string fatal;         // a problem with the file as a whole (no Method column, ...)
  bool readFailed = false;   // reading the input failed
  bool writeFailed = false;  // writing the output failed: the run stopped there
};

// The bundled example books (examples/*.csv), one per model family, in name order.
struct ExampleBook {
  const char* name;  // "single_asset.csv"
  const char* text;
};
std::span<const ExampleBook> ExampleBooks();

// Reads CSV with a header row and a Method column, writes the input columns as given followed by
// Result, Status and Message.
BatchSummary RunBatch(std::istream& in, std::ostream& out, const BatchOptions& options);

}  // namespace quantrel::cli
