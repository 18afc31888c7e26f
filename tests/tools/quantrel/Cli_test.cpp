// The command-line program: CSV reading, pricing from text, batches and the program itself.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "quantrel/quantrel.h"
#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Csv.h"
#include "tools/quantrel/Pricing.h"

namespace quantrel::cli {
namespace {

namespace fs = std::filesystem;

std::string Batch(const std::string& csv, unsigned threads = 2, size_t chunk = 8192,
                  BatchSummary* summary = nullptr);

std::vector<std::vector<std::string>> ReadAll(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<std::vector<std::string>> out;
  CsvRecord r;
  while (reader.Next(r))
    out.push_back(r.malformed ? std::vector<std::string>{"<malformed>"} : r.fields);
  return out;
}

TEST(Csv, QuotedFieldsCommasQuotesAndLineBreaks) {
  const auto rows = ReadAll(
      "\xEF\xBB\xBF"
      "a,b,c\r\n\"x, y\",\"say \"\"hi\"\"\",\"two\nlines\"\n,,\n");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"x, y", "say \"hi\"", "two\nlines"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(ReadAll("\"never closed,1\n2,3\n")[0][0], "<malformed>");
}

TEST(Csv, WrittenFieldsReadBackUnchanged) {
  const std::vector<std::string> fields = {"plain", "a,b", "q\"uote", "line\nbreak", " pad ", ""};
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    AppendCsvField(line, fields[i]);
  }
  EXPECT_EQ(ReadAll(line + "\n")[0], fields);
}

// Line ends belong to records, not fields: inside quotes CR and LF are data, a record ends in LF,
// CRLF or the end of the input, and a CR that ends no line is flagged with its line.
TEST(Csv, QuotedLineBreaksComeBackByteForByte) {
  struct Case {
    std::string text;
    std::vector<std::vector<std::string>> records;
    std::vector<size_t> lines, stray;
  };
  const Case cases[] = {
      {"a,\"x\r\ny\"\r\nb,\"z\r\"\r\n", {{"a", "x\r\ny"}, {"b", "z\r"}}, {1, 3}, {0, 0}},
      {"\"first\r\n\",2\r\n", {{"first\r\n", "2"}}, {1}, {0}},
      {"x\n\"two\nlines\"\nz", {{"x"}, {"two\nlines"}, {"z"}}, {1, 2, 4}, {0, 0, 0}},
      {"a,b\r", {{"a", "b"}}, {1}, {0}},
      {"a,b\rc,d\r", {{"a", "b\rc", "d"}}, {1}, {1}},  // CR-only line ends: one flagged record
      {"\"q\"x\"y,\"\"\"\"\n", {{"qx\"y", "\""}}, {1}, {0}},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.text);
    CsvReader reader(in);
    CsvRecord r;
    for (size_t k = 0; k < c.records.size(); ++k) {
      ASSERT_TRUE(reader.Next(r)) << c.text;
      EXPECT_EQ(r.fields, c.records[k]) << c.text;
      EXPECT_EQ(r.line, c.lines[k]) << c.text;
      EXPECT_EQ(r.strayCarriageReturn, c.stray[k]) << c.text;
    }
    EXPECT_FALSE(reader.Next(r)) << c.text;
  }
}

// Random spreadsheet-style records, each ending in LF or CRLF, over many buffer boundaries, are
// carried through a batch unchanged and in order.
TEST(Csv, RandomBooksRoundTripThroughTheReaderAndABatch) {
  std::mt19937 random(11);
  const std::string alphabet = "ab ,\"\r\n\t;x";
  std::string text = "Id,Method,Note\r\n";
  std::vector<std::string> notes;
  for (int row = 0; row < 5000; ++row) {
    std::string note;
    for (size_t n = random() % 100; n > 0; --n) note += alphabet[random() % alphabet.size()];
    notes.push_back(note);
    text += std::to_string(row) + ",Nope,";
    AppendCsvField(text, note);
    text += random() % 2 ? "\r\n" : "\n";
  }
  ASSERT_GT(text.size(), 3 * 65536u);
  const auto priced = ReadAll(Batch(text));
  ASSERT_EQ(priced.size(), notes.size() + 1);
  for (size_t i = 0; i < notes.size(); ++i) {
    EXPECT_EQ(priced[i + 1][0], std::to_string(i));
    EXPECT_EQ(priced[i + 1][2], notes[i]) << i;
  }
}

