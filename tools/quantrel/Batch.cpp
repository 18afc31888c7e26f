#include "tools/quantrel/Batch.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <deque>
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

// A cell with nothing but blanks in it.
bool IsBlank(std::string_view s) {
  for (char c : s) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
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
  // Per input, the last few cells read and what they read as: a column mostly holds a few values.
  struct Recent {
    static constexpr size_t kKept = 4;
    std::array<std::string, kKept> text;
    std::array<Argument, kKept> value{};
    size_t kept = 0, next = 0;
    const Argument* Find(std::string_view cell) const {
      for (size_t k = 0; k < kept; ++k) {
        if (text[k] == cell) return &value[k];
      }
      return nullptr;
    }
    void Keep(std::string_view cell, Argument read) {
      text[next].assign(cell);
      value[next] = read;
      next = (next + 1) % kKept;
      kept = std::max(kept, next == 0 ? kKept : next);
    }
  };
  std::vector<Recent> recent;
};

class MethodCache {
 public:
  explicit MethodCache(const Layout& layout) : layout_(layout) {}

  // `name` is trimmed.
  MethodColumns* Find(std::string_view name) {
    if (name == lastName_) return last_;
    lastName_ = name;
    return last_ = Resolve(name);
  }

 private:
  MethodColumns* Resolve(std::string_view name) {
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
      columns->recent.resize(columns->columnOfInput.size());
    }
    auto [slot, _] = cache_.emplace(std::move(key), std::move(columns));
    return slot->second ? &*slot->second : nullptr;
  }

 private:
  const Layout& layout_;
  std::map<std::string, std::optional<MethodColumns>> cache_;
  std::string lastName_;
  MethodColumns* last_ = nullptr;
};

using Fields = std::vector<std::string_view>;

std::string_view MethodName(const Fields& fields, const Layout& layout) {
  if (layout.methodColumn >= fields.size()) return {};
  return Trim(fields[layout.methodColumn]);
}

// A record that cannot be read as its writer meant it; the rest of the book cannot be trusted.
std::string Unreadable(const CsvRecordMark& r) {
  if (r.malformed) return "line " + std::to_string(r.line) + ": a quoted field is never closed";
  if (r.strayCarriageReturn) {
    return "line " + std::to_string(r.strayCarriageReturn) +
           ": a carriage return ends a line without a line feed; save the book with LF or CRLF "
           "line endings";
  }
  return {};
}

// `inputs` is room for the method's inputs, kept from row to row.
Outcome PriceRecord(const Fields& fields, const Layout& layout, MethodColumns* method,
                    std::string_view methodName, const BatchOptions& options,
                    std::vector<std::optional<Argument>>& inputs) {
  if (fields.size() > layout.width) {
    return {0, DISP_E_BADPARAMCOUNT,
            "the row has " + std::to_string(fields.size()) + " fields, the header " +
                std::to_string(layout.width)};
  }
  if (methodName.empty()) return {0, DISP_E_UNKNOWNNAME, "no method given"};
  if (!method) return {0, DISP_E_UNKNOWNNAME, "unknown method '" + std::string(methodName) + "'"};

  const auto& declared = method->binding->method->inputs;
  inputs.assign(declared.size(), std::nullopt);
  for (size_t i = 0; i < declared.size(); ++i) {
    const std::optional<size_t> column = method->columnOfInput[i];
    if (!column || *column >= fields.size() || IsBlank(fields[*column])) continue;
    MethodColumns::Recent& recent = method->recent[i];
    if (const Argument* known = recent.Find(fields[*column])) {
      inputs[i] = *known;
      continue;
    }
    Argument value{};
    std::string error;
    if (!ParseInput(declared[i], fields[*column], value, error)) {
      return {0, DISP_E_TYPEMISMATCH, error};
    }
    recent.Keep(fields[*column], value);
    inputs[i] = value;
  }
  for (size_t k = 0; k < layout.inputColumns.size(); ++k) {
    const size_t c = layout.inputColumns[k];
    if (c < fields.size() && !method->inputColumnIsMine[k] && !IsBlank(fields[c])) {
      return {0, DISP_E_UNKNOWNNAME,
              std::string(method->binding->method->name) + " has no input " +
                  std::string(Trim(layout.names[c]))};
    }
  }
  // The row's own seed first, then the run's; a row that draws no random numbers takes none.
  std::optional<uint32_t> seed = method->takesSeed ? options.seed : std::nullopt;
  const size_t seedColumn = layout.seedColumn.value_or(fields.size());
  if (seedColumn < fields.size() && !IsBlank(fields[seedColumn])) {
    if (!method->takesSeed) {
      return {0, DISP_E_UNKNOWNNAME,
              std::string(method->binding->method->name) + " has no input Seed"};
    }
    uint32_t rowSeed = 0;
    std::string error;
    if (!ParseSeed(fields[seedColumn], rowSeed, error)) return {0, DISP_E_TYPEMISMATCH, error};
    seed = rowSeed;
  }
  return Price(*method->binding, inputs, seed);
}

