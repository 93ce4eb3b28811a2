#include "sim/run/stopped_run_text.h"

#include "sim/system/stop_signal.h"

namespace sim {

std::string stoppedRunText(int signalNumber, const RunResult& result, int64_t totalSteps) {
  std::string text = std::string("stopped by ") + stopName(signalNumber) + " after step " +
                     std::to_string(result.steps) + " of " + std::to_string(totalSteps) +
                     "; the block's end of run left ";
  if (result.zeroed(0) && result.zeroed(1)) {
    text += "both outputs zeroed";
  } else {
    for (size_t ch = 0; ch < result.channels.size(); ++ch)
      text += std::string(ch > 0 ? ", " : "") + "Dev1/ao" + std::to_string(ch) +
              (result.zeroed(ch) ? " zeroed" : " NOT ZEROED");
  }
  text += result.tasksLeftOpen == 0
              ? " and no task open"
              : " and " + std::to_string(result.tasksLeftOpen) + " tasks open";
  if (!result.errors.empty())
    text += "; the module reported " + std::to_string(result.errors.size()) + " error(s)";
  return text;
}

}  // namespace sim
