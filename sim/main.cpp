// twinvolts-sim: plays the simulation host and the card for the twinvolts
// module, so its effect on the two outputs can be seen without either.
#include <cstdio>
#include <iostream>
#include <string>

#include "sim/host_session.h"
#include "sim/input_signal.h"
#include "sim/options.h"
#include "sim/progress.h"
#include "sim/sizes_report.h"
#include "sim/summary.h"
#include "sim/svg_plot.h"
#include "sim/trace_csv.h"
#include "simcard/simcard.h"
#include "standin_host/module_loader.h"

namespace {

enum ExitStatus { kCompleted = 0, kModuleError = 1, kBadInput = 2 };

int fail(int status, const std::string& message) {
  std::cerr << "twinvolts-sim: " << message << "\n";
  return status;
}

// The module built for this machine, unless the build named an absolute path:
// then a plain file name beside this program.
std::string defaultModulePath(const char* argv0) {
  std::string name = TWINVOLTS_DEFAULT_MODULE;
  if (!name.empty() && (name[0] == '/' || name.find(':') != std::string::npos)) return name;
  std::string program = argv0;
  size_t slash = program.find_last_of("/\\");
  return slash == std::string::npos ? name : program.substr(0, slash + 1) + name;
}

bool loadInput(const sim::Options& options, sim::InputSignal& input, std::string& error) {
  if (options.inputPath.empty()) {
    input = sim::builtInWaveforms(options.builtInSteps);
    return true;
  }
  return sim::readInputCsv(options.inputPath, input, error);
}

int writeOutputs(const sim::Options& options, const sim::RunResult& result) {
  if (!options.tracePath.empty() && !sim::writeTraceCsv(options.tracePath, result))
    return fail(kBadInput, "cannot write trace file '" + options.tracePath + "'");
  std::string title = "twinvolts " + options.blockPath + ": card outputs";
  if (!options.plotPath.empty() && !sim::writeSvgPlot(options.plotPath, title, result))
    return fail(kBadInput, "cannot write plot file '" + options.plotPath + "'");
  return kCompleted;
}

int simulate(const sim::Options& options, MexFunctionPtr entry) {
  sim::InputSignal input;
  std::string error;
  if (!loadInput(options, input, error)) return fail(kBadInput, error);
  sim::ProgressLine progress;
  sim::RunResult result =
      sim::runSimulation(entry, {options.blockPath, options.dt}, input,
                         [&progress](size_t done, size_t total) { progress.update(done, total); });
  progress.finish();
  sim::printSummary(std::cout,
                    {options.modulePath, options.blockPath, input.description, options.dt}, result);
  int written = writeOutputs(options, result);
  if (written != kCompleted) return written;
  return result.completed ? kCompleted : kModuleError;
}

int runWithModule(const sim::Options& options) {
  StandinModule module{};
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  if (standinLoadModule(options.modulePath.c_str(), &module, message, sizeof message) !=
      STANDIN_LOAD_OK)
    return fail(kBadInput, message);
  simcardReset();
  simcardSetPresent(!options.noCard);
  simcardFailWriteAt(options.failWriteAt);
  int status = kCompleted;
  std::string error;
  if (options.sizesOnly) {
    if (!sim::printSizes(std::cout, module.mexFunction, error)) status = fail(kModuleError, error);
  } else {
    status = simulate(options, module.mexFunction);
  }
  standinUnloadModule(&module);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  sim::Options options;
  std::string error;
  if (!sim::parseOptions(argc, argv, options, error)) {
    std::cerr << "twinvolts-sim: " << error << "\n" << sim::usageText();
    return kBadInput;
  }
  if (options.help) {
    std::cout << sim::usageText();
    return kCompleted;
  }
  if (options.modulePath.empty()) options.modulePath = defaultModulePath(argv[0]);
  return runWithModule(options);
}
