#include "tools/quantrel/Batch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "quantrel/numerical.h"
#include "tools/quantrel/Csv.h"
#include "tools/quantrel/Pricing.h"

namespace quantrel::cli {
namespace {

using Clock = std::chrono::steady_clock;

// Blanks around a cell or a column name are not part of it.
std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsBlank(std::string_view s) {
  return Trim(s).empty();
}

std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Folded, and without blanks and underscores: names that agree this way but not folded are a
// misspelling of each other.
std::string Loose(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c != ' ' && c != '\t' && c != '_') {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

// Every input name of the catalogue, by its folded and its loose form.
struct KnownNames {
  std::set<std::string> folded;
  std::map<std::string, std::string> loose;  // loose form -> the column it stands for
};

const KnownNames& InputNames() {
  static const KnownNames names = [] {
    KnownNames n;
    for (const MethodSpec& m : Methods()) {
      for (const InputSpec& in : m.inputs) {
        n.folded.insert(Folded(in.name));
        n.loose.emplace(Loose(in.name), std::string("the input ") + in.name);
      }
    }
    n.loose.emplace("method", "the Method column");
    return n;
  }();
  return names;
}

// What the header says about the columns.
struct Layout {
  size_t width = 0;
  size_t methodColumn = 0;
  std::vector<std::string> names;             // as written, repeated in the output
  std::vector<size_t> inputColumns;           // the columns that name an input of some method
  std::map<std::string, size_t> inputByName;  // folded input name -> its column
  std::optional<size_t> seedColumn;           // the Monte Carlo seed of a row
};

std::optional<Layout> ReadLayout(std::vector<std::string> names, std::string& fatal) {
  const KnownNames& known = InputNames();
  Layout layout;
  layout.width = names.size();
  layout.names = std::move(names);
  const std::vector<std::string>& header = layout.names;
  std::optional<size_t> method;
  for (size_t c = 0; c < header.size(); ++c) {
    const std::string_view name = Trim(header[c]);
    const std::string folded = Folded(name);
    if (folded == "method") {
      if (method) {
        fatal = "the header names the Method column twice";
        return std::nullopt;
      }
      method = c;
    } else if (folded == "seed") {
      if (layout.seedColumn) {
        fatal = "the header names the Seed column twice";
        return std::nullopt;
      }
      layout.seedColumn = c;
    } else if (known.folded.count(folded)) {
      if (!layout.inputByName.emplace(folded, c).second) {
        fatal = "the header names the input column " + std::string(name) + " twice";
        return std::nullopt;
      }
      layout.inputColumns.push_back(c);
    } else if (auto near = known.loose.find(Loose(name)); near != known.loose.end()) {
      // Carried through, such a column would leave its input omitted without a word.
      fatal = "column " + std::to_string(c + 1) + " of the header, \"" + header[c] +
              "\", misspells " + near->second + ": spell it so, or give the column another name";
      return std::nullopt;
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
  std::vector<bool> inputColumnIsMine;  // per entry of Layout::inputColumns
  bool takesSeed = false;
};

class MethodCache {
 public:
  explicit MethodCache(const Layout& layout) : layout_(layout) {}

  // `name` is trimmed.
  const MethodColumns* Find(std::string_view name) {
    std::string key = Folded(name);
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second ? &*it->second : nullptr;
    std::optional<MethodColumns> columns;
    if (const MethodBinding* binding = FindAvailableMethod(name)) {
      columns.emplace();
      columns->binding = binding;
      columns->takesSeed = TakesMonteCarloSeed(binding->method->name);
      for (const InputSpec& in : binding->method->inputs) {
        const auto column = layout_.inputByName.find(Folded(in.name));
        columns->columnOfInput.push_back(column == layout_.inputByName.end()
                                             ? std::nullopt
                                             : std::optional<size_t>(column->second));
      }
      for (size_t c : layout_.inputColumns) {
        columns->inputColumnIsMine.push_back(std::find(columns->columnOfInput.begin(),
                                                       columns->columnOfInput.end(),
                                                       c) != columns->columnOfInput.end());
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
  return Trim(r.fields[layout.methodColumn]);
}

// A record that cannot be read as its writer meant it; the rest of the book cannot be trusted.
std::string Unreadable(const CsvRecord& r) {
  if (r.malformed) return "line " + std::to_string(r.line) + ": a quoted field is never closed";
  if (r.strayCarriageReturn) {
    return "line " + std::to_string(r.strayCarriageReturn) +
           ": a carriage return ends a line without a line feed; save the book with LF or CRLF "
           "line endings";
  }
  return {};
}

Outcome PriceRecord(const CsvRecord& record, const Layout& layout, const MethodColumns* method,
                    std::string_view methodName, const BatchOptions& options) {
  if (record.fields.size() > layout.width) {
    return {0, DISP_E_BADPARAMCOUNT,
            "the row has " + std::to_string(record.fields.size()) + " fields, the header " +
                std::to_string(layout.width)};
  }
  if (methodName.empty()) return {0, DISP_E_UNKNOWNNAME, "no method given"};
  if (!method) return {0, DISP_E_UNKNOWNNAME, "unknown method '" + std::string(methodName) + "'"};

  const auto& declared = method->binding->method->inputs;
  std::vector<std::optional<Argument>> inputs(declared.size());
  for (size_t i = 0; i < declared.size(); ++i) {
    const std::optional<size_t> column = method->columnOfInput[i];
    if (!column || *column >= record.fields.size() || IsBlank(record.fields[*column])) continue;
    Argument value{};
    std::string error;
    if (!ParseInput(declared[i], record.fields[*column], value, error)) {
      return {0, DISP_E_TYPEMISMATCH, error};
    }
    inputs[i] = value;
  }
  for (size_t k = 0; k < layout.inputColumns.size(); ++k) {
    const size_t c = layout.inputColumns[k];
    if (c < record.fields.size() && !method->inputColumnIsMine[k] && !IsBlank(record.fields[c])) {
      return {0, DISP_E_UNKNOWNNAME,
              std::string(method->binding->method->name) + " has no input " +
                  std::string(Trim(layout.names[c]))};
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
  const size_t given = std::min(fields.size(), width);
  for (size_t c = 0; c < given; ++c) {
    if (c) out += ',';
    AppendCsvField(out, fields[c]);
  }
  out.append(width - given, ',');  // the columns a short row leaves empty
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
  bool found;
  while ((found = reader.Next(header))) {
    summary.fatal = Unreadable(header);
    if (!summary.fatal.empty()) return summary;
    if (!header.blank()) break;
  }
  if (reader.failed()) {
    summary.readFailed = true;
    return summary;
  }
  if (!found) {
    summary.fatal = "the input is empty: it needs a header row with a Method column";
    return summary;
  }
  const std::optional<Layout> layout = ReadLayout(std::move(header.fields), summary.fatal);
  if (!layout) return summary;
  {
    std::string line;
    for (size_t c = 0; c < layout->width; ++c) {
      if (c) line += ',';
      AppendCsvField(line, layout->names[c]);
    }
    line += ",Result,Status,Message\n";
    out << line;
    if (!out) {
      summary.writeFailed = true;
      return summary;
    }
  }

  MethodCache methods(*layout);
  const unsigned threads =
      options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  Progress progress(options.progress, options.inputBytes);

  // A chunk holds at most chunkRows rows and, past its first row, about chunkBytes of them, and
  // the output goes out every kFlushBytes or so: memory follows the widest row, not the book.
  constexpr size_t kFlushBytes = 1 << 20;
  constexpr size_t kKeptFields = 4096;  // a record's field slots kept for the next chunk
  std::vector<CsvRecord> records(std::max<size_t>(1, options.chunkRows));
  std::vector<const MethodColumns*> resolved(records.size());
  std::vector<Outcome> outcomes(records.size());
  std::string text;
  for (bool more = true; more;) {
    // Read a chunk, resolving methods on this thread (the cache is not shared).
    auto t0 = Clock::now();
    size_t n = 0, bytes = 0;
    while (n < records.size() && bytes < options.chunkBytes && (more = reader.Next(records[n]))) {
      const CsvRecord& r = records[n];
      summary.fatal = Unreadable(r);
      if (!summary.fatal.empty()) return summary;
      if (r.blank()) continue;
      bytes += r.bytes + r.fields.size() * sizeof(std::string);
      const std::string_view name = MethodName(r, *layout);
      resolved[n] = name.empty() ? nullptr : methods.Find(name);
      ++n;
    }
    if (reader.failed()) {
      summary.readFailed = true;
      return summary;
    }
    auto t1 = Clock::now();

    // Price the chunk on every thread; each row lands in its own slot, so order is kept. A
    // failure that is no pricing error (memory running out) is raised again here.
    std::atomic<size_t> next{0};
    std::exception_ptr raised;
    std::mutex raisedMutex;
    auto work = [&] {
      try {
        for (size_t i; (i = next.fetch_add(64)) < n;) {
          for (size_t k = i; k < std::min(n, i + 64); ++k) {
            const CsvRecord& r = records[k];
            outcomes[k] = PriceRecord(r, *layout, resolved[k], MethodName(r, *layout), options);
          }
        }
      } catch (...) {
        std::lock_guard<std::mutex> lock(raisedMutex);
        if (!raised) raised = std::current_exception();
        next = n;
      }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads && n > 64 * t; ++t) {
      try {
        pool.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the others share the work
      }
    }
    work();
    for (auto& th : pool) th.join();
    if (raised) std::rethrow_exception(raised);
    auto t2 = Clock::now();

    for (size_t k = 0; k < n; ++k) {
      WriteRow(text, records[k].fields, layout->width, outcomes[k]);
      if (!outcomes[k].ok()) ++summary.failed;
      if (text.size() >= kFlushBytes || k + 1 == n) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
      }
      if (records[k].fields.capacity() > kKeptFields) {
        std::vector<std::string>().swap(records[k].fields);
      }
    }
    out.flush();
    if (!out) {
      summary.writeFailed = true;  // the rest of the book is not priced for nothing
      return summary;
    }
    summary.rows += n;
    auto t3 = Clock::now();
    summary.reading += t1 - t0;
    summary.pricing += t2 - t1;
    summary.writing += t3 - t2;
    progress.Update(summary.rows, reader.consumed());
  }
  progress.Finish();
  return summary;
}

}  // namespace quantrel::cli
