#include "sim/report/trace_csv.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "sim/system/shortest_decimal.h"

namespace sim {
namespace {

// Room for a row: its six numbers, two statuses and separators.
constexpr size_t kNumberRoom = kDecimalRoom;
constexpr size_t kRowRoom = 9 * kNumberRoom;

char* writeText(char* at, const char* text, size_t length) {
  std::memcpy(at, text, length);
  return at + length;
}

char* writeNumber(char* at, double value) {
  return writeShortestDecimal(at, value);
}

}  // namespace

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
    // A level nobody could know stays empty. Most steps reach the output
    // exactly as requested: the same text again.
    const bool sameText = step.actual[ch] == write.requested && !std::signbit(step.actual[ch]);
    if (step.known[ch])
      at = sameText ? writeText(at, requested, length) : writeNumber(at, step.actual[ch]);
    *at++ = ',';
    // No write, no status: the field stays empty.
    if (write.written && write.status == 0)
      *at++ = '0';  // as most are
    else if (write.written)
      at = std::to_chars(at, at + kNumberRoom, write.status).ptr;
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
