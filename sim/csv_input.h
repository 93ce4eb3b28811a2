// An input file of volts: UTF-8 text (a byte-order mark allowed), two
// comma-separated decimal numbers per row (ao0, ao1), blank lines ignored,
// one optional header row before the first row of numbers.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "sim/step_source.h"

namespace sim {

class CsvInput : public StepSource {
 public:
  CsvInput() = default;
  ~CsvInput() override;
  CsvInput(const CsvInput&) = delete;
  CsvInput& operator=(const CsvInput&) = delete;

  // Opens the file and reads it once from end to end, so every fault is
  // found before the run; then rewinds for next(). On failure, one line
  // naming the file (and the line) and what is wrong.
  bool open(const std::string& path, std::string& error);

  int64_t steps() const override { return rows_; }
  std::string description() const override { return "file " + path_; }
  bool next(StepInput& volts, std::string& error) override;

 private:
  enum class Line { kRow, kSkipped, kEnd, kFault };
  bool start(std::string& error);
  bool readLine(std::string_view& line, std::string& error);
  Line nextRow(StepInput& volts, std::string& error);
  Line parseLine(std::string_view line, StepInput& volts, std::string& error);
  std::string where() const;

  std::string path_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t begin_ = 0, end_ = 0;  // unread bytes in buffer_
  bool eof_ = false;
  int64_t lineNumber_ = 0;
  bool sawContent_ = false;  // a header may only come first
  int64_t rows_ = 0;         // counted by the check
  int64_t rowsGiven_ = 0;    // by next() since
};

}  // namespace sim
