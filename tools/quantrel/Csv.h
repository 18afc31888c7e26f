// Comma-separated values as spreadsheets write them: fields may be quoted, quoted fields may hold
// commas, doubled quotes and line breaks; lines end in LF or CRLF.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quantrel::cli {

struct CsvRecord {
  std::vector<std::string> fields;
  size_t line = 0;         // where the record starts, from 1
  bool malformed = false;  // a quoted field that never closes
  bool blank() const { return fields.size() == 1 && fields[0].empty() && !malformed; }
};

class CsvReader {
 public:
  explicit CsvReader(std::istream& in) : in_(in) {}
  // The next record; false at the end of the input.
  bool Next(CsvRecord& record);

 private:
  std::istream& in_;
  size_t line_ = 0;
  bool first_ = true;
};

// Splits one record held in memory (for tests and small inputs).
std::vector<std::string> SplitCsvLine(std::string_view line);

// Appends a field, quoted when it holds a comma, quote, line break or leading/trailing blank.
void AppendCsvField(std::string& out, std::string_view field);

}  // namespace quantrel::cli
