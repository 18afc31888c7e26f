#include "tools/quantrel/Batch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "quantrel/numerical.h"
#include "tools/quantrel/Csv.h"
#include "tools/quantrel/Pricing.h"

namespace quantrel::cli {
namespace {

using Clock = std::chrono::steady_clock;

// What the header says about the columns.
struct Layout {
  size_t width = 0;
  size_t methodColumn = 0;
  std::vector<bool> isInput;  // the column names an input of some method
  std::vector<std::string> names;
  std::optional<size_t> seedColumn;  // the Monte Carlo seed of a row
};

bool IsInputOfAnyMethod(std::string_view name) {
  for (const MethodSpec& m : Methods()) {
    for (const InputSpec& in : m.inputs) {
      if (EqualsIgnoreCase(in.name, name)) return true;
    }
  }
  return false;
}

std::optional<Layout> ReadLayout(const std::vector<std::string>& header, std::string& fatal) {
  Layout layout;
  layout.width = header.size();
  layout.names = header;
  std::optional<size_t> method;
  for (size_t c = 0; c < header.size(); ++c) {
    const bool input = IsInputOfAnyMethod(header[c]);
    layout.isInput.push_back(input);
    if (EqualsIgnoreCase(header[c], "Method")) {
      if (method) {
        fatal = "the header names the Method column twice";
        return std::nullopt;
      }
      method = c;
    }
    if (EqualsIgnoreCase(header[c], "Seed")) {
      if (layout.seedColumn) {
        fatal = "the header names the Seed column twice";
        return std::nullopt;
      }
      layout.seedColumn = c;
    }
    if (input) {
      for (size_t d = 0; d < c; ++d) {
        if (EqualsIgnoreCase(header[c], header[d])) {
          fatal = "the header names the input column " + header[c] + " twice";
          return std::nullopt;
        }
      }
    }
  }
  if (!method) {
    fatal = "the header has no Method column";
    return std::nullopt;
  }
  layout.methodColumn = *method;
  return layout;
}

// For each method met in the file, which column feeds each of its inputs.
struct MethodColumns {
  const MethodBinding* binding = nullptr;
  std::vector<std::optional<size_t>> columnOfInput;
  std::vector<bool> columnIsMine;
  bool takesSeed = false;
};

class MethodCache {
 public:
  explicit MethodCache(const Layout& layout) : layout_(layout) {}

  const MethodColumns* Find(std::string_view name) {
    std::string key(name);
    for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second ? &*it->second : nullptr;
    std::optional<MethodColumns> columns;
    if (const MethodBinding* binding = FindAvailableMethod(name)) {
      columns.emplace();
      columns->binding = binding;
      columns->takesSeed = TakesMonteCarloSeed(binding->method->name);
      columns->columnIsMine.assign(layout_.width, false);
      for (const InputSpec& in : binding->method->inputs) {
        std::optional<size_t> found;
        for (size_t c = 0; c < layout_.width; ++c) {
          if (layout_.isInput[c] && EqualsIgnoreCase(layout_.names[c], in.name)) found = c;
        }
        columns->columnOfInput.push_back(found);
        if (found) columns->columnIsMine[*found] = true;
      }
    }
    auto [slot, _] = cache_.emplace(std::move(key), std::move(columns));
    return slot->second ? &*slot->second : nullptr;
  }

