#include "tools/quantrel/Csv.h"

#include <sstream>

namespace quantrel::cli {

bool CsvReader::Next(CsvRecord& record) {
  record.fields.clear();
  record.malformed = false;
  std::string line;
  if (!std::getline(in_, line)) return false;
  ++line_;
  record.line = line_;
  if (first_) {
    first_ = false;
    if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);  // a byte-order mark
  }

  std::string field;
  bool quoted = false;     // inside quotes
  bool wasQuoted = false;  // the current field began with a quote
  for (;;) {
    if (!line.empty() && line.back() == '\r' && !quoted) line.pop_back();
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted) {
        if (c == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            quoted = false;
          }
        } else {
          field += c;
        }
      } else if (c == '"' && field.empty() && !wasQuoted) {
        quoted = wasQuoted = true;
      } else if (c == ',') {
        record.fields.push_back(std::move(field));
        field.clear();
        wasQuoted = false;
      } else {
        field += c;
      }
    }
    if (!quoted) break;
    // A line break inside quotes belongs to the field.
    if (!std::getline(in_, line)) {
      record.malformed = true;
      break;
    }
    ++line_;
    field += '\n';
  }
  if (!field.empty() && field.back() == '\r' && !wasQuoted) field.pop_back();
  record.fields.push_back(std::move(field));
  return true;
}

std::vector<std::string> SplitCsvLine(std::string_view line) {
  std::istringstream in{std::string(line)};
  CsvReader reader(in);
  CsvRecord record;
  reader.Next(record);
  return record.fields;
}

void AppendCsvField(std::string& out, std::string_view field) {
  const bool needsQuotes = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                           (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  if (!needsQuotes) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace quantrel::cli