// However a book is cut into chunks, the same records come out with the same lines and flags, none
// split, and a record marked plain holds neither a quote nor a carriage return.
TEST(Csv, ChunksOfAnySizeGiveTheSameRecords) {
  std::mt19937 random(7);
  const std::string alphabet = "ab ,\"\r\n\t";
  std::string text = "\xEF\xBB\xBF";
  for (int n = 0; n < 3000; ++n) text += alphabet[random() % alphabet.size()];
  auto read = [&](size_t records, size_t bytes) {
    std::istringstream in(text);
    CsvChunker chunker(in);
    CsvChunk chunk;
    std::vector<std::tuple<std::string, size_t, bool, size_t>> out;
    while (chunker.Next(chunk, records, bytes)) {
      EXPECT_LE(chunk.records.size(), records);
      for (const CsvRecordMark& r : chunk.records) {
        const std::string_view t = chunk.Text(r);
        EXPECT_FALSE(r.plain && t.find_first_of("\"\r") != std::string_view::npos) << t;
        out.emplace_back(t, r.line, r.malformed, r.strayCarriageReturn);
      }
    }
    EXPECT_EQ(chunker.consumed(), text.size());
    return out;
  };
  const auto whole = read(1 << 20, 1 << 20);
  ASSERT_GT(whole.size(), 100u);
  for (const auto& [records, bytes] :
       {std::pair<size_t, size_t>{1, 0}, {3, 1}, {7, 64}, {1000, 5}}) {
    EXPECT_EQ(read(records, bytes), whole) << records << " " << bytes;
  }
}

const std::vector<std::string> kForwardStart = {"OptionType=CallOption",
                                                "OptionFunction=Delta_FS",
                                                "AssetPrice=60",
                                                "TimeStart=0.25",
                                                "TimeExpire=1",
                                                "Volatility=0.3",
                                                "InterestRate=0.08",
                                                "YieldRate=0.04",
                                                "Alpha=1.1",
                                                "TimeFormat=Years",
                                                "interestratetype=7"};

TEST(PriceFromText, AgreesWithTheCppInterfaceBitForBit) {
  const Outcome o = PriceFromAssignments(*FindAvailableMethod("forwardstart"), kForwardStart);
  ASSERT_TRUE(o.ok()) << o.message;
  const double expected =
      ForwardStart(CallOption, Delta_FS, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, Years, Annually);
  EXPECT_EQ(std::memcmp(&o.result, &expected, sizeof expected), 0);
  EXPECT_EQ(FormatNumber(o.result), FormatNumber(expected));
  EXPECT_EQ(std::stod(FormatNumber(o.result)), o.result);  // round-trips
}

