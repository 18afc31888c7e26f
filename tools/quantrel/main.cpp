// quantrel: price exotic options from the shell or a CSV book.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Pricing.h"

namespace {

using namespace quantrel;
using namespace quantrel::cli;

// Exit codes.
constexpr int kOk = 0;
constexpr int kPricingFailed = 1;  // the contract could not be priced (or, with --strict, a row)
constexpr int kUsage = 2;          // the command line or the file's header is wrong
constexpr int kIoError = 3;        // a file could not be read or written

constexpr const char* kUsageText = R"(usage:
  quantrel                          price the bundled example books (as 'quantrel batch')
  quantrel list                     the available pricing methods
  quantrel help METHOD              a method's inputs: order, type, members, defaults
  quantrel METHOD Name=Value ... [--seed N]
                                    price one contract; prints the result
  quantrel batch [FILE|-] [--output FILE] [--threads N] [--strict] [--timing] [--seed N]
                                    price a CSV book (no FILE: the example books)
  quantrel --help | --version

Names are case-insensitive. An enumeration input takes a member name (Down_Out, Delta, Years)
or its number; omitted optional inputs take their defaults (TimeFormat 0 is Days).

A batch file has a header row with a Method column and one column per input name; each row is
one contract, an empty cell an omitted input. Other columns (an Id, a note) are carried through.
The output repeats the columns and adds Result, Status (0 or the error code) and Message.

The Monte Carlo methods seed from the clock unless given a seed (a whole number from 0 to
4294967295): --seed N for every such contract, or a Seed column in a batch for its row.

exit codes: 0 success; 1 the contract could not be priced (batch: with --strict, some row
failed); 2 usage error; 3 a file could not be read or written.
)";

int Fail(int code, const std::string& message) {
  std::cerr << "quantrel: " << message << "\n";
  return code;
}

int List() {
  for (const MethodSpec& m : Methods()) {
    if (FindAvailableMethod(m.name)) std::printf("%-22s %s\n", m.name, m.helpString);
  }
  return kOk;
}

int Help(const std::string& name) {
  const MethodBinding* method = FindAvailableMethod(name);
  if (!method) return Fail(kUsage, "unknown method '" + name + "' (see 'quantrel list')");
  const MethodSpec& m = *method->method;
  std::printf("%s: %s\n\ninputs, in order:\n", m.name, m.helpString);
  int position = 1;
  for (const InputSpec& in : m.inputs) {
    std::printf("  %2d  %-18s %s", position++, in.name, DescribeType(in).c_str());
    if (in.optional) {
      std::printf("; optional, omitted = %s", DescribeDefault(in).c_str());
    } else {
      std::printf("; required");
    }
    std::printf("\n");
  }
  std::printf("\nexample: quantrel %s", m.name);
  for (const InputSpec& in : m.inputs) {
    if (!in.optional) std::printf(" %s=...", in.name);
  }
  std::printf("\n");
  return kOk;
}

// Reads the number after --seed.
bool SeedOption(const std::vector<std::string>& args, size_t& i, std::optional<uint32_t>& seed,
                std::string& error) {
  if (++i == args.size()) {
    error = "--seed needs a number";
    return false;
  }
  uint32_t value = 0;
  if (!ParseSeed(args[i], value, error)) return false;
  seed = value;
  return true;
}

int PriceOne(const std::string& name, const std::vector<std::string>& args) {
  const MethodBinding* method = FindAvailableMethod(name);
  if (!method) {
    return Fail(kUsage, "unknown method or command '" + name + "' (see 'quantrel list')");
  }
  std::vector<std::string> assignments;
  std::optional<uint32_t> seed;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (args[i] != "--seed") {
      assignments.push_back(args[i]);
    } else if (!SeedOption(args, i, seed, error)) {
      return Fail(kUsage, error);
    }
  }
  const Outcome outcome = PriceFromAssignments(*method, assignments, seed);
  if (!outcome.ok()) {
    const std::string status = StatusName(outcome.status);
    std::cerr << "quantrel: error " << FormatStatus(outcome.status)
              << (status.empty() ? "" : " " + status) << ": " << outcome.message << "\n";
    const bool usage = (static_cast<uint32_t>(outcome.status) >> 16) == 0x8002;
    return usage ? kUsage : kPricingFailed;
  }
  std::printf("%s\n", FormatNumber(outcome.result).c_str());
  return kOk;
}

