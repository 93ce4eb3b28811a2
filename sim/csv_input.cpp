#include "sim/csv_input.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "sim/decimal_number.h"
#include "sim/native_file.h"
#include "sim/options.h"
#include "sim/quoted_text.h"

namespace sim {
namespace {

constexpr size_t kBufferSize = 1 << 16;
constexpr size_t kLongestLine = 4096;

std::string_view trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A field as spreadsheets write it: blanks around it, perhaps in quotes.
std::string_view fieldText(std::string_view field) {
  field = trimmed(field);
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
    field = trimmed(field.substr(1, field.size() - 2));
  return field;
}

// The separator a one-column line seems to use instead of commas.
const char* otherSeparator(std::string_view line) {
  if (line.find(';') != std::string_view::npos) return "semicolons";
  if (line.find('\t') != std::string_view::npos) return "tabs";
  if (line.find(' ') != std::string_view::npos) return "spaces";
  return nullptr;
}

// Length of the UTF-8 sequence at text[at], or 0 when it is not one.
size_t utf8Length(std::string_view text, size_t at) {
  unsigned char c = static_cast<unsigned char>(text[at]);
  size_t length = c < 0x80                 ? 1
                  : c >= 0xC2 && c <= 0xDF ? 2
                  : c >= 0xE0 && c <= 0xEF ? 3
                  : c >= 0xF0 && c <= 0xF4 ? 4
                                           : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  return length;
}

// Why a line is not text, or null when it is.
const char* notText(std::string_view line) {
  for (size_t at = 0; at < line.size();) {
    unsigned char c = static_cast<unsigned char>(line[at]);
    if (c == 0) return "it holds NUL bytes (UTF-16 or UTF-32 text, or not text at all)";
    if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7f)
      return "it holds control bytes (not a text file?)";
    size_t length = utf8Length(line, at);
    if (length == 0) return "it is not UTF-8 text";
    at += length;
  }
  return nullptr;
}

const char* byteOrderMarkFault(std::string_view start) {
  auto begins = [&](const char* mark, size_t n) {
    return start.substr(0, n) == std::string_view(mark, n);
  };
  if (begins("\xFF\xFE\0\0", 4) || begins("\0\0\xFE\xFF", 4)) return "it is UTF-32 text";
  if (begins("\xFF\xFE", 2) || begins("\xFE\xFF", 2)) return "it is UTF-16 text";
  return nullptr;
}

}  // namespace

CsvInput::~CsvInput() {
  if (file_ != nullptr) std::fclose(file_);
}

std::string CsvInput::where() const {
  return path_ + ":" + std::to_string(lineNumber_) + ": ";
}

bool CsvInput::open(const std::string& path, std::string& error) {
  path_ = path;
  PathStatus status = pathStatus(path);
  if (status.error != 0) {
    error = "cannot open input file " + quotedText(path) + ": " + std::strerror(status.error);
    return false;
  }
  if (status.directory) {
    error = "input " + quotedText(path) + " is a directory, not a file";
    return false;
  }
  if (!status.regular) {
    error = "input " + quotedText(path) +
            " is not a regular file (it is read twice: checked, then run)";
    return false;
  }
  file_ = openFile(path, "rb");
  if (file_ == nullptr) {
    error = "cannot open input file " + quotedText(path) + ": " + std::strerror(errno);
    return false;
  }
  buffer_.resize(kBufferSize);
  if (!start(error)) return false;
  StepInput volts;
  Line line;
  while ((line = nextRow(volts, error)) != Line::kEnd) {
    if (line == Line::kFault) return false;
    if (++rows_ > kMaxSteps) {
      error = where() + "more than " + std::to_string(kMaxSteps) + " rows of volts";
      return false;
    }
  }
  if (rows_ == 0) {
    error = path + ": no rows of volts";
    return false;
  }
  return start(error);
}