TEST(PriceFromText, ClearMessagesNamingTheInput) {
  const MethodBinding& fs = *FindAvailableMethod("ForwardStart");
  struct Case {
    std::vector<std::string> change;  // appended or replacing by position
    size_t replace;                   // index to replace, or npos to append
    HRESULT status;
    const char* message;
  };
  const Case cases[] = {
      {{"Strike=3"}, std::string::npos, DISP_E_UNKNOWNNAME, "ForwardStart has no input 'Strike'"},
      {{"alpha=2"}, std::string::npos, DISP_E_PARAMNOTFOUND, "input Alpha given twice"},
      {{"AssetPrice=6o"}, 2, DISP_E_TYPEMISMATCH, "input AssetPrice: '6o' is not a number"},
      {{"OptionType=Cal"},
       0,
       DISP_E_TYPEMISMATCH,
       "input OptionType: 'Cal' is not a member of enumOptionType (CallOption=1, PutOption=2)"},
      {{"OptionType=1.5"},
       0,
       DISP_E_TYPEMISMATCH,
       "input OptionType: '1.5' is not a member of enumOptionType (CallOption=1, PutOption=2)"},
      {{"Alpha"}, 8, DISP_E_TYPEMISMATCH, "expected Name=Value, got 'Alpha'"},
      {{"Alpha=0"}, 8, AlphaErr, "The Alpha must be greater than 0."},
      {{"OptionType=3"}, 0, OptionTypeErr, "The OptionType is invalid."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = kForwardStart;
    if (c.replace == std::string::npos) {
      args.push_back(c.change[0]);
    } else {
      args[c.replace] = c.change[0];
    }
    const Outcome o = PriceFromAssignments(fs, args);
    EXPECT_EQ(o.status, c.status) << c.message;
    EXPECT_EQ(o.message, c.message);
  }
  std::vector<std::string> missing = kForwardStart;
  missing.erase(missing.begin() + 8);
  const Outcome o = PriceFromAssignments(fs, missing);
  EXPECT_EQ(o.status, DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(o.message, "missing required input Alpha");
}

TEST(PriceFromText, StatusesAndHelpText) {
  EXPECT_EQ(FormatStatus(0), "0");
  EXPECT_EQ(FormatStatus(TimeExpireErr), "0x80050006");
  EXPECT_EQ(StatusName(TimeExpireErr), "TimeExpireErr");
  EXPECT_EQ(StatusName(DISP_E_UNKNOWNNAME), "DISP_E_UNKNOWNNAME");
  const MethodSpec& m = *FindMethod("ForwardStart");
  EXPECT_EQ(DescribeDefault(m.inputs[10]), "0 (Days)");
  EXPECT_EQ(DescribeDefault(FindMethod("Spread")->inputs[12]), "1");
}

// --- Batches ---

std::string Batch(const std::string& csv, unsigned threads, size_t chunk, BatchSummary* summary) {
  std::istringstream in(csv);
  std::ostringstream out;
  BatchOptions options;
  options.threads = threads;
  options.chunkRows = chunk;
  const BatchSummary s = RunBatch(in, out, options);
  if (summary) *summary = s;
  return out.str();
}

const char* kHeader =
    "Id,Method,OptionType,OptionFunction,AssetPrice,TimeStart,TimeExpire,Volatility,InterestRate,"
    "YieldRate,Alpha,TimeFormat,StrikePrice,Note\n";

TEST(BatchFile, ColumnsCarriedResultsAddedAndForeignInputsRejected) {
  const std::string csv =
      std::string(kHeader) +
      "a,ForwardStart,CallOption,1,60,0.25,1,0.3,0.08,0.04,1.1,Years,,\"note, with comma\"\n"
      "b,ForwardStart,CallOption,1,60,0.25,1,0.3,0.08,0.04,1.1,Years,100,\n";
  const auto rows = ReadAll(Batch(csv));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].back(), "Message");
  EXPECT_EQ(rows[1][13], "note, with comma");
  EXPECT_EQ(rows[1][14],
            FormatNumber(ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, Years)));
  EXPECT_EQ(rows[1][15], "0");
  EXPECT_EQ(rows[2][14], "");
  EXPECT_EQ(rows[2][15], "0x80020006");
  EXPECT_EQ(rows[2][16], "ForwardStart has no input StrikePrice");
}

TEST(BatchFile, AHeaderWithoutAMethodColumnIsRejected) {
  BatchSummary summary;
  EXPECT_EQ(Batch("Id,AssetPrice\n1,2\n", 1, 8192, &summary), "");
  EXPECT_EQ(summary.fatal, "the header has no Method column");
  Batch("", 1, 8192, &summary);
  EXPECT_FALSE(summary.fatal.empty());
}

