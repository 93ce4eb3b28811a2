// twinvolts-sim: plays the simulation host and the card for the twinvolts
// module, so its effect on the two outputs can be seen without either.
// Everything a user gives is checked before the first call into the module.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sim/input/open_steps.h"
#include "sim/option_checks.h"
#include "sim/options.h"
#include "sim/report/json_summary.h"
#include "sim/report/run_outputs.h"
#include "sim/report/sizes_report.h"
#include "sim/report/summary.h"
#include "sim/run/channel_reservation.h"
#include "sim/run/host_session.h"
#include "sim/run/stopped_run_text.h"
#include "sim/run/unknown_levels.h"
#include "sim/system/command_line.h"
#include "sim/system/program_paths.h"
#include "sim/system/quoted_text.h"
#include "sim/system/stop_signal.h"
#include "sim/system/terminal.h"
#include "simcard/simcard.h"
#include "standin_host/host_calls.h"
#include "standin_host/module_loader.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#ifndef TWINVOLTS_VERSION
#define TWINVOLTS_VERSION "unversioned"
#endif

namespace {

enum ExitStatus { kClean = 0, kModuleError = 1, kBadInput = 2, kFaults = 3 };

// One line whatever the message holds: a part that came from the user or a
// library and was not quoted yet is shown as every such text is.
int fail(int status, const std::string& message) {
  sim::writeText(stderr, "twinvolts-sim: " + sim::escapedText(message) + "\n");
  return status;
}

// A mistake the help tells how to mend: an option, or the input's format.
int badInput(const std::string& message) {
  return fail(kBadInput, message + " (try --help)");
}

// A file that cannot be used as it is (missing, not writable, not a module):
// the message says why, and the help has nothing to add.
int refused(const std::string& message) {
  return fail(kBadInput, message);
}

// Standard output is an output like the others: a failed write is an error.
int print(std::FILE* stream, const std::string& text, int status) {
  errno = 0;
  if (sim::writeText(stream, text)) return status;
  int error = errno != 0 ? errno : EIO;
  if (sim::pipeReaderGone(stream, error)) sim::endAsPipeGone();
  return fail(kBadInput, std::string("cannot write ") +
                             (stream == stdout ? "standard output" : "standard error") + ": " +
                             std::strerror(error));
}

// The card as the options ask for it, then the run; every check is done.
int runChecked(const sim::Options& options, MexFunctionPtr entry, sim::StepSource& input,
               sim::RunOutputs& outputs) {
  simcardReset();
  simcardSetPresent(!options.noCard);
  simcardFailWriteAt(options.failWriteAt);
  sim::ChannelReservation reservation;
  std::string error;
  if (options.reservedChannel >= 0 && !reservation.hold(options.reservedChannel, error))
    return fail(kBadInput, error);
  sim::setRunInProgress(true);
  sim::RunResult result =
      sim::runSimulation(entry, {options.blockPath, options.dt}, input, outputs);
  sim::setRunInProgress(false);
  reservation.release();
  result.tasksLeftOpen = simcardOpenTaskCount();
  sim::noteUnknownLevels(options.noCard, options.reservedChannel, result);
  if (int stop = sim::stopRequested()) {
    outputs.stop(result);
    fail(0, sim::stoppedRunText(stop, result, input.steps()));
    sim::endByStopSignal(stop);
  }
  if (!result.inputError.empty()) {
    outputs.discard();
    return fail(kBadInput, result.inputError);
  }
  // An output that failed is told, and what the run did still follows.
  const bool written = outputs.finish(result, error) || fail(kBadInput, error) == kClean;
  std::FILE* stream = outputs.onStandardOutput() ? stderr : stdout;
  sim::SummaryContext context{
      sim::shownPath(options.modulePath), options.blockPath, input.description(), options.dt,
      sim::terminalWidth(stream),         options.quiet};
  int status = result.completed ? (result.clean() ? kClean : kFaults) : kModuleError;
  if (!written && status == kClean) status = kBadInput;
  return print(
      stream,
      options.json ? sim::summaryJson(context, result, status) : sim::summaryText(context, result),
      status);
}

// The module file, or a one-line reason it cannot be loaded.
bool loadModule(const std::string& path, StandinModule& module, std::string& error) {
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  if (standinLoadModule(path.c_str(), &module, message, sizeof message) == STANDIN_LOAD_OK)
    return true;
  error = message;
  return false;
}

int simulate(sim::Options options) {
  std::string error;
  bool fileFault = false;
  double timeStep = 0.0;
  std::unique_ptr<sim::StepSource> input =
      sim::openSteps(options.inputPath, options.builtInSteps, options.dtGiven ? options.dt : 0.0,
                     timeStep, error, fileFault);
  if (!input) return fileFault ? refused(error) : badInput(error);
  if (!options.dtGiven && timeStep > 0.0) options.dt = timeStep;
  if (!sim::checkAgainstInput(options, *input, error)) return badInput(error);
  if (!sim::checkDistinctPaths(options, error)) return refused(error);
  if (!sim::checkOutputNames(options, error)) return badInput(error);
  sim::RunOutputs outputs({options.tracePath, options.plotPath,
                           "twinvolts " + options.blockPath + ": card outputs", input->steps(),
                           options.dt, input->startTime()});
  if (!outputs.open(error)) return refused(error);
  StandinModule module{};
  if (!loadModule(options.modulePath, module, error)) return refused(error);
  int status = runChecked(options, module.mexFunction, *input, outputs);
  standinUnloadModule(&module);
  return status;
}

// What the set-up call said, on standard error: a warning makes the sizes a
// result with faults.
int showSetUpMessages(int status) {
  std::string text = sim::setUpMessagesText(sim::terminalWidth(stderr));
  return text.empty() ? status : print(stderr, text, status == kClean ? kFaults : status);
}

int sizes(const sim::Options& options) {
  StandinModule module{};
  std::string text, error;
  if (!loadModule(options.modulePath, module, error)) return refused(error);
  simcardReset();
  simcardSetPresent(!options.noCard);
  sim::ChannelReservation reservation;  // the set-up meets it as a run's does
  if (options.reservedChannel >= 0 && !reservation.hold(options.reservedChannel, error)) {
    standinUnloadModule(&module);
    return fail(kBadInput, error);
  }
  int status = sim::sizesText(module.mexFunction, text, error) ? print(stdout, text, kClean)
                                                               : fail(kModuleError, error);
  standinUnloadModule(&module);
  reservation.release();
  return showSetUpMessages(status);
}

int run(int argc, char** argv) {
  sim::watchStopSignals();
  sim::Options options;
  std::string error;
  if (!sim::parseOptions(argc, argv, options, error)) return badInput(error);
  if (options.help) return print(stdout, sim::usageText(), kClean);
  if (options.version) return print(stdout, "twinvolts-sim " TWINVOLTS_VERSION "\n", kClean);
  if (options.modulePath.empty())
    options.modulePath = sim::defaultModulePath(argc > 0 ? argv[0] : "", TWINVOLTS_DEFAULT_MODULE);
  return options.sizesOnly ? sizes(options) : simulate(options);
}

}  // namespace

#ifdef _WIN32
// Built with -municode: the command line in UTF-16, whatever the code page.
int wmain(int argc, wchar_t** argv) {
  // LF in every output, as in a file.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  std::vector<std::string> arguments;
  std::string error;
  if (!sim::utf8Arguments(argc, argv, arguments, error)) return badInput(error);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return run(argc, pointers.data());
}
#else
int main(int argc, char** argv) {
  return run(argc, argv);
}
#endif
