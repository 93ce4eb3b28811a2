// What a simulated run produced, step by step and in total.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sim {

struct StepRecord {
  int step = 0;
  double time = 0.0;
  std::array<double, 2> requested{};  // input volts of ao0, ao1
  std::array<double, 2> actual{};     // card output after the step
  std::string status;                 // "ok", or what the card said about a refused write
};

struct ChannelFigures {
  int writes = 0;
  int refused = 0;
  double minVolts = 0.0;  // of the output over the run
  double maxVolts = 0.0;
  double finalVolts = 0.0;  // after the block was shut down
};

struct RunResult {
  std::vector<StepRecord> steps;
  std::array<ChannelFigures, 2> channels{};
  // Writes to a task that holds no channel (its channel could not be added,
  // as without a card): they reach neither output.
  ChannelFigures unassigned{};
  std::vector<std::string> warnings;
  std::vector<std::string> dialogs;
  std::vector<std::string> errors;  // posted in the error slot or raised by set-up
  int tasksLeftOpen = 0;
  bool completed = false;  // set-up, sample times, every step and shutdown ran without error
};

}  // namespace sim
