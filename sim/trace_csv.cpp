#include "sim/trace_csv.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "simcard/simcard.h"

namespace sim {
namespace {

void appendNumber(std::string& row, double value) {
  char text[32];
  std::to_chars_result done;
  // Whole volts and seconds are common and much quicker to write as integers.
  if (value == std::trunc(value) && std::fabs(value) < 1e15 && !std::signbit(value))
    done = std::to_chars(text, text + sizeof text, static_cast<int64_t>(value));
  else
    done = std::to_chars(text, text + sizeof text, value);
  row.append(text, static_cast<size_t>(done.ptr - text));
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
    std::to_chars_result done = std::to_chars(index, index + sizeof index, step.step);
    row_.append(index, done.ptr);
  }
  row_ += ',';
  appendNumber(row_, step.time);
  for (size_t ch = 0; ch < 2; ++ch) {
    row_ += ',';
    size_t requested = row_.size();
    appendNumber(row_, step.writes[ch].requested);
    size_t length = row_.size() - requested;
    row_ += ',';
    // Most steps reach the output exactly as requested: the same text again.
    if (step.actual[ch] == step.writes[ch].requested && !std::signbit(step.actual[ch]))
      row_.append(row_, requested, length);
    else
      appendNumber(row_, step.actual[ch]);
    row_ += ',';
    appendStatus(row_, step.writes[ch]);
  }
  row_ += '\n';
  file_.write(row_);
}

}  // namespace sim
