// A progress line on a terminal, for runs that take longer than a second.
#pragma once

#include <chrono>
#include <cstdint>

namespace sim {

class ProgressLine {
 public:
  ProgressLine();
  void update(int64_t done, int64_t total);
  void finish();
  // An output shows on the terminal: a progress line would break into it.
  void keepOff() { terminal_ = false; }

 private:
  bool terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastShown_;
};

}  // namespace sim
