// An input file of volts: UTF-8 text (a byte-order mark allowed), one row of
// comma-separated decimal numbers per step, blank lines and lines starting
// with '#' ignored. An optional header before the first row names the
// columns (ao0, ao1 and perhaps a time column, in any order); without one the
// columns are ao0, ao1.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "sim/step_source.h"

namespace sim {

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
  std::string description() const override { return "file " + path_; }
  bool next(StepInput& volts, std::string& error) override;

 private:
  enum class Line { kRow, kSkipped, kEnd, kFault };
  bool start(std::string& error);
  bool readLine(std::string_view& line, std::string& error);
  Line nextRow(StepInput& volts, std::string& error);
  Line parseLine(std::string_view line, StepInput& volts, std::string& error);
  bool readHeader(std::string_view line, std::string& error);
  bool readRow(std::string_view line, StepInput& volts, std::string& error);
  bool checkTime(double time, std::string& error);
  std::string where() const;

  static constexpr int kMostColumns = 3;

  std::string path_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t begin_ = 0, end_ = 0;  // unread bytes in buffer_
  bool eof_ = false;
  int64_t lineNumber_ = 0;
  bool sawContent_ = false;  // a header may only come first
  int columns_ = 2;          // fields a row holds
  int voltsColumn_[2] = {0, 1};
  int timeColumn_ = -1;  // none
  double givenStep_ = 0.0;
  double timeStep_ = 0.0;
  double lastTime_ = 0.0;
  int64_t rowsRead_ = 0;   // in this pass
  int64_t rows_ = 0;       // counted by the check
  int64_t rowsGiven_ = 0;  // by next() since
  bool fileFault_ = false;
};

}  // namespace sim