 private:
  const Layout& layout_;
  std::map<std::string, std::optional<MethodColumns>> cache_;
};

std::string_view MethodName(const CsvRecord& r, const Layout& layout) {
  if (layout.methodColumn >= r.fields.size()) return {};
  return r.fields[layout.methodColumn];
}

bool IsBlank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

Outcome PriceRecord(const CsvRecord& record, const Layout& layout, const MethodColumns* method,
                    std::string_view methodName, const BatchOptions& options) {
  if (record.malformed) return {0, DISP_E_TYPEMISMATCH, "a quoted field is not closed"};
  if (record.fields.size() > layout.width) {
    return {0, DISP_E_BADPARAMCOUNT,
            "the row has " + std::to_string(record.fields.size()) + " fields, the header " +
                std::to_string(layout.width)};
  }
  if (IsBlank(methodName)) return {0, DISP_E_UNKNOWNNAME, "no method given"};
  if (!method) return {0, DISP_E_UNKNOWNNAME, "unknown method '" + std::string(methodName) + "'"};

  const auto& specs = method->binding->method->inputs;
  std::vector<std::optional<Argument>> inputs(specs.size());
  for (size_t i = 0; i < specs.size(); ++i) {
    const std::optional<size_t> column = method->columnOfInput[i];
    if (!column || *column >= record.fields.size() || IsBlank(record.fields[*column])) continue;
    Argument value{};
    std::string error;
    if (!ParseInput(specs[i], record.fields[*column], value, error)) {
      return {0, DISP_E_TYPEMISMATCH, error};
    }
    inputs[i] = value;
  }
  for (size_t c = 0; c < record.fields.size(); ++c) {
    if (layout.isInput[c] && !method->columnIsMine[c] && !IsBlank(record.fields[c])) {
      return {0, DISP_E_UNKNOWNNAME,
              std::string(method->binding->method->name) + " has no input " + layout.names[c]};
    }
  }
  // The row's own seed first, then the run's; a row that draws no random numbers takes none.
  std::optional<uint32_t> seed = method->takesSeed ? options.seed : std::nullopt;
  const size_t seedColumn = layout.seedColumn.value_or(record.fields.size());
  if (seedColumn < record.fields.size() && !IsBlank(record.fields[seedColumn])) {
    if (!method->takesSeed) {
      return {0, DISP_E_UNKNOWNNAME,
              std::string(method->binding->method->name) + " has no input Seed"};
    }
    uint32_t rowSeed = 0;
    std::string error;
    if (!ParseSeed(record.fields[seedColumn], rowSeed, error)) {
      return {0, DISP_E_TYPEMISMATCH, error};
    }
    seed = rowSeed;
  }
  return Price(*method->binding, inputs, seed);
}

void WriteRow(std::string& out, const std::vector<std::string>& fields, size_t width,
              const Outcome& outcome) {
  for (size_t c = 0; c < width; ++c) {
    if (c) out += ',';
    if (c < fields.size()) AppendCsvField(out, fields[c]);
  }
  out += ',';
  if (outcome.ok()) out += FormatNumber(outcome.result);
  out += ',';
  out += FormatStatus(outcome.status);
  out += ',';
  AppendCsvField(out, outcome.message);
  out += '\n';
}

class Progress {
 public:
  Progress(bool enabled, uint64_t total) : enabled_(enabled), total_(total), start_(Clock::now()) {}
  void Update(uint64_t rows, uint64_t bytes) {
    if (!enabled_) return;
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    if (elapsed < 1.0) return;  // short runs draw nothing
    shown_ = true;
    if (total_ > 0) {
      const double share = std::min(1.0, static_cast<double>(bytes) / static_cast<double>(total_));
      const int filled = static_cast<int>(share * 40);
      std::fprintf(stderr, "\r[%-40s] %3d%% %llu rows", std::string(filled, '#').c_str(),
                   static_cast<int>(share * 100), static_cast<unsigned long long>(rows));
    } else {
      std::fprintf(stderr, "\r%llu rows", static_cast<unsigned long long>(rows));
    }
    std::fflush(stderr);
  }
  void Finish() {
    if (shown_) std::fprintf(stderr, "\n");
  }

 private:
  bool enabled_;
  uint64_t total_;
  Clock::time_point start_;
  bool shown_ = false;
};

}  // namespace

BatchSummary RunBatch(std::istream& in, std::ostream& out, const BatchOptions& options) {
  BatchSummary summary;
  CsvReader reader(in);
  CsvRecord header;
  while (reader.Next(header) && header.blank()) {
  }
  if (header.fields.empty()) {
    summary.fatal = "the input is empty: it needs a header row with a Method column";
    return summary;
  }
  const std::optional<Layout> layout = ReadLayout(header.fields, summary.fatal);
  if (!layout) return summary;
  {
    std::string line;
    for (size_t c = 0; c < layout->width; ++c) {
      if (c) line += ',';
      AppendCsvField(line, layout->names[c]);
    }
    line += ",Result,Status,Message\n";
    out << line;
  }

  MethodCache methods(*layout);
  const unsigned threads =
      options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  Progress progress(options.progress, options.inputBytes);

  std::vector<CsvRecord> records(options.chunkRows);
  std::vector<const MethodColumns*> resolved(options.chunkRows);
  std::vector<Outcome> outcomes(options.chunkRows);
  for (bool more = true; more;) {
    // Read a chunk, resolving methods on this thread (the cache is not shared).
    auto t0 = Clock::now();
    size_t n = 0;
    while (n < options.chunkRows && (more = reader.Next(records[n]))) {
      if (records[n].blank()) continue;
      const CsvRecord& r = records[n];
      const std::string_view name = MethodName(r, *layout);
      resolved[n] = IsBlank(name) ? nullptr : methods.Find(name);
      ++n;
    }
    auto t1 = Clock::now();

    // Price the chunk on every thread; each row lands in its own slot, so order is kept.
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t i; (i = next.fetch_add(64)) < n;) {
        for (size_t k = i; k < std::min(n, i + 64); ++k) {
          const CsvRecord& r = records[k];
          const std::string_view name = MethodName(r, *layout);
          outcomes[k] = PriceRecord(r, *layout, resolved[k], name, options);
        }
      }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads && n > 64 * t; ++t) pool.emplace_back(work);
    work();
    for (auto& th : pool) th.join();
    auto t2 = Clock::now();

    std::string text;
    for (size_t k = 0; k < n; ++k) {
      WriteRow(text, records[k].fields, layout->width, outcomes[k]);
      if (!outcomes[k].ok()) ++summary.failed;
    }
    out << text;
    summary.rows += n;
    auto t3 = Clock::now();
    summary.reading += t1 - t0;
    summary.pricing += t2 - t1;
    summary.writing += t3 - t2;
    // At the end the stream reports no position: all of it has been read.
    const std::streampos position = more ? in.tellg() : std::streampos(-1);
    progress.Update(summary.rows,
                    position < 0 ? options.inputBytes : static_cast<uint64_t>(position));
  }
  progress.Finish();
  return summary;
}

}  // namespace quantrel::cli
