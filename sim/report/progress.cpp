#include "sim/report/progress.h"

#include <cinttypes>
#include <cstdio>

#include "sim/system/terminal.h"

namespace sim {

using Clock = std::chrono::steady_clock;

ProgressLine::ProgressLine()
    : terminal_(isTerminal(stderr)), start_(Clock::now()), lastShown_(start_) {}

void ProgressLine::update(int64_t done, int64_t total) {
  if (!terminal_ || total <= 0) return;
  Clock::time_point now = Clock::now();
  if (now - start_ < std::chrono::seconds(1) || now - lastShown_ < std::chrono::milliseconds(100))
    return;
  lastShown_ = now;
  shown_ = true;
  std::fprintf(stderr, "\rstep %" PRId64 " of %" PRId64 " (%3.0f%%)", done, total,
               100.0 * static_cast<double>(done) / static_cast<double>(total));
  std::fflush(stderr);
}

void ProgressLine::finish() {
  if (shown_) std::fprintf(stderr, "\r%60s\r", "");
  shown_ = false;
}

}  // namespace sim