// Back to the first byte, past a UTF-8 byte-order mark.
bool CsvInput::start(std::string& error) {
  if (std::fseek(file_, 0, SEEK_SET) != 0) {
    error = "cannot read input file " + quotedText(path_) + ": " + std::strerror(errno);
    return false;
  }
  begin_ = end_ = 0;
  rowsGiven_ = 0;
  eof_ = false;
  lineNumber_ = 0;
  sawContent_ = false;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  std::string_view head(buffer_.data(), end_);
  if (const char* fault = byteOrderMarkFault(head)) {
    error = path_ + ": " + fault + "; save it as UTF-8";
    return false;
  }
  if (head.substr(0, 3) == "\xEF\xBB\xBF") begin_ = 3;
  return true;
}

bool CsvInput::readLine(std::string_view& line, std::string& error) {
  for (;;) {
    const char* from = buffer_.data() + begin_;
    const void* newline = std::memchr(from, '\n', end_ - begin_);
    if (newline != nullptr || (eof_ && begin_ < end_)) {
      size_t length = newline != nullptr ? static_cast<const char*>(newline) - from : end_ - begin_;
      line = std::string_view(from, length);
      begin_ += length + (newline != nullptr ? 1 : 0);
      ++lineNumber_;
      if (length <= kLongestLine) return true;
      error = where() + "line longer than " + std::to_string(kLongestLine) + " bytes";
      return false;
    }
    if (eof_) return false;
    if (end_ - begin_ > kLongestLine) {
      ++lineNumber_;
      error = where() + "line longer than " + std::to_string(kLongestLine) + " bytes";
      return false;
    }
    std::memmove(buffer_.data(), from, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0 && std::ferror(file_)) {
      error = "cannot read input file " + quotedText(path_) + ": " + std::strerror(errno);
      return false;
    }
    end_ += got;
    eof_ = got == 0;
  }
}

CsvInput::Line CsvInput::nextRow(StepInput& volts, std::string& error) {
  std::string_view line;
  for (;;) {
    error.clear();
    if (!readLine(line, error)) return error.empty() ? Line::kEnd : Line::kFault;
    Line kind = parseLine(line, volts, error);
    if (kind != Line::kSkipped) return kind;
  }
}

CsvInput::Line CsvInput::parseLine(std::string_view line, StepInput& volts, std::string& error) {
  if (const char* fault = notText(line)) {
    error = path_ + ": " + fault + " (line " + std::to_string(lineNumber_) + ")";
    return Line::kFault;
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (trimmed(line).empty()) return Line::kSkipped;
  size_t comma = line.find(',');
  size_t commas = 0;
  for (char c : line) commas += c == ',' ? 1 : 0;
  if (commas != 1) {
    error = where() + "expected 2 comma-separated columns of volts, found " +
            std::to_string(commas + 1);
    const char* other = commas == 0 ? otherSeparator(trimmed(line)) : nullptr;
    if (other != nullptr) error += std::string("; the line looks separated by ") + other;
    return Line::kFault;
  }
  std::string_view fields[2] = {fieldText(line.substr(0, comma)),
                                fieldText(line.substr(comma + 1))};
  DecimalRead reads[2] = {readDecimal(fields[0], volts[0]), readDecimal(fields[1], volts[1])};
  bool header =
      !sawContent_ && reads[0] == DecimalRead::kNotANumber && reads[1] == DecimalRead::kNotANumber;
  sawContent_ = true;
  if (header) return Line::kSkipped;
  for (int i = 0; i < 2; ++i) {
    if (reads[i] == DecimalRead::kOk) continue;
    error = where() + quotedText(fields[i]) +
            (reads[i] == DecimalRead::kOutOfRange ? " is too large for a double"
                                                  : " is not a decimal number of volts");
    return Line::kFault;
  }
  return Line::kRow;
}

// The run takes exactly the rows the check counted: a file edited since then
// must not end the run early as if complete, nor run it past what was checked.
bool CsvInput::next(StepInput& volts, std::string& error) {
  if (rowsGiven_ == rows_) return false;
  Line line = nextRow(volts, error);
  if (line == Line::kRow) {
    ++rowsGiven_;
    return true;
  }
  if (line == Line::kEnd) error = quotedText(path_) + " changed during the run";
  return false;
}

}  // namespace sim
