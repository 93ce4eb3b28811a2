// What a simulated run produced, step by step (handed to observers as it
// goes, never kept) and in total.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/input/step_source.h"
#include "sim/run/message_tally.h"

namespace sim {

// How one channel's write of a step went.
struct ChannelWrite {
  bool written = false;    // the block wrote to this channel in this step
  int32_t status = 0;      // the card's status of the first refused write, else 0
  double requested = 0.0;  // what the block asked for
};

struct StepRecord {
  int64_t step = 0;  // from 0; the shutdown row has the index after the last step
  double time = 0.0;
  bool shutdown = false;
  std::array<ChannelWrite, 2> writes{};
  std::array<double, 2> actual{};  // card output after the call
  // Whether actual is the level a real output would hold: not before the
  // channel's first accepted write, without a card, or on a channel another
  // task holds (no write of ours is accepted there).
  std::array<bool, 2> known{};
};

// An observer that only looks now and then sees every kSparseStride-th step.
constexpr int64_t kSparseStride = 1 << 14;

// Sees every step as the run makes it, then the shutdown writes.
class StepObserver {
 public:
  virtual ~StepObserver() = default;
  virtual void onStep(const StepRecord& step) = 0;
  // False when every kSparseStride-th step and the shutdown are enough (a
  // progress line), which spares the others a call.
  virtual bool wantsEveryStep() const { return true; }
};

struct ChannelFigures {
  int64_t writes = 0;  // of the steps; the shutdown's write is in shutdown
  int64_t refused = 0;
  int64_t knownSteps = 0;  // steps whose output level is known
  double minVolts = 0.0;   // of the known levels over the steps (not the shutdown)
  double maxVolts = 0.0;
  double finalVolts = 0.0;  // the card's output after the block was shut down
  bool finalKnown = false;  // ... and it is the level a real output would keep
  ChannelWrite shutdown{};  // the block's write at shutdown
  // Why finalVolts says nothing of the level a real output keeps (no card, a
  // channel held by another task, no write accepted), else null.
  const char* levelUnknown = nullptr;

  // Only a zeroing write the card accepted leaves the output at 0 V.
  bool zeroed() const {
    return shutdown.written && shutdown.status >= 0 && shutdown.requested == 0.0;
  }
  bool zeroingRefused() const { return shutdown.written && shutdown.status < 0; }
};

struct RunResult {
  int64_t steps = 0;  // steps run
  std::array<ChannelFigures, 2> channels{};
  // Writes to a task that holds no known channel: they reach no output.
  ChannelFigures unassigned{};
  // The card's refusal statuses of every driver call (set-up, writes,
  // shutdown), each once, in the order they first came.
  std::vector<int32_t> statuses;
  MessageTally warnings;
  MessageTally dialogs;
  std::vector<std::string> errors;  // posted in the error slot or raised by set-up
  std::string inputError;           // the input failed part-way (changed since it was checked)
  int tasksLeftOpen = 0;
  bool completed = false;  // set-up, sample times, every step and shutdown ran without error

  bool refusedAny() const {
    return channels[0].refused + channels[1].refused + unassigned.refused > 0 ||
           channels[0].zeroingRefused() || channels[1].zeroingRefused();
  }
  bool zeroed(size_t channel) const { return channels[channel].zeroed(); }
  // Completed, and nothing refused, warned or left live.
  bool clean() const {
    return completed && !refusedAny() && warnings.total() == 0 && dialogs.total() == 0 &&
           zeroed(0) && zeroed(1) && tasksLeftOpen == 0;
  }
};

}  // namespace sim
