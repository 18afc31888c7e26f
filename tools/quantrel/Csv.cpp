#include "tools/quantrel/Csv.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace quantrel::cli {

bool CsvReader::Fill() {
  if (position_ < end_) return true;
  if (atEnd_) return false;
  before_ += end_;
  position_ = end_ = 0;
  in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  end_ = static_cast<size_t>(in_.gcount());
  if (end_ == 0) atEnd_ = true;
  return end_ > 0;
}

// A record is read byte by byte from the buffer: a line end belongs to the record only outside
// quotes, so inside a quoted field CR and LF are data and come back as they were, while a record
// ends in LF or CRLF (or the end of the input) whatever its fields hold.
bool CsvReader::Next(CsvRecord& record) {
  record.fields.clear();
  record.malformed = false;
  record.strayCarriageReturn = 0;
  record.bytes = 0;
  if (!Fill()) return false;
  if (first_) {
    first_ = false;
    if (end_ - position_ >= 3 && std::memcmp(&buffer_[position_], "\xEF\xBB\xBF", 3) == 0) {
      position_ += 3;  // a byte-order mark
      if (!Fill()) return false;
    }
  }
  record.line = line_;
  const uint64_t start = consumed();

  enum class State { FieldStart, Unquoted, Quoted, QuoteInQuotes };
  State state = State::FieldStart;
  std::string* field = &record.fields.emplace_back();
  for (;;) {
    if (!Fill()) {
      if (state == State::Quoted) record.malformed = true;
      break;
    }
    const char* const data = buffer_.data();
    if (state == State::Quoted) {
      // Everything up to the next quote is the field's, line breaks included.
      const char* from = data + position_;
      const void* quote = std::memchr(from, '"', end_ - position_);
      const char* to = quote ? static_cast<const char*>(quote) : data + end_;
      field->append(from, to);
      line_ += static_cast<size_t>(std::count(from, to, '\n'));
      position_ = static_cast<size_t>(to - data);
      if (quote) {
        ++position_;
        state = State::QuoteInQuotes;
      }
      continue;
    }
    if (state == State::QuoteInQuotes) {
      if (data[position_] == '"') {  // a doubled quote stands for one
        field->push_back('"');
        ++position_;
        state = State::Quoted;
        continue;
      }
      state = State::Unquoted;  // the quotes have closed; anything up to the comma is kept
    }
    if (state == State::FieldStart && data[position_] == '"') {
      ++position_;
      state = State::Quoted;
      continue;
    }
    // An unquoted run: up to a comma or a line end.
    size_t i = position_;
    while (i < end_ && data[i] != ',' && data[i] != '\n' && data[i] != '\r') ++i;
    field->append(data + position_, data + i);
    position_ = i;
    state = State::Unquoted;  // a quote from here on is an ordinary character
    if (i == end_) continue;
    const char c = data[position_++];
    if (c == ',') {
      field = &record.fields.emplace_back();
      state = State::FieldStart;
      continue;
    }
    if (c == '\n') {
      ++line_;
      break;
    }
    // A carriage return ends the record when a line feed or the end of the input follows.
    if (!Fill()) break;
    if (buffer_[position_] == '\n') {
      ++position_;
      ++line_;
      break;
    }
    if (!record.strayCarriageReturn) record.strayCarriageReturn = line_;
    field->push_back('\r');
  }
  record.bytes = static_cast<size_t>(consumed() - start);
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