// `plain` is the row's text when it holds neither a quote nor a carriage return, else empty.
void WriteRow(std::string& out, std::string_view plain, const Fields& fields, size_t width,
              const Outcome& outcome) {
  const size_t given = std::min(fields.size(), width);
  if (!plain.empty() && fields.size() <= width && plain.find(' ') == std::string_view::npos) {
    out += plain;  // no field of it needs quotes: it is written as it was read
  } else {
    for (size_t c = 0; c < given; ++c) {
      if (c) out += ',';
      AppendCsvField(out, fields[c]);
    }
  }
  out.append(width - given, ',');  // the columns a short row leaves empty
  out += ',';
  if (outcome.ok()) AppendNumber(out, outcome.result);
  out += ',';
  if (outcome.ok()) {
    out += "0,";
  } else {
    out += FormatStatus(outcome.status);
    out += ',';
    AppendCsvField(out, outcome.message);
  }
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

namespace {

// A chunk of the book on its way through: read on the main thread, priced a unit of rows at a
// time on every thread, written on the main thread in the order it was read.
struct Chunk {
  CsvChunk csv;
  size_t unitRows = 64;
  size_t units = 0, claimed = 0, done = 0;  // guarded by the pipeline's mutex
  struct Unit {
    std::string text;  // the priced rows, ready to write
    uint64_t rows = 0, failed = 0;
  };
  std::vector<Unit> out;
};

// What one thread keeps from row to row.
struct Pricer {
  explicit Pricer(const Layout& layout) : methods(layout) {}
  MethodCache methods;  // not shared: each thread resolves the methods it meets
  Fields fields;
  std::string scratch;
  std::vector<std::optional<Argument>> inputs;
};

class Pipeline {
 public:
  Pipeline(const Layout& layout, const BatchOptions& options, unsigned threads)
      : layout_(layout), options_(options), threads_(threads), mainPricer_(layout) {}
  ~Pipeline() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    workReady_.notify_all();
    for (auto& th : workers_) th.join();
  }

  void Add(Chunk* chunk) {
    const size_t n = chunk->csv.records.size();
    // Small units for a short book, so that a few costly rows still spread over every thread.
    chunk->unitRows = std::clamp<size_t>(n / (threads_ * 8), 1, 64);
    chunk->units = (n + chunk->unitRows - 1) / chunk->unitRows;
    chunk->claimed = chunk->done = 0;
    if (chunk->out.size() < chunk->units) chunk->out.resize(chunk->units);
    size_t open = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(chunk);
      for (const Chunk* c : queue_) open += c->units - c->claimed;
    }
    workReady_.notify_all();
    // Threads start as the work calls for them: a short book does not start a thousand.
    while (!noMoreThreads_ && workers_.size() + 1 < threads_ && workers_.size() < open) {
      try {
        workers_.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        noMoreThreads_ = true;  // no more threads to be had: the others share the work
      }
    }
  }

  // Prices alongside the other threads until the oldest chunk is done, and hands it back.
  Chunk* TakeOldest() {
    std::unique_lock<std::mutex> lock(mutex_);
    Chunk* oldest = queue_.front();
    while (oldest->done < oldest->units && !raised_) {
      if (!WorkOneUnit(lock, mainPricer_)) unitDone_.wait(lock);
    }
    if (raised_) std::rethrow_exception(raised_);
    queue_.pop_front();
    return oldest;
  }

 private:
  void Work() {
    Pricer pricer(layout_);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
      if (!WorkOneUnit(lock, pricer)) workReady_.wait(lock);
    }
  }

  // Claims the first unclaimed unit and prices it with the lock released; false when there is
  // none. A failure that is no pricing error (memory running out) is kept for the main thread.
  bool WorkOneUnit(std::unique_lock<std::mutex>& lock, Pricer& pricer) {
    if (raised_) return false;
    auto open = std::find_if(queue_.begin(), queue_.end(),
                             [](const Chunk* c) { return c->claimed < c->units; });
    if (open == queue_.end()) return false;
    Chunk& chunk = **open;
    const size_t unit = chunk.claimed++;
    lock.unlock();
    try {
      PriceUnit(chunk, unit, pricer);
    } catch (...) {
      lock.lock();
      if (!raised_) raised_ = std::current_exception();
      unitDone_.notify_all();
      return true;
    }
    lock.lock();
    if (++chunk.done == chunk.units) unitDone_.notify_all();
    return true;
  }

  void PriceUnit(Chunk& chunk, size_t unit, Pricer& p) const {
    Chunk::Unit& out = chunk.out[unit];
    out.text.clear();
    out.rows = out.failed = 0;
    const size_t from = unit * chunk.unitRows;
    const size_t to = std::min(chunk.csv.records.size(), from + chunk.unitRows);
    for (size_t k = from; k < to; ++k) {
      const CsvRecordMark& mark = chunk.csv.records[k];
      SplitCsvRecord(chunk.csv.Text(mark), p.fields, p.scratch);
      if (IsBlankRecord(p.fields, mark)) continue;
      const std::string_view name = MethodName(p.fields, layout_);
      MethodColumns* method = name.empty() ? nullptr : p.methods.Find(name);
      const Outcome outcome = PriceRecord(p.fields, layout_, method, name, options_, p.inputs);
      WriteRow(out.text, mark.plain ? chunk.csv.Text(mark) : std::string_view(), p.fields,
               layout_.width, outcome);
      ++out.rows;
      if (!outcome.ok()) ++out.failed;
    }
    if (p.fields.capacity() > kKeptFields) Fields().swap(p.fields);
  }

  static constexpr size_t kKeptFields = 4096;  // field slots a thread keeps for the next row

  const Layout& layout_;
  const BatchOptions& options_;
  const size_t threads_;
  Pricer mainPricer_;
  std::vector<std::thread> workers_;  // started and joined on the main thread only
  bool noMoreThreads_ = false;
  std::mutex mutex_;
  std::condition_variable workReady_, unitDone_;
  std::deque<Chunk*> queue_;
  std::exception_ptr raised_;
  bool stopping_ = false;
};

