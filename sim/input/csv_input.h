// An input file of volts: UTF-8 text (a byte-order mark allowed), one row of
// comma-separated decimal numbers per step, blank lines and lines starting
// with '#' ignored, as spreadsheets and data-frame libraries write CSV
// (quoted fields, a first line "sep=,", empty fields at the end of a line).
// An optional header before the first row names the columns: ao0, ao1 and
// perhaps time (or t), in any order and with units (V or mV, s or ms), and others
// that are ignored (a row index without a name among them); without one the
// columns are ao0, ao1.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "sim/input/column_name.h"
#include "sim/input/decimal_number.h"
#include "sim/input/step_source.h"

namespace sim {

// The most bytes a line of the input holds, its line ending aside.
constexpr size_t kLongestInputLine = 4096;

class CsvInput : public StepSource {
 public:
  // step: the step size a time column must keep, or 0 to take it from the
  // column's first two rows.
  explicit CsvInput(double step = 0.0) : givenStep_(step) {}
  ~CsvInput() override;
  CsvInput(const CsvInput&) = delete;
  CsvInput& operator=(const CsvInput&) = delete;

  // Opens the file and reads it once from end to end, so every fault is
  // found before the run; then rewinds for next(). On failure, one line
  // naming the file (and the line) and what is wrong.
  bool open(const std::string& path, std::string& error);
  // The step size of the time column; 0 when there is none or it has one row.
  double timeStep() const { return timeStep_; }
  // The failure was the file's (missing, a folder, unreadable), not its text's.
  bool fileFault() const { return fileFault_; }

  int64_t steps() const override { return rows_; }
  // The file, and the columns converted or ignored.
  std::string description() const override {
    return (standardInput_ ? path_ : "file " + path_) + notes_;
  }
  bool next(StepInput& volts, std::string& error) override;
  bool timed() const override { return timeColumn_ >= 0; }
  double time() const override { return time_; }
  double startTime() const override { return firstTime_; }

 private:
  enum class Line { kRow, kSkipped, kEnd, kFault };
  bool start(std::string& error);
  bool readLine(std::string_view& line, std::string& error);
  Line nextRow(StepInput& volts, std::string& error);
  Line parseLine(std::string_view line, StepInput& volts, std::string& error);
  bool isHeader(std::string_view line) const;
  bool readHeader(std::string_view line, std::string& error);
  bool placeColumn(const std::string& name, int column, std::vector<std::string>& others,
                   std::string& error);
  void noteColumns(const std::vector<std::string>& others);
  bool readRow(std::string_view line, StepInput& volts, std::string& error);
  bool fieldsFit(std::string_view line) const;
  std::string fieldCountFault(std::string_view line);
  std::string lineHint(std::string_view line, size_t fields);
  DecimalRead readTime(std::string_view field, double& seconds, std::string& error);
  bool checkTime(double time, std::string& error);
  std::string lostFractionsHint() const;
  std::string where() const;

  std::string path_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t begin_ = 0, end_ = 0;  // unread bytes in buffer_
  bool eof_ = false;
  int64_t lineNumber_ = 0;
  bool sawContent_ = false;  // a header may only come first
  int columns_ = 2;          // fields a row holds, besides empty ones at its end
  std::vector<ColumnRole> roles_{ColumnRole::kAo0, ColumnRole::kAo1};  // of each column
  int shift_[3] = {0, 0, 0};                                           // by role: -3 for mV or ms
  int timeColumn_ = -1;                                                // none
  bool timeUnitGiven_ = false;                                         // by the header
  std::string timeForm_;           // of the first row's time: its unit, none, or a clock
  bool wholeSecondClock_ = false;  // this row's time: a clock without fractions
  std::string notes_;              // for the summary: columns converted and ignored
  double givenStep_ = 0.0;
  double timeStep_ = 0.0;
  double lastTime_ = 0.0;
  double firstTime_ = 0.0;
  double time_ = 0.0;      // of the row next() gave last
  int64_t rowsRead_ = 0;   // in this pass
  int64_t rows_ = 0;       // counted by the check
  int64_t rowsGiven_ = 0;  // by next() since
  bool fileFault_ = false;
  bool standardInput_ = false;  // path_ then says so
};

}  // namespace sim
