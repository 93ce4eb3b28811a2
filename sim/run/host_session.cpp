#include "sim/run/host_session.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "gateway/sfcn_names.h"
#include "gateway/sfcn_record.h"
#include "sim/run/step_clock.h"
#include "sim/system/stop_signal.h"
#include "simcard/simcard.h"
#include "standin_host/block_session.h"
#include "standin_host/host_record.h"
#include "standin_host/message_log.h"

namespace sim {
namespace {

using standin::BlockSession;
using standin::kFlagOutputs;
using standin::kFlagSampleTimes;
using standin::kFlagTerminate;

// The interface the block promises; anything else is a module fault.
bool checkInterface(const SFcnRecord& record, std::string& error) {
  const SFcnSizes& sizes = record.sizesBlock;
  const InputPortInfo* port = sizes.inputPortCount == 1 ? record.inputPorts : nullptr;
  if (port == nullptr || port->width != 2 || port->directFeedThrough == 0) {
    error = "block interface: expected one input port of width 2 with direct feedthrough";
  } else if (sizes.outputPortCount != 0) {
    error = "block interface: expected no output ports";
  } else if (sizes.sampleTimeCount != 1) {
    error = "block interface: expected one sample time";
  } else {
    return true;
  }
  return false;
}

// Which task the block made for which channel, from the card's call log of
// set-up, so that writes to a task whose channel the card refused (as
// without a card) still count for the channel they were meant for.
struct TaskChannels {
  TaskHandle task[2] = {0, 0};

  void learnFromCallLog() {
    for (size_t i = 0; i < simcardCallCount(); ++i) {
      SimcardCall call = simcardCallAt(i);
      if (call.function != SIMCARD_CREATE_AO_VOLTAGE_CHAN) continue;
      if (std::strcmp(call.physicalChannel, "Dev1/ao0") == 0) task[0] = call.task;
      if (std::strcmp(call.physicalChannel, "Dev1/ao1") == 0) task[1] = call.task;
    }
  }
  int channelOf(const SimcardWrite& write) const {
    if (write.channel == 0 || write.channel == 1) return write.channel;
    for (int ch = 0; ch < 2; ++ch)
      if (write.task != 0 && write.task == task[ch]) return ch;
    return -1;
  }
};

// A run meets few statuses; a module refusing in every way is still bounded.
[[gnu::noinline]] void noteStatus(int32_t status, std::vector<int32_t>& statuses) {
  constexpr size_t kMostStatuses = 64;
  if (statuses.size() < kMostStatuses &&
      std::find(statuses.begin(), statuses.end(), status) == statuses.end())
    statuses.push_back(status);
}

// Counts the writes of one call, read from the card's trace, which the call
// started empty; notes each channel's outcome in the step's record. A
// channel's level is known from its first accepted write on: the card keeps
// it through later refusals.
void countWrites(const TaskChannels& tasks, RunResult& result, StepRecord& record,
                 std::array<bool, 2>& known) {
  size_t count = 0;
  const SimcardWrite* writes = simcardWrites(&count);
  // A step as most are: one accepted write to each channel, in order. The
  // loop below would note the same.
  if (count == 2 && writes[0].channel == 0 && writes[1].channel == 1 && writes[0].status >= 0 &&
      writes[1].status >= 0 && !record.shutdown) {
    ++result.channels[0].writes;
    ++result.channels[1].writes;
    record.writes[0].written = record.writes[1].written = true;
    known[0] = known[1] = true;
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    const SimcardWrite& write = writes[i];
    int ch = tasks.channelOf(write);
    ChannelFigures& figures =
        ch >= 0 ? result.channels[static_cast<size_t>(ch)] : result.unassigned;
    // A channel's counts are its steps' writes, as the block's own count;
    // its zeroing write is noted apart, in its shutdown.
    const bool counted = ch < 0 || !record.shutdown;
    figures.writes += counted ? 1 : 0;
    if (write.status < 0) {
      figures.refused += counted ? 1 : 0;
      noteStatus(write.status, result.statuses);
    }
    if (ch < 0) continue;
    ChannelWrite& noted = record.writes[static_cast<size_t>(ch)];
    if (record.shutdown && !noted.written) noted.requested = write.volts;
    if (write.status < 0 && noted.status >= 0) noted.status = write.status;
    if (write.status >= 0) known[static_cast<size_t>(ch)] = true;
    noted.written = true;
  }
}

// The refusals of the driver's other calls (creating, starting, stopping,
// clearing tasks) logged since the index from: the block's warnings name
// their statuses too.
void noteCallStatuses(size_t from, RunResult& result) {
  for (size_t i = from; i < simcardCallCount(); ++i) {
    SimcardCall call = simcardCallAt(i);
    if (call.function != SIMCARD_WRITE_ANALOG_F64 && call.status < 0)
      noteStatus(call.status, result.statuses);
  }
}

// Min and max count only the steps whose level is known; the shutdown's
// zeroing write is no level the output held during the run.
void noteOutputs(const double* outputs, const std::array<bool, 2>& known, RunResult& result,
                 StepRecord& record) {
  for (size_t ch = 0; ch < 2; ++ch) {
    record.actual[ch] = outputs[ch];
    record.known[ch] = known[ch];
    if (record.shutdown || !known[ch]) continue;
    ChannelFigures& figures = result.channels[ch];
    bool first = figures.knownSteps++ == 0;
    figures.minVolts = first ? record.actual[ch] : std::min(figures.minVolts, record.actual[ch]);
    figures.maxVolts = first ? record.actual[ch] : std::max(figures.maxVolts, record.actual[ch]);
  }
}

// Moves what the module said through the host into the run's tallies, so the
// host's own logs never grow with the run.
[[gnu::noinline]] void moveHostMessages(RunResult& result) {
  for (size_t i = 0; i < standinWarningCount(); ++i) result.warnings.add(standinWarning(i));
  for (size_t i = 0; i < standinDialogCount(); ++i) {
    StandinDialog dialog = standinDialog(i);
    result.dialogs.add((std::string(dialog.title) + ": " + dialog.message).c_str());
  }
  standinForgetMessages();
}

// After every call: most calls say nothing.
void collectHostMessages(RunResult& result) {
  if (standinMessageCount() != 0) moveHostMessages(result);
}

class Run {
 public:
  Run(MexFunctionPtr entry, const SessionSettings& settings, StepObserver& observer)
      : session_(entry, S_FUNCTION_NAME, settings.blockPath.c_str()),
        observer_(observer),
        everyStep_(observer.wantsEveryStep()),
        clock_(settings.dt) {}

