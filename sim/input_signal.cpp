#include "sim/input_signal.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sim {
namespace {

std::string trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::vector<std::string> splitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, ',')) fields.push_back(trimmed(field));
  if (!line.empty() && line.back() == ',') fields.push_back("");
  return fields;
}

bool parseVolts(const std::string& field, double& value) {
  if (field.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(field.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

}  // namespace

bool readInputCsv(const std::string& path, InputSignal& signal, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = "cannot open input file '" + path + "'";
    return false;
  }
  signal.steps.clear();
  signal.description = "file " + path;
  std::string line;
  int lineNumber = 0;
  while (std::getline(file, line)) {
    ++lineNumber;
    // Editors that save "UTF-8 with BOM" put three bytes before the first row.
    if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (trimmed(line).empty()) continue;
    std::vector<std::string> fields = splitFields(trimmed(line));
    StepInput volts{};
    bool numeric =
        fields.size() == 2 && parseVolts(fields[0], volts[0]) && parseVolts(fields[1], volts[1]);
    if (numeric && signal.steps.size() >= static_cast<size_t>(kMaxSteps)) {
      error = path + ":" + std::to_string(lineNumber) + ": more than " + std::to_string(kMaxSteps) +
              " rows of volts";
      return false;
    }
    if (numeric) {
      signal.steps.push_back(volts);
      continue;
    }
    bool header = signal.steps.empty() && fields.size() == 2 && !parseVolts(fields[0], volts[0]);
    if (header && lineNumber == 1) continue;
    std::ostringstream message;
    message << path << ":" << lineNumber << ": ";
    if (fields.size() != 2)
      message << "expected 2 columns of volts, found " << fields.size();
    else
      message << "not a number of volts: '" << line << "'";
    error = message.str();
    return false;
  }
  if (signal.steps.empty()) {
    error = path + ": no rows of volts";
    return false;
  }
  return true;
}

InputSignal builtInWaveforms(int steps) {
  const double pi = std::acos(-1.0);
  InputSignal signal;
  signal.description = "built-in: 0-5 V sine on ao0, 0-5 V ramp on ao1";
  signal.steps.reserve(static_cast<size_t>(steps));
  for (int k = 0; k < steps; ++k) {
    double phase = steps > 1 ? static_cast<double>(k) / (steps - 1) : 0.0;
    double sine = 2.5 + 2.5 * std::sin(2.0 * pi * phase);
    signal.steps.push_back({sine, 5.0 * phase});
  }
  return signal;
}

}  // namespace sim