int Batch(const std::vector<std::string>& args) {
  std::string inputPath, outputPath;
  BatchOptions options;
  bool strict = false, timing = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--output" || a == "-o") {
      if (++i == args.size()) return Fail(kUsage, a + " needs a file name");
      outputPath = args[i];
    } else if (a == "--threads") {
      if (++i == args.size()) return Fail(kUsage, "--threads needs a number");
      char* end = nullptr;
      const long n = std::strtol(args[i].c_str(), &end, 10);
      if (*end || n < 1 || n > 1024) return Fail(kUsage, "--threads takes a number from 1 to 1024");
      options.threads = static_cast<unsigned>(n);
    } else if (a == "--seed") {
      std::string error;
      if (!SeedOption(args, i, options.seed, error)) return Fail(kUsage, error);
    } else if (a == "--strict") {
      strict = true;
    } else if (a == "--timing") {
      timing = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      return Fail(kUsage, "unknown option " + a);
    } else if (inputPath.empty()) {
      inputPath = a;
    } else {
      return Fail(kUsage, "one input file at most");
    }
  }

  std::ifstream file;
  std::istream* in = &std::cin;
  if (!inputPath.empty() && inputPath != "-") {
    file.open(inputPath, std::ios::binary);
    if (!file) return Fail(kIoError, "cannot read " + inputPath + ": " + std::strerror(errno));
    file.seekg(0, std::ios::end);
    options.inputBytes = static_cast<uint64_t>(std::max<std::streamoff>(0, file.tellg()));
    file.seekg(0);
    in = &file;
  }
  std::ofstream outFile;
  std::ostream* out = &std::cout;
  if (!outputPath.empty()) {
    outFile.open(outputPath, std::ios::binary);
    if (!outFile) return Fail(kIoError, "cannot write " + outputPath + ": " + std::strerror(errno));
    out = &outFile;
  }
  options.progress = ::isatty(STDERR_FILENO) != 0;

  std::ios::sync_with_stdio(false);
  BatchSummary summary;
  if (inputPath.empty()) {
    // The example books, one after another, each under a line naming it.
    for (const ExampleBook& book : ExampleBooks()) {
      if (summary.rows) *out << "\n";
      *out << "# " << book.name << "\n";
      std::istringstream text(book.text);
      const BatchSummary one = RunBatch(text, *out, options);
      summary.rows += one.rows, summary.failed += one.failed;
      summary.reading += one.reading, summary.pricing += one.pricing;
      summary.writing += one.writing;
    }
  } else {
    summary = RunBatch(*in, *out, options);
  }
  out->flush();
  if (!summary.fatal.empty()) return Fail(kUsage, summary.fatal);
  if (in->bad()) return Fail(kIoError, "reading the input failed");
  if (!*out) return Fail(kIoError, "writing the output failed");
  if (timing || summary.failed) {
    std::fprintf(stderr, "quantrel: %llu rows priced, %llu with errors\n",
                 static_cast<unsigned long long>(summary.rows),
                 static_cast<unsigned long long>(summary.failed));
  }
  if (timing) {
    std::fprintf(stderr, "quantrel: reading %.3f s, pricing %.3f s, writing %.3f s\n",
                 summary.reading.count(), summary.pricing.count(), summary.writing.count());
  }
  return strict && summary.failed ? kPricingFailed : kOk;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Batch({});
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || (command == "help" && rest.empty())) {
    std::fputs(kUsageText, stdout);
    return kOk;
  }
  if (command == "--version") {
    std::printf("quantrel %s\n", QUANTREL_VERSION);
    return kOk;
  }
  if (command == "list") return rest.empty() ? List() : Fail(kUsage, "list takes no arguments");
  if (command == "help") {
    return rest.size() == 1 ? Help(rest[0]) : Fail(kUsage, "usage: quantrel help METHOD");
  }
  if (command == "batch") return Batch(rest);
  if (!command.empty() && command[0] == '-') return Fail(kUsage, "unknown option " + command);
  return PriceOne(command, rest);
}
