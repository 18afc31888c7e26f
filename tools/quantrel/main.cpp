// quantrel: price exotic options from the shell or a CSV book.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Pricing.h"

namespace {

using namespace quantrel;
using namespace quantrel::cli;

// Exit codes.
constexpr int kOk = 0;
constexpr int kPricingFailed = 1;  // the contract could not be priced (or, with --strict, a row)
constexpr int kUsage = 2;          // the command line, the book's header or its layout is wrong
constexpr int kIoError = 3;        // a file could not be read or written, or memory ran out

constexpr const char* kUsageText = R"(usage:
  quantrel                          price the bundled example books (as 'quantrel batch')
  quantrel list                     the available pricing methods
  quantrel help METHOD              a method's inputs: order, type, members, defaults
  quantrel METHOD Name=Value ... [--seed N]
                                    price one contract; prints the result
  quantrel batch [FILE|-] [--output FILE|-] [--threads N] [--strict] [--timing] [--seed N]
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
failed); 2 usage error; 3 a file could not be read or written, or memory ran out.
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

// The file a path names, symbolic links followed to their end (which may not exist yet).
std::string FollowLinks(std::string path) {
  for (int links = 0; links < 40; ++links) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) == target.size()) break;
    target.resize(static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    path = target.front() == '/' || slash == std::string::npos ? target
                                                               : path.substr(0, slash + 1) + target;
  }
  return path;
}

// The temporary output file, removed if the program is interrupted before it is renamed.
char g_temporary[4096];

void RemoveTemporaryAndStop(int signal) {
  if (g_temporary[0]) ::unlink(g_temporary);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Where the priced book goes. A regular file (or none yet) is written beside as a temporary file
// and renamed over it only when the run succeeds, so a failed run leaves it as it was; standard
// output, a device or a pipe is written as the rows come.
class Output {
 public:
  ~Output() { Abandon(); }

  // An error message, or "" when the output is ready.
  std::string Open(const std::string& path) {
    if (path == "-") return {};
    const std::string real = FollowLinks(path);
    struct stat st {};
    const bool exists = ::stat(real.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return "cannot write " + path + ": it is a directory";
    if (exists && !S_ISREG(st.st_mode)) {
      file_.open(real, std::ios::binary);
      return file_ ? "" : "cannot write " + path + ": " + std::strerror(errno);
    }
    std::string name = real + ".tmp.XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return "cannot write beside " + path + ": " + std::strerror(errno);
    std::snprintf(g_temporary, sizeof g_temporary, "%s", name.c_str());
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, RemoveTemporaryAndStop);
    ::close(fd);
    temporary_ = name;
    target_ = real;
    // The book will take the mode (and owner, where allowed) of the file it replaces; a new one
    // gets what any new file would.
    if (exists) {
      mode_ = st.st_mode & 07777;
      owner_ = {st.st_uid, st.st_gid};
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode_ = 0666 & ~mask;
    }
    file_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!file_) return "cannot write beside " + path + ": " + std::strerror(errno);
    return {};
  }

  std::ostream& stream() { return file_.is_open() ? static_cast<std::ostream&>(file_) : std::cout; }

  // Puts the finished book in place; an error message, or "".
  std::string Commit(const std::string& path) {
    stream().flush();
    if (!stream()) return "cannot write " + path + ": " + std::strerror(errno);
    if (!file_.is_open()) return {};
    file_.close();
    if (!file_) return "cannot write " + path + ": " + std::strerror(errno);
    if (temporary_.empty()) return {};
    if (owner_ && ::chown(temporary_.c_str(), owner_->first, owner_->second) != 0) {
      // Only a privileged process may give a file away; the mode still applies.
    }
    // On disk before it takes the old book's place, so that a crash leaves one or the other.
    const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced || ::chmod(temporary_.c_str(), mode_) != 0 ||
        ::rename(temporary_.c_str(), target_.c_str()) != 0) {
      return "cannot write " + path + ": " + std::strerror(errno);
    }
    temporary_.clear();
    g_temporary[0] = '\0';
    return {};
  }

  // Leaves an existing output as it was.
  void Abandon() {
    if (file_.is_open()) file_.close();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    g_temporary[0] = '\0';
  }

 private:
  std::ofstream file_;
  std::string temporary_, target_;
  mode_t mode_ = 0644;
  std::optional<std::pair<uid_t, gid_t>> owner_;
};

