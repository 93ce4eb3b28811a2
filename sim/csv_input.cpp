#include "sim/csv_input.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "sim/decimal_number.h"
#include "sim/input_spool.h"
#include "sim/native_file.h"
#include "sim/options.h"
#include "sim/quoted_text.h"
#include "sim/trace_csv.h"
#include "sim/utf8_text.h"

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

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Why a line with the wrong number of fields may be so, or empty.
std::string separatorHint(std::string_view line, size_t commas) {
  for (size_t at = line.find(','); at != std::string_view::npos; at = line.find(',', at + 1)) {
    if (line.find(';') != std::string_view::npos && at > 0 && isDigit(line[at - 1]) &&
        at + 1 < line.size() && isDigit(line[at + 1]))
      return "; the line looks written with decimal commas: write decimals with a point and "
             "separate columns with commas";
  }
  const char* other = commas == 0 ? otherSeparator(line) : nullptr;
  return other != nullptr ? std::string("; the line looks separated by ") + other : "";
}

const char* kLoneCarriageReturns =
    "its lines end with CR alone (old Mac text); save it with LF or CRLF line endings";

// A header's name for a column: 0 ao0, 1 ao1, 2 time, -1 another name.
int columnKind(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == "ao0" || lower == "ao0_v") return 0;
  if (lower == "ao1" || lower == "ao1_v") return 1;
  if (lower == "time" || lower == "time_s") return 2;
  return -1;
}

// What subtracting two times may round away, besides the relative 1e-9 a
// time column may stray from its step.
double stepTolerance(double before, double after, double step) {
  double larger = std::max(std::fabs(before), std::fabs(after));
  return 1e-9 * step + 4 * (std::nextafter(larger, INFINITY) - larger);
}

bool oneStepApart(double before, double after, double step) {
  return after > before && std::fabs((after - before) - step) <= stepTolerance(before, after, step);
}

// The step the first two times make, as the fewest digits within the
// tolerance: 5.01 - 5 is 0.01, not 0.009999999999999787.
double shortestStep(double before, double after) {
  const double step = after - before;
  const double tolerance = stepTolerance(before, after, step);
  char text[32];
  for (int digits = 1; digits < 17; ++digits) {
    char* end =
        std::to_chars(text, text + sizeof text, step, std::chars_format::general, digits).ptr;
    double shorter = 0.0;
    std::from_chars(text, end, shorter);
    if (std::fabs(shorter - step) <= tolerance) return shorter;
  }
  return step;
}

// Why a line is not text, or null when it is.
const char* notText(std::string_view line) {
  for (size_t at = 0; at < line.size();) {
    unsigned char c = static_cast<unsigned char>(line[at]);
    if (c == 0) return "it holds NUL bytes (UTF-16 or UTF-32 text, or not text at all)";
    if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7f)
      return "it holds control bytes (not a text file?)";
    size_t length = utf8CharacterLength(line, at);
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
  if (begins("\xFF\xFE", 2)) return "it is UTF-16 text (little-endian)";
  if (begins("\xFE\xFF", 2)) return "it is UTF-16 text (big-endian)";
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
  path_ = path == "-" ? "standard input" : path;
  PathStatus status = path == "-" ? PathStatus{} : pathStatus(path);
  if (status.error != 0) {
    fileFault_ = true;
    error = "cannot open input file " + quotedText(path) + ": " + std::strerror(status.error);
    return false;
  }
  if (status.directory) {
    fileFault_ = true;
    error = "input " + quotedText(path) + " is a directory, not a file";
    return false;
  }
  // A stream is read twice, checked then run, from a copy of it.
  file_ = status.regular ? openFile(path, "rb") : spooledCopy(path, error);
  if (file_ == nullptr && !error.empty()) {
    fileFault_ = true;
    return false;
  }
  if (file_ == nullptr) {
    fileFault_ = true;
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
    fileFault_ = true;
    error = "cannot read input file " + quotedText(path_) + ": " + std::strerror(errno);
    return false;
  }
  begin_ = end_ = 0;
  rowsGiven_ = 0;
  eof_ = false;
  lineNumber_ = 0;
  sawContent_ = false;
  rowsRead_ = 0;
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
      if (line.find('\r') != std::string_view::npos)
        error += "; " + std::string(kLoneCarriageReturns);
      return false;
    }
    if (eof_) return false;
    if (end_ - begin_ > kLongestLine) {
      ++lineNumber_;
      error = where() + "line longer than " + std::to_string(kLongestLine) + " bytes";
      if (std::memchr(from, '\r', end_ - begin_) != nullptr)
        error += "; " + std::string(kLoneCarriageReturns);
      return false;
    }
    std::memmove(buffer_.data(), from, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0 && std::ferror(file_)) {
      fileFault_ = true;
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
  if (line.find('\r') != std::string_view::npos) {
    error = path_ + ": " + kLoneCarriageReturns;
    return Line::kFault;
  }
  std::string_view content = trimmed(line);
  if (content.empty() || content.front() == '#') return Line::kSkipped;
  bool first = !sawContent_;
  sawContent_ = true;
  // A first line of two or more fields, none a number, names the columns.
  if (first && line.find(',') != std::string_view::npos) {
    bool names = true;
    double ignored;
    for (size_t at = 0, end = 0; names && end != std::string_view::npos; at = end + 1) {
      end = line.find(',', at);
      names =
          readDecimal(fieldText(line.substr(at, end - at)), ignored) == DecimalRead::kNotANumber;
    }
    if (names) return readHeader(line, error) ? Line::kSkipped : Line::kFault;
  }
  return readRow(line, volts, error) ? Line::kRow : Line::kFault;
}

