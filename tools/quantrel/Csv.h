// Comma-separated values as spreadsheets write them: fields may be quoted, quoted fields may hold
// commas, doubled quotes and line breaks; records end in LF or CRLF.
//
// Reading comes in two steps so that a book can be read by several threads: CsvChunker finds where
// each record lies (one pass over the bytes, on one thread), and SplitCsvRecord splits a record's
// text into its fields (on any thread). CsvReader puts the two together, a record at a time.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quantrel::cli {

// Where a record lies in its chunk, and what reading it found.
struct CsvRecordMark {
  size_t begin = 0, end = 0;  // its text, line end excluded
  size_t next = 0;            // where the following record begins
  size_t line = 0;            // the line it starts on, from 1
  bool malformed = false;     // a quoted field that never closes
  bool plain = false;         // it holds neither a quote nor a carriage return
  // The line of a carriage return outside quotes that ends no line (a book with CR-only line
  // endings), or 0; the carriage return is kept in its field.
  size_t strayCarriageReturn = 0;
};

// Whole records of the input, as read.
struct CsvChunk {
  std::string text;
  std::vector<CsvRecordMark> records;
  std::string_view Text(const CsvRecordMark& r) const {
    return std::string_view(text).substr(r.begin, r.end - r.begin);
  }
};

class CsvChunker {
 public:
  explicit CsvChunker(std::istream& in) : in_(in) {}
  // Replaces `chunk` with the records that follow: at least one, at most `maxRecords`, and none
  // past the one that brings the chunk to `maxBytes`. False at the end of the input (or when
  // reading it fails, see failed()).
  bool Next(CsvChunk& chunk, size_t maxRecords, size_t maxBytes);
  // Reading the input failed (an error, not its end).
  bool failed() const { return in_.bad(); }
  // Bytes of the input taken into records so far.
  uint64_t consumed() const { return consumed_; }

 private:
  // Appends what the input holds next to `text`; false at its end.
  bool Read(std::string& text);

  std::istream& in_;
  std::string pending_;  // bytes read past the last record handed out
  bool atEnd_ = false;
  bool first_ = true;
  size_t line_ = 1;  // the line the next record starts on
  uint64_t consumed_ = 0;
};

// The fields of one record's text. Views point into `text` or, for quoted fields, into `scratch`,
// which the call fills.
void SplitCsvRecord(std::string_view text, std::vector<std::string_view>& fields,
                    std::string& scratch);

// A record with its fields, for reading a record at a time.
struct CsvRecord {
  std::vector<std::string> fields;
  size_t line = 0;
  bool malformed = false;
  size_t strayCarriageReturn = 0;
  // A line with nothing on it but blanks.
  bool blank() const {
    return fields.size() == 1 && !malformed &&
           fields[0].find_first_not_of(" \t") == std::string::npos;
  }
};

// A line with nothing on it but blanks, from its fields.
bool IsBlankRecord(const std::vector<std::string_view>& fields, const CsvRecordMark& mark);

class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : chunker_(in) {}
  // The next record; false at the end of the input (or when reading it fails, see failed()).
  bool Next(CsvRecord& record);
  bool failed() const { return chunker_.failed(); }

 private:
  CsvChunker chunker_;
  CsvChunk chunk_;
  size_t next_ = 0;
  std::vector<std::string_view> fields_;
  std::string scratch_;
};

// Splits one record held in memory (for tests and small inputs).
std::vector<std::string> SplitCsvLine(std::string_view line);

// Appends a field, quoted when it holds a comma, quote, line break or leading/trailing blank.
void AppendCsvField(std::string& out, std::string_view field);

}  // namespace quantrel::cli
