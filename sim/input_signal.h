// The two input voltages of every step, from a CSV file or built in.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sim {

using StepInput = std::array<double, 2>;  // volts for ao0, ao1

// Longest run: the trace of every step is kept in memory.
constexpr int kMaxSteps = 1000000;

struct InputSignal {
  std::vector<StepInput> steps;
  std::string description;  // for the summary, e.g. "file in.csv" or "built-in sine/ramp"
};

// Reads two columns of volts, one row per step. A first row that is not
// numeric is taken as a header. Returns false with a message naming the line
// for a malformed row or a wrong column count.
bool readInputCsv(const std::string& path, InputSignal& signal, std::string& error);

// The default waveforms: a 0-5 V sine on ao0 (one period over the run) and a
// 0-5 V ramp on ao1.
InputSignal builtInWaveforms(int steps);

}  // namespace sim
