#include "sim/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace sim {

using Clock = std::chrono::steady_clock;

ProgressLine::ProgressLine()
    : terminal_(isatty(fileno(stderr)) != 0), start_(Clock::now()), lastShown_(start_) {}

void ProgressLine::update(size_t done, size_t total) {
  if (!terminal_) return;
  Clock::time_point now = Clock::now();
  if (now - start_ < std::chrono::seconds(1) || now - lastShown_ < std::chrono::milliseconds(100))
    return;
  lastShown_ = now;
  shown_ = true;
  std::fprintf(stderr, "\rstep %zu of %zu (%3.0f%%)", done, total, 100.0 * done / total);
  std::fflush(stderr);
}

void ProgressLine::finish() {
  if (shown_) std::fprintf(stderr, "\r%40s\r", "");
}

}  // namespace sim
