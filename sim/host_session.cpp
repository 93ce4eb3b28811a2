#include "sim/host_session.h"

#include <algorithm>
#include <string>

#include "gateway/sfcn_names.h"
#include "gateway/sfcn_record.h"
#include "simcard/simcard.h"
#include "standin_host/block_session.h"
#include "standin_host/host_record.h"

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
    bool ok = session.method(kFlagOutputs);
    step.status = "ok";
    countWrites(result, step.status);
    step.actual = {simcardOutputVolts(0), simcardOutputVolts(1)};
    noteExtremes(step, result);
    result.steps.push_back(step);
    if (progress) progress(k + 1, input.steps.size());
    if (!ok) {
      result.errors.push_back("step " + std::to_string(k) + ": " + session.error());
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
  if (!session.method(kFlagSampleTimes)) {
    result.errors.push_back("sample times: " + std::string(session.error()));
    return false;
  }
  return true;
}

bool terminate(BlockSession& session, RunResult& result) {
  simcardClearWriteTrace();
  std::string status;
  bool ok = session.method(kFlagTerminate);
  if (!ok) result.errors.push_back("terminate: " + std::string(session.error()));
  countWrites(result, status);
  return ok;
}

}  // namespace

RunResult runSimulation(MexFunctionPtr entry, const SessionSettings& settings,
                        const InputSignal& input, const ProgressFn& progress) {
  RunResult result;
  BlockSession session(entry, S_FUNCTION_NAME, settings.blockPath.c_str());
  bool setUp = session.setUp();
  if (!setUp) result.errors.push_back("set-up: " + std::string(session.error()));
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