bool CsvInput::readHeader(std::string_view line, std::string& error) {
  int columnOf[3] = {-1, -1, -1};
  int column = 0;
  for (size_t at = 0, end = 0; end != std::string_view::npos; at = end + 1, ++column) {
    end = line.find(',', at);
    std::string_view name = fieldText(line.substr(at, end - at));
    int kind = columnKind(name);
    if (kind < 0) {
      error = where() + "column " + quotedText(name) +
              " is none of ao0, ao1 (either perhaps with _V), time or time_s (any case)";
      return false;
    }
    if (columnOf[kind] >= 0) {
      error = where() + "column " + quotedText(name) + " repeats an earlier column of the header";
      return false;
    }
    columnOf[kind] = column;
  }
  for (int ch = 0; ch < 2; ++ch) {
    if (columnOf[ch] < 0) {
      error = where() + "the header names no ao" + std::to_string(ch) + " column";
      return false;
    }
    voltsColumn_[ch] = columnOf[ch];
  }
  timeColumn_ = columnOf[2];
  columns_ = column;
  return true;
}

bool CsvInput::readRow(std::string_view line, StepInput& volts, std::string& error) {
  size_t commas = 0;
  for (char c : line) commas += c == ',' ? 1 : 0;
  if (commas + 1 != static_cast<size_t>(columns_)) {
    error = where() + "expected " + std::to_string(columns_) + " comma-separated columns" +
            (timeColumn_ < 0 ? " of volts" : "") + ", found " + std::to_string(commas + 1) +
            separatorHint(trimmed(line), commas);
    return false;
  }
  double numbers[kMostColumns];
  size_t at = 0;
  for (int column = 0; column < columns_; ++column) {
    size_t end = line.find(',', at);
    std::string_view field = fieldText(line.substr(at, end - at));
    at = end + 1;
    DecimalRead read = readDecimal(field, numbers[column]);
    if (read == DecimalRead::kOk) continue;
    error = where() + quotedText(field) +
            (read == DecimalRead::kOutOfRange
                 ? " is too large for a double"
                 : " is not a decimal number of " +
                       std::string(column == timeColumn_ ? "seconds" : "volts"));
    return false;
  }
  for (int ch = 0; ch < 2; ++ch) volts[ch] = numbers[voltsColumn_[ch]];
  bool timely = timeColumn_ < 0 || checkTime(numbers[timeColumn_], error);
  ++rowsRead_;
  return timely;
}

// Each row's time one step after the row before's: the step given, else the
// one the first two rows make.
bool CsvInput::checkTime(double time, std::string& error) {
  double before = lastTime_;
  lastTime_ = time;
  if (rowsRead_ == 0) return true;
  if (rowsRead_ == 1 && givenStep_ == 0.0) {
    timeStep_ = shortestStep(before, time);
    if (time > before && std::isfinite(timeStep_)) return true;
    error = where() + "time " + shortestDecimal(time) + " s does not advance from " +
            shortestDecimal(before) + " s on the row before";
    return false;
  }
  double step = givenStep_ != 0.0 ? givenStep_ : timeStep_;
  if (oneStepApart(before, time, step)) return true;
  error = where() + "time " + shortestDecimal(time) + " s is not one step of " +
          shortestDecimal(step) + " s (" + (givenStep_ != 0.0 ? "--dt" : "as the first two rows") +
          ") after " + shortestDecimal(before) + " s";
  return false;
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
