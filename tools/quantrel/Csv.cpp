#include "tools/quantrel/Csv.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <sstream>

namespace quantrel::cli {

namespace {

constexpr size_t kReadBlock = 1 << 16;

// The bytes that end an unquoted run.
constexpr std::array<bool, 256> kEndsRun = [] {
  std::array<bool, 256> ends{};
  ends[','] = ends['\n'] = ends['\r'] = true;
  return ends;
}();

// The bytes a written field must be quoted for.
constexpr std::array<bool, 256> kNeedsQuotes = [] {
  std::array<bool, 256> needs{};
  needs[','] = needs['"'] = needs['\r'] = needs['\n'] = true;
  return needs;
}();

// Where the next comma is, or the end. Fields are short, so eight bytes are looked at a time in a
// register rather than through a library search: a byte of the word XOR ",,,,,,,," is zero at a
// comma, and the lowest zero byte is the lowest flagged by (x - 0x01..) & ~x & 0x80...
size_t NextComma(std::string_view text, size_t i) {
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= text.size(); i += 8) {
      uint64_t word;
      std::memcpy(&word, text.data() + i, 8);
      const uint64_t x = word ^ 0x2C2C2C2C2C2C2C2Cull;
      const uint64_t zero = (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
      if (zero) return i + static_cast<size_t>(std::countr_zero(zero) / 8);
    }
  }
  while (i < text.size() && text[i] != ',') ++i;
  return i;
}

}  // namespace

bool CsvChunker::Read(std::string& text) {
  if (atEnd_) return false;
  const size_t before = text.size();
  text.resize(before + kReadBlock);
  in_.read(text.data() + before, static_cast<std::streamsize>(kReadBlock));
  const size_t got = static_cast<size_t>(in_.gcount());
  text.resize(before + got);
  if (got < kReadBlock) atEnd_ = true;
  return got > 0;
}

// One pass over the bytes: a line end belongs to the record only outside quotes, so inside a
// quoted field CR and LF are data, while a record ends in LF or CRLF (or the end of the input)
// whatever its fields hold. A quote opens a quoted field only where a field starts.
bool CsvChunker::Next(CsvChunk& chunk, size_t maxRecords, size_t maxBytes) {
  std::string& text = chunk.text;
  text.clear();
  text.append(pending_);
  pending_.clear();
  chunk.records.clear();
  if (text.empty() && !Read(text)) return false;
  if (first_) {
    while (text.size() < 3 && Read(text)) {
    }
    first_ = false;
    if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) {
      text.erase(0, 3);  // a byte-order mark
      consumed_ += 3;
      if (text.empty() && !Read(text)) return false;
    }
  }

  enum class State { FieldStart, Unquoted, Quoted, QuoteInQuotes };
  size_t p = 0;
  while (chunk.records.size() < maxRecords && (chunk.records.empty() || p < maxBytes)) {
    if (p == text.size() && !Read(text)) break;  // no record begins here
    CsvRecordMark mark;
    mark.begin = p;
    mark.line = line_;
    // Most records hold neither a quote nor a carriage return: they end at the next line feed.
    if (const void* lf = std::memchr(text.data() + p, '\n', text.size() - p)) {
      const size_t length = static_cast<size_t>(static_cast<const char*>(lf) - (text.data() + p));
      if (!std::memchr(text.data() + p, '"', length) &&
          !std::memchr(text.data() + p, '\r', length)) {
        mark.end = p + length;
        mark.next = p = mark.end + 1;
        mark.plain = true;
        ++line_;
        chunk.records.push_back(mark);
        continue;
      }
    }
    State state = State::FieldStart;
    for (;;) {
      if (p == text.size() && !Read(text)) {
        mark.malformed = state == State::Quoted;
        mark.end = mark.next = p;
        break;
      }
      const char* const data = text.data();
      const size_t size = text.size();
      if (state == State::Quoted) {
        // Everything up to the next quote is the field's, line breaks included.
        const void* quote = std::memchr(data + p, '"', size - p);
        const size_t to =
            quote ? static_cast<size_t>(static_cast<const char*>(quote) - data) : size;
        line_ += static_cast<size_t>(std::count(data + p, data + to, '\n'));
        p = to;
        if (quote) {
          ++p;
          state = State::QuoteInQuotes;
        }
        continue;
      }
      if (state == State::QuoteInQuotes) {
        if (data[p] == '"') {  // a doubled quote stands for one
          ++p;
          state = State::Quoted;
          continue;
        }
        state = State::Unquoted;  // the quotes have closed; anything up to the comma is kept
      }
      if (state == State::FieldStart && data[p] == '"') {
        ++p;
        state = State::Quoted;
        continue;
      }
      // An unquoted run: up to a comma or a line end; a quote from here on is an ordinary byte.
      while (p < size && !kEndsRun[static_cast<unsigned char>(data[p])]) ++p;
      state = State::Unquoted;
      if (p == size) continue;
      const char c = data[p];
      if (c == ',') {
        ++p;
        state = State::FieldStart;
        continue;
      }
      if (c == '\n') {
        mark.end = p;
        mark.next = p + 1;
        ++line_;
        break;
      }
      // A carriage return ends the record when a line feed or the end of the input follows.
      if (p + 1 == text.size() && !Read(text)) {
        mark.end = p;
        mark.next = p + 1;
        break;
      }
      if (text[p + 1] == '\n') {
        mark.end = p;
        mark.next = p + 2;
        ++line_;
        break;
      }
      if (!mark.strayCarriageReturn) mark.strayCarriageReturn = line_;
      ++p;
    }
    p = mark.next;
    chunk.records.push_back(mark);
  }
  pending_.assign(text, p);
  text.resize(p);
  consumed_ += p;
  return !chunk.records.empty();
}

