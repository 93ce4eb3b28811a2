#include "sim/trace_csv.h"

#include <fstream>
#include <iomanip>

namespace sim {
namespace {

// Quotes a status text only when it would break the row.
std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

bool writeTraceCsv(const std::string& path, const RunResult& result) {
  std::ofstream file(path);
  if (!file) return false;
  file << "step,time_s,ao0_requested_V,ao0_actual_V,ao1_requested_V,ao1_actual_V,status\n";
  file << std::setprecision(10);
  for (const StepRecord& step : result.steps) {
    file << step.step << "," << step.time << "," << step.requested[0] << "," << step.actual[0]
         << "," << step.requested[1] << "," << step.actual[1] << "," << csvField(step.status)
         << "\n";
  }
  return static_cast<bool>(file.flush());
}

}  // namespace sim