std::string FirstUnreadable(const CsvChunk& chunk) {
  for (const CsvRecordMark& r : chunk.records) {
    if (std::string problem = Unreadable(r); !problem.empty()) return problem;
  }
  return {};
}

}  // namespace

BatchSummary RunBatch(std::istream& in, std::ostream& out, const BatchOptions& options) {
  BatchSummary summary;
  CsvChunker reader(in);
  // Up to two chunks a thread are in flight, so memory follows the chunk, not the book.
  const unsigned threads =
      options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  std::vector<Chunk> chunks(2 * std::min(threads, 64u) + 1);
  std::vector<Chunk*> idle;
  for (Chunk& c : chunks) idle.push_back(&c);

  // The header: the first line with something on it.
  auto t0 = Clock::now();
  std::optional<Layout> layout;
  {
    CsvChunk chunk;
    Fields fields;
    std::string scratch;
    while (!layout && reader.Next(chunk, 1, 0)) {
      const CsvRecordMark& mark = chunk.records[0];
      summary.fatal = Unreadable(mark);
      if (!summary.fatal.empty()) return summary;
      SplitCsvRecord(chunk.Text(mark), fields, scratch);
      if (IsBlankRecord(fields, mark)) continue;
      layout = ReadLayout(std::vector<std::string>(fields.begin(), fields.end()), summary.fatal);
      if (!layout) return summary;
    }
  }
  if (reader.failed()) {
    summary.readFailed = true;
    return summary;
  }
  if (!layout) {
    summary.fatal = "the input is empty: it needs a header row with a Method column";
    return summary;
  }
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

  Pipeline pipeline(*layout, options, threads);
  Progress progress(options.progress, options.inputBytes);
  // Every output row is at least as wide as the header: a chunk's output stays near chunkBytes.
  const size_t chunkRows = std::clamp<size_t>(options.chunkBytes / (layout->width + 1), 1,
                                              std::max<size_t>(1, options.chunkRows));
  size_t inFlight = 0;
  bool more = true;
  std::string unreadable;  // stops the reading; what was read before it is still written
  summary.reading += Clock::now() - t0;
  while (more || inFlight) {
    auto t1 = Clock::now();
    while (more && !idle.empty()) {
      Chunk* next = idle.back();
      more = reader.Next(next->csv, chunkRows, options.chunkBytes);
      if (!more) break;
      if (unreadable = FirstUnreadable(next->csv); !unreadable.empty()) {
        more = false;
        break;
      }
      idle.pop_back();
      pipeline.Add(next);
      ++inFlight;
    }
    if (reader.failed()) {
      summary.readFailed = true;
      return summary;
    }
    auto t2 = Clock::now();
    summary.reading += t2 - t1;
    if (!inFlight) break;

    Chunk* done = pipeline.TakeOldest();
    --inFlight;
    auto t3 = Clock::now();
    summary.pricing += t3 - t2;
    for (size_t u = 0; u < done->units; ++u) {
      const Chunk::Unit& unit = done->out[u];
      out.write(unit.text.data(), static_cast<std::streamsize>(unit.text.size()));
      summary.rows += unit.rows;
      summary.failed += unit.failed;
    }
    out.flush();
    if (!out) {
      summary.writeFailed = true;  // the rest of the book is not priced for nothing
      return summary;
    }
    idle.push_back(done);
    summary.writing += Clock::now() - t3;
    progress.Update(summary.rows, reader.consumed());
  }
  summary.fatal = unreadable;
  progress.Finish();
  return summary;
}

}  // namespace quantrel::cli
