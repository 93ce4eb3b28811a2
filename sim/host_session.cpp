#include "sim/host_session.h"

#include <algorithm>
#include <string>

#include "gateway/sfcn_names.h"
#include "gateway/sfcn_record.h"
#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"

namespace sim {
namespace {

enum : int { kFlagSampleTimes = 101, kFlagOutputs = 104, kFlagTerminate = 107 };

// One host-owned record and the argument arrays of the calls made on it.
class BlockSession {
 public:
  BlockSession(MexFunctionPtr entry, const std::string& blockPath)
      : entry_(entry),
        record_(standinNewHostRecord(S_FUNCTION_NAME, blockPath.c_str())),
        empty_(standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL)),
        attach_(standinNewAttachArgument(record_)),
        flag_(standinCreateScalar(mxDOUBLE_CLASS, 0.0)) {}

  ~BlockSession() {
    for (mxArray* array : {empty_, attach_, flag_}) mxDestroyArray(array);
    standinFreeHostRecord(record_);
  }

  BlockSession(const BlockSession&) = delete;
  BlockSession& operator=(const BlockSession&) = delete;

  SFcnRecord* record() { return record_; }

  // The direct-mode set-up call; the sizes vector it returns is not needed
  // beyond the record, which the host reads directly.
  bool setUp(std::string& error) {
    setFlag(0.0);
    mxArray* plhs[1] = {nullptr};
    const mxArray* prhs[4] = {empty_, attach_, empty_, flag_};
    bool ok = call(1, plhs, prhs, error);
    if (plhs[0] != nullptr) mxDestroyArray(plhs[0]);
    return ok;
  }

  bool method(int flag, std::string& error) {
    setFlag(static_cast<double>(flag));
    mxArray* plhs[2] = {nullptr, reinterpret_cast<mxArray*>(record_)};
    const mxArray* prhs[4] = {empty_, empty_, empty_, flag_};
    return call(-1, plhs, prhs, error);
  }

 private:
  void setFlag(double value) { *static_cast<double*>(standinRealData(flag_)) = value; }

  // Clears the error slot before the call and reads it after, as a host does.
  bool call(int nlhs, mxArray** plhs, const mxArray** prhs, std::string& error) {
    record_->rootRecord->errorMessage = nullptr;
    if (!standinCallMexFunction(entry_, nlhs, plhs, 4, prhs)) {
      error = standinLastError();
      return false;
    }
    if (record_->rootRecord->errorMessage != nullptr) {
      error = record_->rootRecord->errorMessage;
      return false;
    }
    return true;
  }

  MexFunctionPtr entry_;
  SFcnRecord* record_;
  mxArray* empty_;
  mxArray* attach_;
  mxArray* flag_;
};

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

// Counts the writes in the card's trace, cleared before the call that made them.
void countWrites(RunResult& result, std::string& status) {
  for (size_t i = 0; i < simcardWriteCount(); ++i) {
    SimcardWrite write = simcardWriteAt(i);
    bool assigned = write.channel == 0 || write.channel == 1;
    ChannelFigures& channel =
        assigned ? result.channels[static_cast<size_t>(write.channel)] : result.unassigned;
    ++channel.writes;
    if (write.status < 0) {
      ++channel.refused;
      std::string where = assigned ? "ao" + std::to_string(write.channel) : "task without channel";
      status = where + ": " + simcardStatusText(write.status);
    }
  }
}

void noteExtremes(const StepRecord& step, RunResult& result) {
  for (size_t ch = 0; ch < 2; ++ch) {
    ChannelFigures& channel = result.channels[ch];
    bool first = result.steps.empty();
    channel.minVolts = first ? step.actual[ch] : std::min(channel.minVolts, step.actual[ch]);
    channel.maxVolts = first ? step.actual[ch] : std::max(channel.maxVolts, step.actual[ch]);
  }
}

bool runSteps(BlockSession& session, const SessionSettings& settings, const InputSignal& input,
              const ProgressFn& progress, RunResult& result) {
  double signal[2] = {0.0, 0.0};
  standinConnectInput(session.record(), 0, signal);
  session.record()->sizesBlock.callArgInt = 0;
  result.steps.reserve(input.steps.size());
  for (size_t k = 0; k < input.steps.size(); ++k) {
    StepRecord step;
    step.step = static_cast<int>(k);
    step.time = static_cast<double>(k) * settings.dt;
    step.requested = input.steps[k];
    signal[0] = step.requested[0];
    signal[1] = step.requested[1];
    // Each step reads only its own writes, so no run outgrows the card's trace.
    simcardClearWriteTrace();
    std::string error;
    bool ok = session.method(kFlagOutputs, error);
    step.status = "ok";
    countWrites(result, step.status);
    step.actual = {simcardOutputVolts(0), simcardOutputVolts(1)};
    noteExtremes(step, result);
    result.steps.push_back(step);
    if (progress) progress(k + 1, input.steps.size());
    if (!ok) {
      result.errors.push_back("step " + std::to_string(k) + ": " + error);
      return false;
    }
  }
  return true;
}

void collectHostLogs(RunResult& result) {
  for (size_t i = 0; i < standinWarningCount(); ++i) result.warnings.push_back(standinWarning(i));
  for (size_t i = 0; i < standinDialogCount(); ++i) {
    StandinDialog dialog = standinDialog(i);
    result.dialogs.push_back(std::string(dialog.title) + ": " + dialog.message);
  }
}

// Interface check and sample times after a set-up call that returned.
bool declare(BlockSession& session, RunResult& result) {
  std::string error;
  if (!checkInterface(*session.record(), error)) {
    result.errors.push_back(error);
    return false;
  }
  if (!session.method(kFlagSampleTimes, error)) {
    result.errors.push_back("sample times: " + error);
    return false;
  }
  return true;
}

bool terminate(BlockSession& session, RunResult& result) {
  simcardClearWriteTrace();
  std::string error;
  std::string status;
  bool ok = session.method(kFlagTerminate, error);
  if (!ok) result.errors.push_back("terminate: " + error);
  countWrites(result, status);
  return ok;
}

}  // namespace

RunResult runSimulation(MexFunctionPtr entry, const SessionSettings& settings,
                        const InputSignal& input, const ProgressFn& progress) {
  RunResult result;
  BlockSession session(entry, settings.blockPath);
  std::string error;
  bool setUp = session.setUp(error);
  if (!setUp) result.errors.push_back("set-up: " + error);
  bool ran =
      setUp && declare(session, result) && runSteps(session, settings, input, progress, result);
  // A host ends every simulation whose set-up call returned, also after an error.
  if (setUp) ran = terminate(session, result) && ran;
  for (int ch = 0; ch < 2; ++ch)
    result.channels[static_cast<size_t>(ch)].finalVolts = simcardOutputVolts(ch);
  result.tasksLeftOpen = simcardOpenTaskCount();
  result.completed = ran;
  collectHostLogs(result);
  return result;
}

}  // namespace sim
