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

// Room for any number written by writeNumber, and for a row's numbers.
constexpr size_t kNumberRoom = kShortestDecimalRoom;
constexpr size_t kRowRoom = 4 * kNumberRoom;

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
  // Room for a row's numbers and "ok" statuses, taken once; a longer status
  // takes its own.
  char* at = room(kRowRoom);
  if (step.shutdown)
    at = writeText(at, "shutdown", 8);
  else
    at = std::to_chars(at, at + kNumberRoom, step.step + 1).ptr;
  *at++ = ',';
  at = writeNumber(at, step.time);
  for (size_t ch = 0; ch < 2; ++ch) {
    const ChannelWrite& write = step.writes[ch];
    *at++ = ',';
    char* requested = at;
    at = writeNumber(at, write.requested);
    size_t length = static_cast<size_t>(at - requested);
    *at++ = ',';
    // Most steps reach the output exactly as requested: the same text again.
    if (step.actual[ch] == write.requested && !std::signbit(step.actual[ch]))
      at = writeText(at, requested, length);
    else
      at = writeNumber(at, step.actual[ch]);
    *at++ = ',';
    if (write.written && write.status >= 0) {
      at = writeText(at, "ok", 2);
    } else {
      used_ = static_cast<size_t>(at - pending_.data());
      putStatus(write);
      at = room(kRowRoom);
    }
  }
  *at++ = '\n';
  used_ = static_cast<size_t>(at - pending_.data());
}

void TraceCsv::putStatus(const ChannelWrite& write) {
  if (write.written)
    put(refusalText(write.status));
  else
    put("not written");
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