// A book that cannot be read as its writer meant it prices nothing and says which line is wrong.
TEST(BatchFile, UnreadableBooksAndMisspeltColumnsAreRefusedNamingWhere) {
  const std::string row = "1,ForwardStart,CallOption,1,60,0.25,1,0.3,0.08,0.04,1.1,Years,,\n";
  std::string crOnly = kHeader + row + row;
  std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
  const std::pair<std::string, std::string> cases[] = {
      {"\"Id,Method\n" + row, "line 1: a quoted field is never closed"},
      {kHeader + row + row + "3,ForwardStart,\"open\n" + row,
       "line 4: a quoted field is never closed"},
      {crOnly,
       "line 1: a carriage return ends a line without a line feed; save the book with LF or CRLF "
       "line endings"},
      {"Id,Method,Time Format\n",
       "column 3 of the header, \"Time Format\", misspells the input TimeFormat: spell it so, or "
       "give the column another name"},
      {"Id,method,time_format\n",
       "column 3 of the header, \"time_format\", misspells the input TimeFormat: spell it so, or "
       "give the column another name"},
      {"Id,Met_hod\n",
       "column 2 of the header, \"Met_hod\", misspells the Method column: spell it so, or give the "
       "column another name"},
      {"Id,Method, Alpha,Alpha\n", "the header names the input column Alpha twice"},
  };
  for (const auto& [csv, fatal] : cases) {
    BatchSummary summary;
    Batch(csv, 1, 8192, &summary);
    EXPECT_EQ(summary.fatal, fatal);
    EXPECT_EQ(summary.rows, 0u) << fatal;
  }
}

// Blanks around header names and Method cells are not part of them, as around any cell; lines of
// blanks are skipped. The header comes back as written.
TEST(BatchFile, NamesAndMethodsAreTrimmedAndBlankLinesSkipped) {
  const std::string csv =
      "Id, Method ,OptionType,OptionFunction,AssetPrice,TimeStart,TimeExpire,Volatility,"
      "InterestRate,YieldRate,Alpha,\tTimeFormat \n"
      "  \t\n"
      "a,\tForwardStart ,CallOption,1,60,0.25,1,0.3,0.08,0.04,1.1,Years\n   \n";
  BatchSummary summary;
  const auto rows = ReadAll(Batch(csv, 1, 8192, &summary));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], " Method ");
  EXPECT_EQ(rows[0][11], "\tTimeFormat ");
  EXPECT_EQ(rows[1][12],
            FormatNumber(ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, Years)));
}

// An output that fails stops the run at once: the rest of the book is not priced for nothing.
TEST(BatchFile, AFailedOutputStopsTheRun) {
  struct Full : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
  } full;
  std::ostream out(&full);
  std::string csv = kHeader;
  for (int i = 0; i < 5000; ++i) csv += "1,ForwardStart,1,1,60,0.25,1,0.3,0.08,0.04,1.1,1,,\n";
  std::istringstream in(csv);
  BatchOptions options;
  options.chunkRows = 100;
  const BatchSummary summary = RunBatch(in, out, options);
  EXPECT_TRUE(summary.writeFailed);
  EXPECT_EQ(summary.rows, 0u);
}

