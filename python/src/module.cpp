// The compiled half of the Python package: the catalogue as Python data, one generic entry that
// prices any available method over numpy arrays (the loop in C++, without the GIL, on several
// threads), and the CSV book pricing of the quantrel program for DataFrame books.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "quantrel/automation.h"
#include "quantrel/bindings.h"
#include "quantrel/catalogue.h"
#include "quantrel/errors.h"
#include "quantrel/numerical.h"
#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Csv.h"

namespace py = pybind11;
using namespace quantrel;

namespace {

const char* TypeName(InputType type) {
  switch (type) {
    case InputType::Double:
      return "double";
    case InputType::Int32:
      return "int32";
    case InputType::Enum:
      return "enum";
  }
  return "";
}

py::list MethodList() {
  py::list out;
  for (const MethodSpec& m : Methods()) {
    py::list inputs;
    for (const InputSpec& in : m.inputs) {
      py::dict d;
      d["name"] = in.name;
      d["type"] = TypeName(in.type);
      d["enumeration"] = in.enumeration ? py::object(py::str(in.enumeration)) : py::none();
      d["optional"] = in.optional;
      d["default"] = in.defaultValue;
      d["declared_default"] = in.declaredDefault;
      inputs.append(d);
    }
    py::dict d;
    d["name"] = m.name;
    d["dispatch_id"] = m.dispatchId;
    d["help"] = m.helpString;
    d["help_context"] = m.helpContext;
    d["available"] = FindBinding(m.dispatchId) != nullptr;
    d["inputs"] = inputs;
    out.append(d);
  }
  return out;
}

py::dict EnumerationTable() {
  py::dict out;
  for (const EnumerationSpec& e : Enumerations()) {
    py::list members;
    for (const EnumMember& m : e.members) members.append(py::make_tuple(m.name, m.value));
    out[e.name] = members;
  }
  return out;
}

py::list ErrorTable() {
  py::list out;
  for (const ErrorSpec& e : ErrorCodes()) {
    out.append(py::make_tuple(e.name, e.code, e.description));
  }
  return out;
}

const MethodBinding& Binding(int32_t dispatchId) {
  const MethodBinding* binding = FindBinding(dispatchId);
  if (!binding)
    throw py::value_error("no available method has dispatch id " + std::to_string(dispatchId));
  return *binding;
}

// The calling thread's description of the failure just reported.
std::string FailureMessage() {
  ErrorInfo info;
  GetErrorInfo(info);
  return info.description;
}

// The simulations' fixed seed, where one is given, for as long as the scope lasts on this thread.
struct SeedScope {
  explicit SeedScope(std::optional<uint32_t> seed) {
    if (seed) held.emplace(*seed);
  }
  std::optional<MonteCarloSeed> held;
};

// One contract, inputs as Python numbers in interface order: (status, value, message).
py::tuple CallScalar(int32_t dispatchId, const py::sequence& values, std::optional<uint32_t> seed) {
  const MethodBinding& binding = Binding(dispatchId);
  const size_t n = binding.method->inputs.size();
  if (values.size() != n) throw py::value_error("wrong number of inputs");
  std::vector<Argument> args(n);
  for (size_t j = 0; j < n; ++j) {
    if (binding.isDouble[j]) {
      args[j].d = values[j].cast<double>();
    } else {
      args[j].i = values[j].cast<int32_t>();
    }
  }
  double result = 0;
  HRESULT status;
  std::string message;
  {
    py::gil_scoped_release release;
    SeedScope seeded(seed);
    status = binding.call(args, &result);
    if (status != S_OK) message = FailureMessage();
  }
  return py::make_tuple(status, result, message);
}

// An input broadcast to the call's shape: its first element and its byte strides. An integer
// input may come as float64 (whole numbers, checked as they are read).
struct Strided {
  const char* data;
  std::vector<py::ssize_t> strides;
  bool wholeFromDouble = false;
};

// A whole number in the 32-bit range (NaN is not), read into `out`.
bool ReadInt32(double v, int32_t& out) {
  if (!(v >= -2147483648.0 && v <= 2147483647.0)) return false;
  out = static_cast<int32_t>(v);
  return static_cast<double>(out) == v;
}

std::string Shortest(double v) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

// Every element of a broadcast call. Inputs are numpy arrays of one shape (strides may be 0),
// float64 for double inputs and int32 or float64 for the others; an integer input that is not a
// whole number raises ValueError, naming the first in index order. Returns (values, codes,
// failures): NaN and the status where a contract failed, failures listing (flat index, message).
// With stopAtFirst, the first failure in index order is the only one listed, and the pricing stops
// there.
py::tuple CallArray(int32_t dispatchId, const std::vector<py::array>& inputs, bool stopAtFirst,
                    unsigned threads, std::optional<uint32_t> seed) {
  const MethodBinding& binding = Binding(dispatchId);
  const size_t n = binding.method->inputs.size();
  if (inputs.size() != n) throw py::value_error("wrong number of inputs");
  std::vector<py::ssize_t> shape;
  if (n > 0) shape.assign(inputs[0].shape(), inputs[0].shape() + inputs[0].ndim());
  std::vector<Strided> strided(n);
  for (size_t j = 0; j < n; ++j) {
    const py::array& a = inputs[j];
    if (static_cast<size_t>(a.ndim()) != shape.size() ||
        !std::equal(shape.begin(), shape.end(), a.shape())) {
      throw py::value_error("inputs must be broadcast to one shape");
    }
    const bool isDouble = py::isinstance<py::array_t<double>>(a);
    if (!isDouble && (binding.isDouble[j] || !py::isinstance<py::array_t<int32_t>>(a))) {
      throw py::type_error(std::string("input ") + binding.method->inputs[j].name + " must be " +
                           (binding.isDouble[j] ? "float64" : "int32 or float64"));
    }
    strided[j].wholeFromDouble = isDouble && !binding.isDouble[j];
    strided[j].data = static_cast<const char*>(a.data());
    strided[j].strides.assign(a.strides(), a.strides() + a.ndim());
  }
  py::ssize_t count = 1;
  for (py::ssize_t s : shape) count *= s;
  py::array_t<double> values(shape);
  py::array_t<int32_t> codes(shape);
  double* out = values.mutable_data();
  int32_t* status = codes.mutable_data();

  std::mutex failuresMutex;
  std::vector<std::pair<py::ssize_t, std::string>> failures;
  std::atomic<py::ssize_t> firstFailure{count};
  // The first element with an integer input that is not a whole number, and that input.
  std::atomic<py::ssize_t> firstNotWhole{count};
  std::atomic<size_t> notWholeInput{0};
  constexpr py::ssize_t kChunk = 1024;
  std::atomic<py::ssize_t> next{0};
  const size_t dims = shape.size();

  // A failure that is no pricing error (memory running out) stops every thread and is raised
  // again once they are done.
  std::exception_ptr raised;
  auto guarded = [&](auto&& body) {
    try {
      body();
    } catch (...) {
      std::lock_guard<std::mutex> lock(failuresMutex);
      if (!raised) raised = std::current_exception();
      next = count;
    }
  };
  // What the loop reads per element, flat: each input's kind, first element and stride along
  // the last dimension.
  enum Kind : uint8_t { kDouble, kInt32, kWholeDouble };
  std::vector<Kind> kinds(n);
  std::vector<const char*> bases(n);
  std::vector<py::ssize_t> inner(n, 0);
  for (size_t j = 0; j < n; ++j) {
    kinds[j] = binding.isDouble[j] ? kDouble : strided[j].wholeFromDouble ? kWholeDouble : kInt32;
    bases[j] = strided[j].data;
    if (dims > 0) inner[j] = strided[j].strides[dims - 1];
  }
  auto price = [&] {
    std::vector<Argument> args(n);
    std::vector<py::ssize_t> index(dims), offset(n);
    for (py::ssize_t begin; (begin = next.fetch_add(kChunk)) < count;) {
      if (stopAtFirst && begin > firstFailure.load()) break;
      const py::ssize_t end = std::min(count, begin + kChunk);
      // The multi-index of the chunk's first element, and each input's offset there.
      py::ssize_t rest = begin;
      for (size_t d = dims; d-- > 0;) {
        index[d] = rest % shape[d];
        rest /= shape[d];
      }
      for (size_t j = 0; j < n; ++j) {
        offset[j] = 0;
        for (size_t d = 0; d < dims; ++d) offset[j] += index[d] * strided[j].strides[d];
      }
      for (py::ssize_t k = begin; k < end; ++k) {
        size_t notWhole = n;
        for (size_t j = 0; j < n; ++j) {
          const char* p = bases[j] + offset[j];
          if (kinds[j] == kDouble) {
            std::memcpy(&args[j].d, p, sizeof(double));
          } else if (kinds[j] == kWholeDouble) {
            double v;
            std::memcpy(&v, p, sizeof(double));
            if (!ReadInt32(v, args[j].i) && notWhole == n) notWhole = j;
          } else {
            std::memcpy(&args[j].i, p, sizeof(int32_t));
          }
        }
        HRESULT hr = S_OK;
        double result = std::numeric_limits<double>::quiet_NaN();
        if (notWhole < n) {
          std::lock_guard<std::mutex> lock(failuresMutex);
          if (k < firstNotWhole) {
            firstNotWhole = k;
            notWholeInput = notWhole;
          }
        } else {
          hr = binding.call(args, &result);
        }
        out[k] = hr == S_OK ? result : std::numeric_limits<double>::quiet_NaN();
        status[k] = hr;
        if (hr != S_OK) {
          std::string message = FailureMessage();
          std::lock_guard<std::mutex> lock(failuresMutex);
          failures.emplace_back(k, std::move(message));
          if (stopAtFirst) {
            py::ssize_t seen = firstFailure.load();
            while (k < seen && !firstFailure.compare_exchange_weak(seen, k)) {
            }
            break;
          }
        }
        // Step to the next element: the last index first, carrying into the ones before it.
        if (dims == 0) continue;
        for (size_t j = 0; j < n; ++j) offset[j] += inner[j];
        if (++index[dims - 1] < shape[dims - 1]) continue;
        for (size_t d = dims - 1;;) {
          for (size_t j = 0; j < n; ++j) offset[j] -= shape[d] * strided[j].strides[d];
          index[d] = 0;
          if (d-- == 0) break;
          for (size_t j = 0; j < n; ++j) offset[j] += strided[j].strides[d];
          if (++index[d] < shape[d]) break;
        }
      }
    }
  };

  {
    py::gil_scoped_release release;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const py::ssize_t useful = (count + 4 * kChunk - 1) / (4 * kChunk);
    threads =
        static_cast<unsigned>(std::min<py::ssize_t>(threads, std::max<py::ssize_t>(1, useful)));
    auto work = [&] {
      SeedScope seeded(seed);  // every pricing thread, since the seed is per thread
      guarded(price);
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
      try {
        pool.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the others share the work
      }
    }
    work();
    for (std::thread& t : pool) t.join();
  }
  if (raised) std::rethrow_exception(raised);

  if (const py::ssize_t k = firstNotWhole; k < count) {
    // The offending value, read again at its multi-index.
    const Strided& input = strided[notWholeInput];
    const char* p = input.data;
    py::ssize_t rest = k;
    for (size_t d = dims; d-- > 0;) {
      p += (rest % shape[d]) * input.strides[d];
      rest /= shape[d];
    }
    double v;
    std::memcpy(&v, p, sizeof(double));
    throw py::value_error(std::string("input ") + binding.method->inputs[notWholeInput].name +
                          ": '" + Shortest(v) + "' is not a whole number");
  }
  std::sort(failures.begin(), failures.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  if (stopAtFirst && failures.size() > 1) failures.resize(1);
  py::list listed;
  for (auto& [k, message] : failures) listed.append(py::make_tuple(k, message));
  return py::make_tuple(values, codes, listed);
}

// A CSV book priced as `quantrel batch` prices it, without the GIL. Returns (fatal, results,
// statuses, messages): fatal is the program's complaint about the book as a whole ("" when there
// is none), results hold NaN where a row failed.
py::tuple PriceBook(const std::string& text, unsigned threads) {
  std::string fatal;
  std::vector<double> results;
  std::vector<std::string> statuses, messages;
  {
    py::gil_scoped_release release;
    std::istringstream in(text);
    std::ostringstream priced;
    cli::BatchOptions options;
    options.threads = threads;
    const cli::BatchSummary summary = cli::RunBatch(in, priced, options);
    fatal = summary.fatal;
    if (fatal.empty()) {
      std::istringstream back(priced.str());
      cli::CsvReader reader(back);
      cli::CsvRecord record;
      for (bool header = true; reader.Next(record); header = false) {
        if (header) continue;
        const size_t w = record.fields.size();
        if (w < 3) continue;
        const std::string& result = record.fields[w - 3];
        double value = std::numeric_limits<double>::quiet_NaN();
        if (!result.empty()) std::from_chars(result.data(), result.data() + result.size(), value);
        results.push_back(value);
        statuses.push_back(std::move(record.fields[w - 2]));
        messages.push_back(std::move(record.fields[w - 1]));
      }
    }
  }
  py::array_t<double> values(static_cast<py::ssize_t>(results.size()));
  std::copy(results.begin(), results.end(), values.mutable_data());
  return py::make_tuple(fatal, values, statuses, messages);
}

// A double as Python writes it (repr, and pandas in a CSV file): the shortest digits that read
// back as the same double, in fixed notation with at least one decimal for exponents from -4 to
// 15, else in scientific notation ("1e+16", "1.5e-05").
void AppendLikePython(std::string& out, double v) {
  char text[400];
  const std::to_chars_result scientific =
      std::to_chars(text, text + sizeof text, v, std::chars_format::scientific);
  if (scientific.ec != std::errc()) return;
  const char* e = std::find(text, scientific.ptr, 'e');
  int exponent = 0;
  if (e != scientific.ptr) std::from_chars(e + (e[1] == '+' ? 2 : 1), scientific.ptr, exponent);
  if (!std::isfinite(v) || exponent < -4 || exponent >= 16) {
    out.append(text, scientific.ptr);
    return;
  }
  const std::to_chars_result fixed =
      std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
  if (fixed.ec != std::errc()) return;
  out.append(text, fixed.ptr);
  if (std::find(text, fixed.ptr, '.') == fixed.ptr) out += ".0";
}

// A book given as columns, written as the CSV text the program reads and priced. Each column is
// a float64 array (NaN an empty cell, the others as pandas writes them), an int64 array, a list of
// str (as they are), or None: a column whose cells the program never reads, left empty.
py::tuple PriceColumns(const std::vector<std::string>& names, const py::list& columns, size_t rows,
                       unsigned threads) {
  if (columns.size() != names.size()) throw py::value_error("a column per name");
  struct Column {
    const double* doubles = nullptr;
    const int64_t* integers = nullptr;
    std::vector<std::string> texts;
    py::ssize_t stride = 0;  // in elements
  };
  std::vector<Column> cells(names.size());
  std::vector<py::array> kept;  // the arrays read below stay alive
  for (size_t c = 0; c < names.size(); ++c) {
    const py::handle column = columns[c];
    if (column.is_none()) continue;
    if (py::isinstance<py::list>(column)) {
      cells[c].texts = column.cast<std::vector<std::string>>();
      if (cells[c].texts.size() != rows) throw py::value_error("a cell per row");
      continue;
    }
    const py::array a = py::reinterpret_borrow<py::array>(column);
    if (a.ndim() != 1 || static_cast<size_t>(a.shape(0)) != rows) {
      throw py::value_error("a cell per row");
    }
    if (py::isinstance<py::array_t<double>>(a)) {
      cells[c].doubles = static_cast<const double*>(a.data());
      cells[c].stride = a.strides(0) / static_cast<py::ssize_t>(sizeof(double));
    } else if (py::isinstance<py::array_t<int64_t>>(a)) {
      cells[c].integers = static_cast<const int64_t*>(a.data());
      cells[c].stride = a.strides(0) / static_cast<py::ssize_t>(sizeof(int64_t));
    } else {
      throw py::type_error("columns are float64 or int64 arrays, lists of str or None");
    }
    kept.push_back(a);
  }
  std::string text;
  {
    py::gil_scoped_release release;
    for (size_t c = 0; c < names.size(); ++c) {
      if (c) text += ',';
      cli::AppendCsvField(text, names[c]);
    }
    text += '\n';
    char number[32];
    for (size_t r = 0; r < rows; ++r) {
      for (size_t c = 0; c < cells.size(); ++c) {
        if (c) text += ',';
        const Column& column = cells[c];
        const py::ssize_t at = static_cast<py::ssize_t>(r) * column.stride;
        if (column.doubles) {
          const double v = column.doubles[at];
          if (!std::isnan(v)) AppendLikePython(text, v);
        } else if (column.integers) {
          const auto [end, ec] = std::to_chars(number, number + sizeof number, column.integers[at]);
          text.append(number, ec == std::errc() ? end : number);
        } else if (!column.texts.empty()) {
          cli::AppendCsvField(text, column.texts[r]);
        }
      }
      text += '\n';
    }
  }
  return PriceBook(text, threads);
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The compiled core of the quantrel package.";
  m.def("methods", &MethodList, "Every method of the catalogue, with its inputs.");
  m.def("enumerations", &EnumerationTable, "Every enumeration: name -> [(member, value)].");
  m.def("error_codes", &ErrorTable, "Every error code: [(name, code, description)].");
  m.def("call_scalar", &CallScalar, py::arg("dispatch_id"), py::arg("values"),
        py::arg("seed") = py::none());
  m.def("call_array", &CallArray, py::arg("dispatch_id"), py::arg("inputs"),
        py::arg("stop_at_first"), py::arg("threads"), py::arg("seed") = py::none());
  m.def("price_book", &PriceBook, py::arg("text"), py::arg("threads"));
  m.def("price_columns", &PriceColumns, py::arg("names"), py::arg("columns"), py::arg("rows"),
        py::arg("threads"));
  m.def("hardware_threads", [] { return std::max(1u, std::thread::hardware_concurrency()); });
}