void SplitCsvRecord(std::string_view text, std::vector<std::string_view>& fields,
                    std::string& scratch) {
  fields.clear();
  scratch.clear();
  scratch.reserve(text.size());  // unquoted text is never longer: views into it stay valid
  size_t i = 0;
  for (;;) {
    size_t comma;
    if (i < text.size() && text[i] == '"') {
      const size_t start = scratch.size();
      for (++i;;) {
        const size_t quote = std::min(text.find('"', i), text.size());
        scratch.append(text, i, quote - i);
        i = quote + 1;
        if (i >= text.size() || text[i] != '"') break;
        scratch += '"';  // a doubled quote stands for one
        ++i;
      }
      i = std::min(i, text.size());
      comma = NextComma(text, i);
      scratch.append(text, i, comma - i);  // after the closing quote, up to the comma
      fields.emplace_back(scratch.data() + start, scratch.size() - start);
    } else {
      comma = NextComma(text, i);
      fields.push_back(text.substr(i, comma - i));
    }
    if (comma == text.size()) return;
    i = comma + 1;
  }
}

bool IsBlankRecord(const std::vector<std::string_view>& fields, const CsvRecordMark& mark) {
  return fields.size() == 1 && !mark.malformed &&
         fields[0].find_first_not_of(" \t") == std::string_view::npos;
}

bool CsvReader::Next(CsvRecord& record) {
  if (next_ == chunk_.records.size()) {
    next_ = 0;
    if (!chunker_.Next(chunk_, 4096, 1 << 20)) return false;
  }
  const CsvRecordMark& mark = chunk_.records[next_++];
  SplitCsvRecord(chunk_.Text(mark), fields_, scratch_);
  record.fields.assign(fields_.begin(), fields_.end());
  record.line = mark.line;
  record.malformed = mark.malformed;
  record.strayCarriageReturn = mark.strayCarriageReturn;
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
  bool needsQuotes = !field.empty() && (field.front() == ' ' || field.back() == ' ');
  for (char c : field) needsQuotes |= kNeedsQuotes[static_cast<unsigned char>(c)];
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
