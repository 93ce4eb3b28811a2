#include "sim/trace_csv.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "sim/shortest_decimal.h"
#include "simcard/simcard.h"

namespace sim {
namespace {

// Room for any number written by writeNumber.
constexpr size_t kNumberRoom = kShortestDecimalRoom;

char* writeNumber(char* at, double value) {
  // Whole volts and seconds are common and much quicker to write as integers.
  if (value == std::trunc(value) && std::fabs(value) < 1e15 && !std::signbit(value))
    return std::to_chars(at, at + kNumberRoom, static_cast<int64_t>(value)).ptr;
  return writeShortestDecimal(at, value);
}

char* writeText(char* at, const char* text, size_t length) {
  std::memcpy(at, text, length);
  return at + length;
}

// A refusal as "refused -200561: <the card's text>", quoted for CSV when the
// text needs it.
std::string refusalText(int32_t status) {
  char number[24];
  std::snprintf(number, sizeof number, "%" PRId32, status);
  std::string text = std::string("refused ") + number + ": " + simcardStatusText(status);
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? "\"\"" : std::string(1, c);
  return quoted + '"';
}

}  // namespace

std::string shortestDecimal(double value) {
  char text[kNumberRoom];
  return std::string(text, writeNumber(text, value));
}

TraceCsv::TraceCsv(OutputFile& file) : file_(file), pending_(kChunk) {
  put("step,time_s,ao0_requested_V,ao0_actual_V,ao0_status,"
      "ao1_requested_V,ao1_actual_V,ao1_status\n");
}

void TraceCsv::add(const StepRecord& step) {
  char* at = room(2 * kNumberRoom);
  if (step.shutdown)
    at = writeText(at, "shutdown", 8);
  else
    at = std::to_chars(at, at + kNumberRoom, step.step + 1).ptr;
  *at++ = ',';
  at = writeNumber(at, step.time);
  for (size_t ch = 0; ch < 2; ++ch) {
    used_ = static_cast<size_t>(at - pending_.data());
    at = room(2 * kNumberRoom + 2);
    *at++ = ',';
    char* requested = at;
    at = writeNumber(at, step.writes[ch].requested);
    size_t length = static_cast<size_t>(at - requested);
    *at++ = ',';
    // Most steps reach the output exactly as requested: the same text again.
    if (step.actual[ch] == step.writes[ch].requested && !std::signbit(step.actual[ch]))
      at = writeText(at, requested, length);
    else
      at = writeNumber(at, step.actual[ch]);
    *at++ = ',';
    used_ = static_cast<size_t>(at - pending_.data());
    putStatus(step.writes[ch]);
    at = pending_.data() + used_;
  }
  *room(1) = '\n';
  ++used_;
}

void TraceCsv::putStatus(const ChannelWrite& write) {
  if (write.written && write.status >= 0) {
    // The common case, copied as a constant.
    std::memcpy(room(2), "ok", 2);
    used_ += 2;
  } else if (!write.written) {
    put("not written");
  } else {
    put(refusalText(write.status));
  }
}

void TraceCsv::put(std::string_view text) {
  if (text.size() > kChunk) {
    flush();
    file_.write(text);
    return;
  }
  std::memcpy(room(text.size()), text.data(), text.size());
  used_ += text.size();
}

void TraceCsv::flush() {
  file_.write(std::string_view(pending_.data(), used_));
  used_ = 0;
}

}  // namespace sim
