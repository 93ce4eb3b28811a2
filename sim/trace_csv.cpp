#include "sim/trace_csv.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sim {
namespace {

// Room for any number written by writeNumber (the longest shortest form,
// "-2.2250738585072014e-308", takes 24), and for a row: its six numbers, two
// statuses and separators.
constexpr size_t kNumberRoom = 32;
constexpr size_t kRowRoom = 9 * kNumberRoom;

char* writeNumber(char* at, double value) {
  // Whole volts and seconds are common and much quicker to write as integers.
  if (value == std::trunc(value) && std::fabs(value) < 1e15 && !std::signbit(value))
    return std::to_chars(at, at + kNumberRoom, static_cast<int64_t>(value)).ptr;
  return std::to_chars(at, at + kNumberRoom, value).ptr;
}

char* writeText(char* at, const char* text, size_t length) {
  std::memcpy(at, text, length);
  return at + length;
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
    // No write, no status: the field stays empty.
    if (write.written) at = std::to_chars(at, at + kNumberRoom, write.status).ptr;
  }
  *at++ = '\n';
  used_ = static_cast<size_t>(at - pending_.data());
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
