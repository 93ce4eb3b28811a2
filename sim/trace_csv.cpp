#include "sim/trace_csv.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

#include "simcard/simcard.h"

namespace sim {
namespace {

void appendNumber(std::string& row, double value) {
  char text[32];
  std::to_chars_result done = std::to_chars(text, text + sizeof text, value);
  row.append(text, done.ptr);
}

// A refusal as "refused -200561: <the card's text>", quoted for CSV when the
// text needs it.
void appendStatus(std::string& row, const ChannelWrite& write) {
  if (!write.written) {
    row += "not written";
    return;
  }
  if (write.status >= 0) {
    row += "ok";
    return;
  }
  char status[24];
  std::snprintf(status, sizeof status, "%" PRId32, write.status);
  std::string text = std::string("refused ") + status + ": " + simcardStatusText(write.status);
  if (text.find_first_of(",\"\n") == std::string::npos) {
    row += text;
    return;
  }
  row += '"';
  for (char c : text) row += c == '"' ? "\"\"" : std::string(1, c);
  row += '"';
}

}  // namespace

std::string shortestDecimal(double value) {
  std::string text;
  appendNumber(text, value);
  return text;
}

TraceCsv::TraceCsv(OutputFile& file) : file_(file) {
  file_.write(
      "step,time_s,ao0_requested_V,ao0_actual_V,ao0_status,"
      "ao1_requested_V,ao1_actual_V,ao1_status\n");
}

void TraceCsv::add(const StepRecord& step) {
  row_.clear();
  if (step.shutdown) {
    row_ += "shutdown";
  } else {
    char index[24];
    std::snprintf(index, sizeof index, "%" PRId64, step.step);
    row_ += index;
  }
  row_ += ',';
  appendNumber(row_, step.time);
  for (size_t ch = 0; ch < 2; ++ch) {
    row_ += ',';
    appendNumber(row_, step.writes[ch].requested);
    row_ += ',';
    appendNumber(row_, step.actual[ch]);
    row_ += ',';
    appendStatus(row_, step.writes[ch]);
  }
  row_ += '\n';
  file_.write(row_);
}

}  // namespace sim