  RunResult go(StepSource& input) {
    input_ = &input;
    timed_ = input.timed();
    simcardSetRecording(true);
    bool setUp = session_.setUp();
    tasks_.learnFromCallLog();
    noteCallStatuses(0, result_);
    simcardSetRecording(false);
    collectHostMessages(result_);
    if (!setUp) result_.errors.push_back("set-up: " + std::string(session_.error()));
    bool ran = setUp && declare() && steps(input);
    // A host ends every simulation whose set-up call returned, also after an error.
    if (setUp) ran = terminate() && ran;
    for (size_t ch = 0; ch < 2; ++ch) {
      result_.channels[ch].finalVolts = simcardOutputVolts(static_cast<int>(ch));
      result_.channels[ch].finalKnown = known_[ch];
    }
    result_.completed = ran;
    return result_;
  }

 private:
  // Interface check and sample times after a set-up call that returned.
  bool declare() {
    std::string error;
    if (!checkInterface(*session_.record(), error)) {
      result_.errors.push_back(error);
      return false;
    }
    bool ok = session_.method(kFlagSampleTimes);
    collectHostMessages(result_);
    if (!ok) result_.errors.push_back("sample times: " + std::string(session_.error()));
    return ok;
  }

  bool steps(StepSource& input) {
    double signal[2] = {0.0, 0.0};
    standinConnectInput(session_.record(), 0, signal);
    session_.record()->sizesBlock.callArgInt = 0;
    StepInput volts{};
    std::string error;
    // A stop from outside ends the run after the current step; shutdown follows.
    for (int64_t k = 0; stopRequested() == 0 && input.next(volts, error); ++k) {
      StepRecord record;
      record.step = k;
      // The input's own times, else exact multiples of the step; only for
      // the steps an observer sees.
      if (everyStep_ || (k & (kSparseStride - 1)) == 0)
        record.time = timed_ ? input.time() : clock_.at(k);
      for (size_t ch = 0; ch < 2; ++ch) signal[ch] = record.writes[ch].requested = volts[ch];
      bool ok = call(kFlagOutputs, record);
      ++result_.steps;
      if (!ok) {
        // Counted from 1, as the trace and the block's warnings count steps.
        result_.errors.push_back("step " + std::to_string(k + 1) + ": " + session_.error());
        return false;
      }
    }
    result_.inputError = error;
    return error.empty();
  }

  bool terminate() {
    StepRecord record;
    record.step = result_.steps;
    // One step after the last step run.
    if (!timed_)
      record.time = clock_.at(result_.steps);
    else
      record.time = result_.steps > 0 ? clock_.after(input_->time()) : input_->startTime();
    record.shutdown = true;
    const size_t logged = simcardCallCount();
    simcardSetRecording(true);
    bool ok = call(kFlagTerminate, record);
    simcardSetRecording(false);
    noteCallStatuses(logged, result_);
    for (size_t ch = 0; ch < 2; ++ch) result_.channels[ch].shutdown = record.writes[ch];
    if (!ok) result_.errors.push_back("terminate: " + std::string(session_.error()));
    return ok;
  }

  // One method call whose writes are read from the card and shown to the observer.
  bool call(int flag, StepRecord& record) {
    // Each call reads only its own writes, so no run outgrows the card's trace.
    simcardClearWriteTrace();
    bool ok = session_.method(flag);
    countWrites(tasks_, result_, record, known_);
    noteOutputs(outputs_, known_, result_, record);
    collectHostMessages(result_);
    if (everyStep_ || record.shutdown || (record.step & (kSparseStride - 1)) == 0)
      observer_.onStep(record);
    return ok;
  }

  BlockSession session_;
  StepObserver& observer_;
  const bool everyStep_;
  const StepClock clock_;
  StepSource* input_ = nullptr;
  bool timed_ = false;
  TaskChannels tasks_;
  std::array<bool, 2> known_{};  // each channel's level, since its first accepted write
  RunResult result_;
  const double* outputs_ = simcardOutputs();
};

}  // namespace

RunResult runSimulation(MexFunctionPtr entry, const SessionSettings& settings, StepSource& input,
                        StepObserver& observer) {
  return Run(entry, settings, observer).go(input);
}

}  // namespace sim
