#include "sim/summary.h"

#include <cstdio>
#include <vector>

namespace sim {
namespace {

std::string volts(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f V", value);
  return text;
}

void printList(std::ostream& out, const char* label, const std::vector<std::string>& items) {
  out << label << items.size() << "\n";
  for (const std::string& item : items) out << "  " << item << "\n";
}

}  // namespace

void printSummary(std::ostream& out, const SummaryContext& context, const RunResult& result) {
  out << "module      " << context.modulePath << "\n";
  out << "block       " << context.blockPath << "\n";
  out << "input       " << context.inputDescription << "\n";
  out << "steps       " << result.steps.size() << " of " << context.dt << " s\n";
  for (size_t ch = 0; ch < result.channels.size(); ++ch) {
    const ChannelFigures& figures = result.channels[ch];
    out << "Dev1/ao" << ch << "    writes " << figures.writes << ", refused " << figures.refused
        << ", min " << volts(figures.minVolts) << ", max " << volts(figures.maxVolts) << ", final "
        << volts(figures.finalVolts) << "\n";
  }
  if (result.unassigned.writes > 0)
    out << "no channel  writes " << result.unassigned.writes << ", refused "
        << result.unassigned.refused << "\n";
  printList(out, "warnings    ", result.warnings);
  printList(out, "dialogs     ", result.dialogs);
  printList(out, "errors      ", result.errors);
  out << "tasks open  " << result.tasksLeftOpen << "\n";
  out << "result      " << (result.completed ? "completed" : "stopped") << "\n";
}

}  // namespace sim
