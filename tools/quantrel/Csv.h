// Comma-separated values as spreadsheets write them: fields may be quoted, quoted fields may hold
// commas, doubled quotes and line breaks; records end in LF or CRLF.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quantrel::cli {

struct CsvRecord {
  std::vector<std::string> fields;
  size_t line = 0;         // where the record starts, from 1
  bool malformed = false;  // a quoted field that never closes
  // The line of a carriage return outside quotes that ends no line (a book with CR-only line
  // endings), or 0; the carriage return is kept in its field.
  size_t strayCarriageReturn = 0;
  size_t bytes = 0;  // its size in the input, line end included
  // A line with nothing on it but blanks.
  bool blank() const {
    return fields.size() == 1 && !malformed &&
           fields[0].find_first_not_of(" \t") == std::string::npos;
  }
};

class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : in_(in) {}
  // The next record; false at the end of the input (or when reading it fails, see failed()).
  bool Next(CsvRecord& record);
  // Reading the input failed (an error, not its end).
  bool failed() const { return in_.bad(); }
  // Bytes of the input taken into records so far.
  uint64_t consumed() const { return before_ + position_; }

 private:
  // Makes at least one byte available; false at the end of the input.
  bool Fill();

  std::istream& in_;
  std::array<char, 65536> buffer_;
  size_t position_ = 0, end_ = 0;
  uint64_t before_ = 0;  // bytes of the input before the buffer
  bool atEnd_ = false;
  bool first_ = true;
  size_t line_ = 1;  // the line the next byte is on
};

// Splits one record held in memory (for tests and small inputs).
std::vector<std::string> SplitCsvLine(std::string_view line);

// Appends a field, quoted when it holds a comma, quote, line break or leading/trailing blank.
void AppendCsvField(std::string& out, std::string_view field);

}  // namespace quantrel::cli