// Why the last system call failed, for a message.
std::string Reason() {
  return errno ? std::strerror(errno) : "input/output error";
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int Batch(const std::vector<std::string>& args) {
  std::string inputPath, outputPath = "-";
  BatchOptions options;
  bool strict = false, timing = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--output" || a == "-o") {
      if (++i == args.size() || args[i].empty()) return Fail(kUsage, a + " needs a file name");
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
  const std::string inputName = inputPath.empty() || inputPath == "-" ? "the input" : inputPath;
  struct stat input {};
  bool inputIsFile = false;  // a regular file that the output must not replace
  if (inputPath.empty()) {
    // the example books, priced below
  } else if (inputPath == "-") {
    inputIsFile = ::fstat(STDIN_FILENO, &input) == 0 && S_ISREG(input.st_mode);
  } else {
    if (::stat(inputPath.c_str(), &input) != 0) {
      return Fail(kIoError, "cannot read " + inputPath + ": " + std::strerror(errno));
    }
    if (S_ISDIR(input.st_mode))
      return Fail(kIoError, "cannot read " + inputPath + ": it is a directory");
    inputIsFile = S_ISREG(input.st_mode);
    file.open(inputPath, std::ios::binary);
    if (!file) return Fail(kIoError, "cannot read " + inputPath + ": " + std::strerror(errno));
    options.inputBytes = inputIsFile ? static_cast<uint64_t>(input.st_size) : 0;
    in = &file;
  }
  // Writing the book onto itself would destroy it before it is read.
  struct stat output {};
  const bool outputExists = outputPath == "-" ? ::fstat(STDOUT_FILENO, &output) == 0
                                              : ::stat(outputPath.c_str(), &output) == 0;
  if (inputIsFile && outputExists && SameFile(input, output)) {
    return Fail(kUsage, (outputPath == "-" ? std::string("standard output") : outputPath) +
                            " is the input file: write the priced book elsewhere");
  }
  Output out;
  if (const std::string error = out.Open(outputPath); !error.empty()) return Fail(kIoError, error);
  options.progress = ::isatty(STDERR_FILENO) != 0;

  std::ios::sync_with_stdio(false);
  BatchSummary summary;
  errno = 0;  // so that a failure below is told by its own cause
  try {
    if (inputPath.empty()) {
      // The example books, one after another, each under a line naming it.
      for (const ExampleBook& book : ExampleBooks()) {
        if (summary.rows) out.stream() << "\n";
        out.stream() << "# " << book.name << "\n";
        std::istringstream text(book.text);
        const BatchSummary one = RunBatch(text, out.stream(), options);
        summary.rows += one.rows, summary.failed += one.failed;
        summary.reading += one.reading, summary.pricing += one.pricing;
        summary.writing += one.writing;
        summary.writeFailed = summary.writeFailed || one.writeFailed;
        if (!one.fatal.empty()) summary.fatal = one.fatal;
      }
    } else {
      summary = RunBatch(*in, out.stream(), options);
    }
  } catch (const std::bad_alloc&) {
    return Fail(kIoError, "out of memory: the book's widest row does not fit");
  }
  if (summary.readFailed || in->bad()) {
    return Fail(kIoError, "cannot read " + inputName + ": " + Reason());
  }
  if (!summary.fatal.empty()) return Fail(kUsage, summary.fatal);
  const std::string outputName = outputPath == "-" ? "standard output" : outputPath;
  if (summary.writeFailed) {
    return Fail(kIoError, "cannot write " + outputName + ": " + Reason());
  }
  if (const std::string error = out.Commit(outputName); !error.empty())
    return Fail(kIoError, error);
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
