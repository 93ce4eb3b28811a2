#include "sim/input/csv_input.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "sim/input/csv_fields.h"
#include "sim/input/decimal_number.h"
#include "sim/input/input_spool.h"
#include "sim/input/time_cell.h"
#include "sim/system/native_file.h"
#include "sim/system/quoted_text.h"
#include "sim/system/shortest_decimal.h"
#include "sim/system/utf8_text.h"

namespace sim {
namespace {

constexpr size_t kBufferSize = 1 << 16;
constexpr size_t kLongestLine = kLongestInputLine;

// The separator a one-field line seems to use instead of commas.
const char* otherSeparator(std::string_view line) {
  if (line.find(';') != std::string_view::npos) return "semicolons";
  if (line.find('\t') != std::string_view::npos) return "tabs";
  if (line.find(' ') != std::string_view::npos) return "spaces";
  return nullptr;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A comma between digits.
bool hasDecimalComma(std::string_view line) {
  for (size_t at = line.find(','); at != std::string_view::npos; at = line.find(',', at + 1))
    if (at > 0 && isDigit(line[at - 1]) && at + 1 < line.size() && isDigit(line[at + 1]))
      return true;
  return false;
}

// Semicolons between columns and a comma between digits: a spreadsheet's
// export where decimals take a comma.
bool hasDecimalCommas(std::string_view line) {
  return line.find(';') != std::string_view::npos && hasDecimalComma(line);
}

// Names equal but for the case of their letters.
bool sameName(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

const char* kDecimalCommas = "write decimals with a point and separate columns with commas";

const char* kLoneCarriageReturns =
    "its lines end with CR alone (old Mac text); save it with LF or CRLF line endings";
const char* kDoubledCarriageReturns =
    "its lines end with CR CR LF (CRLF text converted to CRLF once more, as a text-mode "
    "transfer does); save it with LF or CRLF line endings";

// The CR of a CRLF ending is not the line's: it counts neither in the length
// nor as a sign of CR-only lines.
size_t lengthWithoutEnding(const char* line, size_t length) {
  return length > 0 && line[length - 1] == '\r' ? length - 1 : length;
}

bool holdsCarriageReturn(const char* line, size_t length) {
  return std::memchr(line, '\r', lengthWithoutEnding(line, length)) != nullptr;
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
    // Eight bytes at a time while all are printable ASCII, as most are.
    constexpr uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    uint64_t eight = 0;
    if (at + 8 <= line.size()) {
      std::memcpy(&eight, line.data() + at, 8);
      // A high bit where a byte is below 0x20, or from 0x7f up (the
      // classic word tests: a false mark only beside a true one).
      const uint64_t below20 = (eight - 0x20 * kOnes) & ~eight;
      const uint64_t from7f = (eight + kOnes) | eight;
      if (((below20 | from7f) & kHighs) == 0) {
        at += 8;
        continue;
      }
    }
    unsigned char c = static_cast<unsigned char>(line[at]);
    if (c == 0) return "it holds NUL bytes (UTF-16 or UTF-32 text, or not text at all)";
    if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7f)
      return "it holds control bytes (not a text file?)";
    size_t length = utf8CharacterLength(line, at);
    if (length == 0)
      return "it is not UTF-8 text; save it as \"CSV UTF-8\", or as UTF-8 from the program "
             "it came from";
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
  standardInput_ = path == "-";
  path_ = standardInput_ ? "standard input" : path;
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
    error = path_ + ": no rows of volts";
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
      if (lengthWithoutEnding(from, length) <= kLongestLine) return true;
      error = where() + "line longer than " + std::to_string(kLongestLine) + " bytes";
      if (holdsCarriageReturn(from, length)) error += "; " + std::string(kLoneCarriageReturns);
      return false;
    }
    if (eof_) return false;
    if (lengthWithoutEnding(from, end_ - begin_) > kLongestLine) {
      ++lineNumber_;
      error = where() + "line longer than " + std::to_string(kLongestLine) + " bytes";
      if (holdsCarriageReturn(from, end_ - begin_))
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
    bool doubled = !line.empty() && line.back() == '\r';
    error = path_ + ": " + (doubled ? kDoubledCarriageReturns : kLoneCarriageReturns);
    return Line::kFault;
  }
  std::string_view content = trimmedBlanks(line);
  if (content.empty() || content.front() == '#') return Line::kSkipped;
  bool first = !sawContent_;
  // A spreadsheet's note of its separator, before everything else.
  if (first && content.size() == 5 &&
      (content.substr(0, 4) == "sep=" || content.substr(0, 4) == "SEP=")) {
    if (content[4] == ',' && lineNumber_ == 1) return Line::kSkipped;
    error = where() + "the file names " + quotedText(content.substr(4)) + " as its separator; " +
            kDecimalCommas;
    return Line::kFault;
  }
  sawContent_ = true;
  if (first && isHeader(line)) return readHeader(line, error) ? Line::kSkipped : Line::kFault;
  return readRow(line, volts, error) ? Line::kRow : Line::kFault;
}

// A first line of two or more fields, none a number, names the columns.
bool CsvInput::isHeader(std::string_view line) const {
  CsvFields fields(line);
  std::string_view field;
  size_t count = 0;
  double ignored;
  while (fields.next(field)) {
    if (readDecimal(field, ignored) != DecimalRead::kNotANumber || readNonFinite(field, ignored) ||
        (!field.empty() && (isDigit(field.front()) || field.front() == '-')))
      return false;
    ++count;
  }
  return count >= 2;
}

bool CsvInput::readHeader(std::string_view line, std::string& error) {
  roles_.clear();
  timeColumn_ = -1;
  std::vector<std::string> others;  // by column; empty for ao0, ao1, time
  CsvFields fields(line);
  std::string_view field;
  int named = 0;  // columns up to the last one with a name
  for (int column = 0; fields.next(field); ++column) {
    const std::string name = unquotedText(field);
    if (!placeColumn(name, column, others, error)) return false;
    if (!name.empty()) named = column + 1;
  }
  if (fields.unclosedQuote()) {
    error = where() + "a quote opens a name that does not close on its line";
    return false;
  }
  // Empty names at the end: commas a spreadsheet writes after the last column.
  roles_.resize(static_cast<size_t>(named));
  others.resize(roles_.size());
  columns_ = named;
  for (ColumnRole role : {ColumnRole::kAo0, ColumnRole::kAo1}) {
    if (std::find(roles_.begin(), roles_.end(), role) != roles_.end()) continue;
    error = where() + "the header names no " + roleName(role) + " column";
    for (const std::string& other : others)
      if (!other.empty()) {
        error += " (" + quotedText(other) + " is none of ao0, ao1 and time)";
        break;
      }
    return false;
  }
  noteColumns(others);
  return true;
}

// The role of the header's column-th name, refused when repeated.
bool CsvInput::placeColumn(const std::string& name, int column, std::vector<std::string>& others,
                           std::string& error) {
  ColumnName read = readColumnName(name);
  if (!read.fault.empty()) {
    error = where() + read.fault;
    return false;
  }
  bool repeated = false;
  for (size_t at = 0; at < roles_.size() && !repeated; ++at)
    repeated = read.role == ColumnRole::kOther ? !name.empty() && sameName(name, others[at])
                                               : roles_[at] == read.role;
  if (repeated) {
    error = where() + "column " + quotedText(name) + " repeats an earlier column of the header";
    return false;
  }
  roles_.push_back(read.role);
  others.push_back(read.role == ColumnRole::kOther ? name : std::string());
  if (read.role == ColumnRole::kTime) {
    timeColumn_ = column;
    timeUnitGiven_ = read.unitGiven;
  }
  if (read.role != ColumnRole::kOther) shift_[static_cast<int>(read.role)] = read.milli ? -3 : 0;
  return true;
}

// The summary's note: each column converted, and the columns ignored (at
// most a few by name).
void CsvInput::noteColumns(const std::vector<std::string>& others) {
  constexpr size_t kMostNamed = 6;
  std::string converted, ignored;
  size_t ignoredCount = 0;
  for (size_t column = 0; column < roles_.size(); ++column) {
    ColumnRole role = roles_[column];
    if (role != ColumnRole::kOther) {
      if (shift_[static_cast<int>(role)] == 0) continue;
      converted += std::string(converted.empty() ? "" : ", ") + roleName(role) +
                   (role == ColumnRole::kTime ? " ms to s" : " mV to V");
      continue;
    }
    if (++ignoredCount > kMostNamed) continue;
    std::string shown = !others[column].empty() ? quotedText(others[column])
                        : column == 0           ? std::string("the row index")
                                                : "unnamed column " + std::to_string(column + 1);
    ignored += (ignored.empty() ? "" : ", ") + shown;
  }
  if (ignoredCount > kMostNamed)
    ignored += " and " + std::to_string(ignoredCount - kMostNamed) + " more";
  notes_.clear();
  if (!converted.empty()) notes_ += "; converted: " + converted;
  if (!ignored.empty()) notes_ += "; ignored: " + ignored;
}

bool CsvInput::readRow(std::string_view line, StepInput& volts, std::string& error) {
  CsvFields fields(line);
  std::string_view field;
  double numbers[3] = {0.0, 0.0, 0.0};  // by role
  int column = 0;
  bool extra = false;  // a field past the last column that is not empty
  while (fields.next(field)) {
    if (column == columns_) {
      if (field.empty()) continue;
      extra = true;
      break;
    }
    const ColumnRole role = roles_[static_cast<size_t>(column++)];
    if (role == ColumnRole::kOther) continue;
    const int index = static_cast<int>(role);
    DecimalRead read = role == ColumnRole::kTime
                           ? readTime(field, numbers[index], error)
                           : readDecimal(field, numbers[index], shift_[index]);
    if (!error.empty()) return false;
    if (read == DecimalRead::kOk) continue;
    // A sample the host wrote as NaN or Inf goes to the block as it is, for
    // the card to refuse as it would on the rig; a time must be a number.
    if (role != ColumnRole::kTime && readNonFinite(field, numbers[index])) continue;
    if (!fieldsFit(line)) {
      error = fieldCountFault(line);
      return false;
    }
    error = where() + quotedText(field) +
            (read == DecimalRead::kOutOfRange ? " is too large for a double"
             : role == ColumnRole::kTime
                 ? " is not a time in seconds (0.01, 0.01 s, 10 ms or 00:00:00.010)"
                 : " is not a decimal number of volts") +
            (hasDecimalComma(field)
                 ? std::string("; it looks written with a decimal comma: ") + kDecimalCommas
                 : lineHint(line, 2));
    return false;
  }
  if (extra || column != columns_ || fields.unclosedQuote()) {
    error = fieldCountFault(line);
    return false;
  }
  volts = {numbers[0], numbers[1]};
  bool timely = timeColumn_ < 0 || checkTime(numbers[2], error);
  ++rowsRead_;
  return timely;
}

// Whether a row has a field for each column, and nothing but empty ones after.
bool CsvInput::fieldsFit(std::string_view line) const {
  CsvFields fields(line);
  std::string_view field;
  int count = 0;
  while (fields.next(field))
    if (++count > columns_ && !field.empty()) return false;
  return count >= columns_ && !fields.unclosedQuote();
}

// What is wrong with a row that has too few or too many fields.
std::string CsvInput::fieldCountFault(std::string_view line) {
  CsvFields fields(line);
  std::string_view field;
  size_t count = 0, filled = 0;  // fields, and up to the last that is not empty
  while (fields.next(field))
    if (++count, !field.empty()) filled = count;
  if (fields.unclosedQuote())
    return where() + "a quote opens a field that does not close on its line (a field of " +
           "this file holds no line break)";
  std::string fault = where() + "expected " + std::to_string(columns_) +
                      " comma-separated columns" +
                      (timeColumn_ < 0 && roles_.size() == 2 ? " of volts" : "") + ", found " +
                      std::to_string(std::max(filled, std::min<size_t>(count, columns_)));
  return fault + lineHint(line, count);
}

// Why a line may be so, or empty: decimal commas, here or on a later line
// after a line separated by semicolons, or another separator.
std::string CsvInput::lineHint(std::string_view line, size_t fields) {
  if (hasDecimalCommas(line))
    return std::string("; the line looks written with decimal commas: ") + kDecimalCommas;
  const char* other = fields == 1 ? otherSeparator(trimmedBlanks(line)) : nullptr;
  if (other == nullptr) return "";
  std::string hint = std::string("; the line looks separated by ") + other;
  // The run stops here: the lines after may be read for a better hint.
  std::string_view next;
  std::string error;
  while (readLine(next, error)) {
    if (trimmedBlanks(next).substr(0, 1) != "#" && hasDecimalCommas(next))
      return hint + ", and line " + std::to_string(lineNumber_) +
             " with decimal commas: " + kDecimalCommas;
  }
  return hint;
}

// A time cell in the form of the column's first: the same unit after the
// number, or none, or a clock; a unit the header gives is not contradicted.
DecimalRead CsvInput::readTime(std::string_view field, double& seconds, std::string& error) {
  const int headerShift = shift_[static_cast<int>(ColumnRole::kTime)];
  const TimeCell cell = readTimeCell(field, headerShift);
  seconds = cell.seconds;
  if (cell.read != DecimalRead::kOk) return cell.read;
  wholeSecondClock_ = cell.clock && cell.wholeSeconds;
  int shift = 0;
  const bool ownUnit = cell.clock || timeUnitShift(cell.unit, shift);
  const char* form = cell.clock   ? "as a clock time"
                     : !ownUnit   ? "with no unit"
                     : shift == 0 ? "with s"
                                  : "with ms";
  if (rowsRead_ == 0) timeForm_ = form;
  if (ownUnit && timeUnitGiven_ && shift != headerShift) {
    error = where() + "time " + quotedText(field) + " is in " + (shift == 0 ? "s" : "ms") +
            ", the header says " + (shift == 0 ? "ms" : "s");
  } else if (form != timeForm_) {
    error = where() + "time " + quotedText(field) + " is written " + form + ", the first row's " +
            timeForm_ + ": write every time in one form";
  }
  return cell.read;
}

// Each row's time one step after the row before's: the step given, else the
// one the first two rows make.
bool CsvInput::checkTime(double time, std::string& error) {
  double before = lastTime_;
  lastTime_ = time_ = time;
  if (rowsRead_ == 0) {
    firstTime_ = time;
    return true;
  }
  if (rowsRead_ == 1 && givenStep_ == 0.0) {
    timeStep_ = shortestStep(before, time);
    if (time > before && std::isfinite(timeStep_)) return true;
    error = where() + "time " + shortestDecimal(time) + " s does not advance from " +
            shortestDecimal(before) + " s on the row before" + lostFractionsHint();
    return false;
  }
  double step = givenStep_ != 0.0 ? givenStep_ : timeStep_;
  if (oneStepApart(before, time, step)) return true;
  error = where() + "time " + shortestDecimal(time) + " s is not one step of " +
          shortestDecimal(step) + " s (" + (givenStep_ != 0.0 ? "--dt" : "as the first two rows") +
          ") after " + shortestDecimal(before) + " s" + lostFractionsHint();
  return false;
}

// A clock without fractions of a second (00:00:00) cannot show a shorter step.
std::string CsvInput::lostFractionsHint() const {
  if (!wholeSecondClock_) return "";
  return "; the export lost the fractions of a second (a clock time without them): write the "
         "time as seconds";
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