// Ten thousand rows of every kind of trouble: each non-blank row comes back once, in order.
TEST(BatchFile, AMixedBookKeepsEveryRowInOrder) {
  std::mt19937 random(20261208);
  std::string csv = kHeader;
  std::vector<std::string> expectedStatus;
  int id = 0;
  while (id < 10000) {
    const int kind = static_cast<int>(random() % 8);
    if (kind == 7) {
      csv += "\n";  // a blank line: no output row
      continue;
    }
    const std::string rowId = std::to_string(id++);
    const double S = 40 + (random() % 400) / 10.0;
    const std::string price = std::to_string(S);
    switch (kind) {
      case 0:
        csv += rowId + ",ForwardStart,CallOption,Theoretical_FS," + price +
               ",0.25,1,0.3,0.08,0.04,1.1,Years,,\"quoted, with comma\"\n";
        expectedStatus.push_back("0");
        break;
      case 1:
        csv += rowId + ",ForwardStart,PutOption,2," + price + ",0.25,1,0.3,0.08,0.04,1.1,1,,\n";
        expectedStatus.push_back("0");
        break;
      case 2:
        csv += rowId + ",ForwardStart,CallOption,1,abc,0.25,1,0.3,0.08,0.04,1.1,Years,,\n";
        expectedStatus.push_back("0x80020005");
        break;
      case 3:
        csv += rowId + ",NoSuchModel,CallOption,1," + price + ",0.25,1,0.3,0.08,0.04,1.1,Years,,\n";
        expectedStatus.push_back("0x80020006");
        break;
      case 4:
        csv += rowId + ",ForwardStart,CallOption,1," + price + ",0.25,1,0.3,0.08,0.04,,Years,,\n";
        expectedStatus.push_back("0x8002000F");
        break;
      case 5:
        csv += rowId + ",ForwardStart,Straddle,1," + price + ",0.25,1,0.3,0.08,0.04,1.1,Years,,\n";
        expectedStatus.push_back("0x80020005");
        break;
      case 6:
        csv += rowId + ",ForwardStart,CallOption,1," + price + ",0.25,1,0.3,0.08,0.04,0,Years,,\n";
        expectedStatus.push_back("0x8005003C");
        break;
    }
  }
  BatchSummary summary;
  const std::string output = Batch(csv, 2, 777, &summary);  // small chunks: many boundaries
  const auto rows = ReadAll(output);
  ASSERT_EQ(rows.size(), 10001u);
  EXPECT_EQ(summary.rows, 10000u);
  for (size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 17u) << i;
    EXPECT_EQ(rows[i][0], std::to_string(i - 1));
    EXPECT_EQ(rows[i][15], expectedStatus[i - 1]) << "row " << i << ": " << rows[i][16];
    EXPECT_EQ(rows[i][14].empty(), rows[i][15] != "0") << i;
  }
  EXPECT_EQ(Batch(csv, 1, 8192), output);  // one thread, one chunk: the same bytes
  for (const auto& [threads, chunk] : {std::pair<unsigned, size_t>{3, 1}, {64, 100000}}) {
    EXPECT_EQ(Batch(csv, threads, chunk), output) << threads << " threads, chunks of " << chunk;
  }
}

// A column read once is remembered for the rows after it: member names in any case, numbers and
// texts that are no member, many of them in turn, each row still priced as on its own.
TEST(BatchFile, CellsReadAsBeforeWhateverTheOrder) {
  const char* functions[] = {"Theoretical_FS", "delta_fs", "3", "Vega_FS", "Lambda_FS",
                             "nope",           "RHO_FS",   "2", "Gamma_FS"};
  std::string csv = kHeader;
  std::vector<Outcome> expected;
  for (int i = 0; i < 200; ++i) {
    const std::string function = functions[(i * 7) % 9], type = i % 3 ? "CallOption" : "putoption";
    csv += "r,ForwardStart," + type + "," + function + ",60,0.25,1,0.3,0.08,0.04,1.1,Years,,\n";
    std::vector<std::string> args = kForwardStart;
    args[0] = "OptionType=" + type, args[1] = "OptionFunction=" + function;
    args.pop_back();
    expected.push_back(PriceFromAssignments(*FindAvailableMethod("ForwardStart"), args));
  }
  const auto rows = ReadAll(Batch(csv, 2, 16));
  ASSERT_EQ(rows.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows[i + 1][14], expected[i].ok() ? FormatNumber(expected[i].result) : "") << i;
    EXPECT_EQ(rows[i + 1][15], FormatStatus(expected[i].status)) << i;
  }
}

// A book that turns unreadable after its first chunks keeps the rows of the chunks before.
TEST(BatchFile, RowsBeforeAnUnreadableChunkAreWritten) {
  const std::string row = "1,ForwardStart,CallOption,1,60,0.25,1,0.3,0.08,0.04,1.1,Years,,\n";
  std::string csv = kHeader;
  for (int i = 0; i < 40; ++i) csv += row;
  csv += "2,ForwardStart,\"open\n" + row;
  BatchSummary summary;
  const auto rows = ReadAll(Batch(csv, 2, 10, &summary));
  EXPECT_EQ(summary.fatal, "line 42: a quoted field is never closed");
  EXPECT_EQ(summary.rows, 40u);
  EXPECT_EQ(rows.size(), 41u);
}

TEST(BatchFile, TheExampleBooksCoverEveryAvailableMethodWithoutSurprises) {
  std::string output;
  for (const ExampleBook& book : ExampleBooks()) {
    BatchSummary summary;
    output += Batch(book.text, 2, 8192, &summary);
    EXPECT_TRUE(summary.fatal.empty()) << book.name;
  }
  for (const MethodBinding& b : Bindings()) {
    EXPECT_NE(output.find(std::string(",") + b.method->name + ","), std::string::npos)
        << b.method->name;
  }
  // Rows meant to fail say so in their note.
  for (const auto& row : ReadAll(output)) {
    if (row.size() < 3 || row[0] == "Id") continue;
    const std::string& note = row[row.size() - 4];
    EXPECT_EQ(row[row.size() - 2] != "0", note.find("error") != std::string::npos) << row[0];
  }
}

// --- The program ---

struct ProgramRun {
  int exit = 0;
  std::string out;
};

// Runs a shell command in `dir`, $Q standing for the program; its stdout, stderr discarded.
ProgramRun Shell(const fs::path& dir, const std::string& command) {
  const std::string line = "cd '" + dir.string() + "' && Q='" + QUANTREL_PROGRAM + "' && { " +
                           command + "; } 2>/dev/null";
  ProgramRun run;
  FILE* pipe = ::popen(line.c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

ProgramRun Program(const std::string& args) {
  return Shell(fs::current_path(), "$Q " + args + " 2>&1");
}

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A scratch folder per test.
struct Scratch {
  fs::path dir =
      fs::temp_directory_path() / ("quantrel-cli-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  Scratch() {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~Scratch() { fs::remove_all(dir); }
};

// The priced book never lands on its input, however the output is named, and replaces an existing
// output only once the run has succeeded, with that output's mode.
TEST(Program, TheOutputNeverDestroysTheInputAndAppearsOnlyOnSuccess) {
  Scratch scratch;
  const fs::path book = scratch.dir / "book.csv";
  const std::string text = ExampleBooks()[0].text;
  std::ofstream(book, std::ios::binary) << text;
  fs::create_symlink("book.csv", scratch.dir / "link.csv");
  fs::create_hard_link(book, scratch.dir / "hard.csv");
  const std::string folder = scratch.dir.filename().string();
  const std::string commands[] = {"$Q batch book.csv -o book.csv",
                                  "$Q batch ./book.csv --output ../" + folder + "/book.csv",
                                  "$Q batch book.csv -o link.csv",
                                  "$Q batch book.csv -o hard.csv",
                                  "$Q batch - -o book.csv < book.csv",
                                  "$Q batch book.csv >> book.csv"};
  for (const std::string& command : commands) {
    EXPECT_EQ(Shell(scratch.dir, command).exit, 2) << command;
    EXPECT_TRUE(Slurp(book) == text) << "the book changed: " << command;
  }

  // A run that fails (here at the header) leaves an existing output as it was; one that succeeds
  // replaces it with what standard output would show, keeping its mode; no temporary is left.
  const fs::path priced = scratch.dir / "priced.csv";
  std::ofstream(priced) << "kept";
  fs::permissions(priced, fs::perms::owner_read | fs::perms::owner_write);
  std::ofstream(scratch.dir / "bad.csv") << "Id,Time_Format\n1,Years\n";
  EXPECT_EQ(Shell(scratch.dir, "$Q batch bad.csv -o priced.csv").exit, 2);
  EXPECT_EQ(Slurp(priced), "kept");
  EXPECT_EQ(Shell(scratch.dir, "$Q batch book.csv -o priced.csv").exit, 0);
  EXPECT_EQ(Slurp(priced), Shell(scratch.dir, "$Q batch book.csv -o -").out);
  EXPECT_EQ(Slurp(priced), Shell(scratch.dir, "$Q batch - < book.csv").out);
  EXPECT_EQ(fs::status(priced).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  for (const auto& entry : fs::directory_iterator(scratch.dir)) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
  }
  EXPECT_EQ(Shell(scratch.dir, "$Q batch .").exit, 3);  // a folder is no book
}

// Memory follows the widest row, not the book: a header of a hundred thousand empty columns over
// thousands of short rows (each written out a hundred thousand columns wide). Running out of
// memory is an error exit (3), not an abort.
TEST(Program, MemoryFollowsTheWidestRowAndRunningOutIsAnError) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' own memory hides the program's";
#endif
  Scratch scratch;
  const fs::path wide = scratch.dir / "wide.csv", huge = scratch.dir / "huge.csv";
  {
    std::ofstream out(wide, std::ios::binary);
    out << "Method" << std::string(100000, ',') << "\n";
    for (int i = 0; i < 4000; ++i) out << "ForwardStart,1\n";
  }
  std::ofstream(huge, std::ios::binary)
      << "Method,Note\nForwardStart," << std::string(30 << 20, 'a') << "\n";
  struct Run {
    int exit;
    long maxResidentKiB;
  };
  auto run = [](const fs::path& book, rlim_t addressSpace) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      const rlimit limit{addressSpace, addressSpace};
      if (addressSpace) ::setrlimit(RLIMIT_AS, &limit);
      ::freopen("/dev/null", "w", stderr);
      ::execl(QUANTREL_PROGRAM, QUANTREL_PROGRAM, "batch", book.c_str(), "-o", "/dev/null",
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return Run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
  };
  const Run wideRun = run(wide, 0);
  EXPECT_EQ(wideRun.exit, 0);
  EXPECT_LT(wideRun.maxResidentKiB, 100 << 10);  // the whole output is 400 MB
  EXPECT_EQ(run(huge, 40 << 20).exit, 3);        // a 30 MB field in 40 MB of address space
}

TEST(Program, PricesOneContractAndReportsFailures) {
  std::string args = "ForwardStart";
  for (const std::string& a : kForwardStart) args += " " + a;
  const ProgramRun ok = Program(args);
  EXPECT_EQ(ok.exit, 0);
  const double expected =
      ForwardStart(CallOption, Delta_FS, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, Years, Annually);
  EXPECT_EQ(ok.out, FormatNumber(expected) + "\n");

  const ProgramRun failed = Program(args + " MarketPrice=1 OptionFunction=ImpliedStrike");
  EXPECT_EQ(failed.exit, 2);  // OptionFunction given twice
  const ProgramRun model = Program(
      "ForwardStart OptionType=1 OptionFunction=1 AssetPrice=60 TimeStart=2 "
      "TimeExpire=1 Volatility=0.3 InterestRate=0.08 YieldRate=0 Alpha=1");
  EXPECT_EQ(model.exit, 1);
  EXPECT_EQ(model.out,
            "quantrel: error 0x80050033 TimeStartErr: TimeStart must be greater than 0 and less "
            "than the TimeExpire.\n");
  EXPECT_EQ(Program("NoSuchMethod A=1").exit, 2);
  EXPECT_EQ(Program("batch /no/such/file.csv").exit, 3);
  EXPECT_EQ(Program("--bogus").exit, 2);
}

TEST(Program, HelpVersionListAndTheExampleBooks) {
  EXPECT_EQ(Program("--version").exit, 0);
  const ProgramRun help = Program("--help");
  EXPECT_EQ(help.exit, 0);
  EXPECT_NE(help.out.find("exit codes"), std::string::npos);
  const ProgramRun list = Program("list");
  EXPECT_NE(list.out.find("ForwardStart"), std::string::npos);
  const ProgramRun method = Program("help forwardstart");
  EXPECT_NE(method.out.find("TimeFormat         enumTimeFormat (Days=0, Years=1)"),
            std::string::npos);
  const ProgramRun book = Program("");
  EXPECT_EQ(book.exit, 0);
  EXPECT_NE(book.out.find("FS-1,ForwardStart"), std::string::npos);
}

}  // namespace
}  // namespace quantrel::cli
