// twinvolts-sim: plays the simulation host and the card for the twinvolts
// module, so its effect on the two outputs can be seen without either.
// Everything a user gives is checked before the first call into the module.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sim/input/builtin_waveforms.h"
#include "sim/input/csv_input.h"
#include "sim/options.h"
#include "sim/report/progress.h"
#include "sim/report/sizes_report.h"
#include "sim/report/summary.h"
#include "sim/report/svg_plot.h"
#include "sim/report/trace_csv.h"
#include "sim/report/wrapped_text.h"
#include "sim/run/channel_reservation.h"
#include "sim/run/host_session.h"
#include "sim/run/stopped_run_text.h"
#include "sim/system/command_line.h"
#include "sim/system/file_identity.h"
#include "sim/system/native_file.h"
#include "sim/system/output_file.h"
#include "sim/system/quoted_text.h"
#include "sim/system/shortest_decimal.h"
#include "sim/system/stop_signal.h"
#include "sim/system/terminal.h"
#include "simcard/simcard.h"
#include "standin_host/host_calls.h"
#include "standin_host/message_log.h"
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

// The folder this program runs from, as the system knows it, so a program
// found through PATH still finds its module; else argv[0]'s folder.
std::filesystem::path programFolder(const std::string& argv0) {
#ifdef _WIN32
  std::wstring self(32768, L'\0');  // the longest path Windows has
  DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (length > 0 && length < self.size())
    return std::filesystem::path(self.substr(0, length)).parent_path();
  return sim::nativePath(argv0).parent_path();
#else
  std::error_code failed;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  if (failed) self = argv0;
  return self.parent_path();
#endif
}

// The module file built with this program, named relative to the program's
// folder so that a build does not record where its checkout lies: where the
// build put it or, in a release kit, the kit's module folder beside it.
std::string defaultModulePath(const std::string& argv0) {
  const std::filesystem::path folder = programFolder(argv0);
  const std::filesystem::path built = folder / sim::nativePath(TWINVOLTS_DEFAULT_MODULE);
  const std::filesystem::path kit = folder / ".." / "module" / built.filename();
  std::error_code failed;
  const bool inKit =
      !std::filesystem::exists(built, failed) && std::filesystem::exists(kit, failed);
  return sim::utf8Path((inKit ? kit : built).lexically_normal());
}

// A path as the user would type it from here: relative when it lies below
// the current directory.
std::string shownPath(const std::string& path) {
  std::error_code failed;
  std::filesystem::path relative = std::filesystem::relative(sim::nativePath(path), failed);
  // In the system's own separators: backslashes on Windows.
  if (failed || relative.empty() || *relative.begin() == "..")
    return sim::utf8Path(sim::nativePath(path).make_preferred());
  return sim::utf8Path(relative.make_preferred());
}

// Without --dt, an input's time column sets the step. A failure is the
// file's (fileFault) or its text's.
bool openInput(sim::Options& options, std::unique_ptr<sim::StepSource>& input, std::string& error,
               bool& fileFault) {
  if (options.inputPath.empty()) {
    input = std::make_unique<sim::BuiltInWaveforms>(options.builtInSteps);
    return true;
  }
  auto csv = std::make_unique<sim::CsvInput>(options.dtGiven ? options.dt : 0.0);
  if (!csv->open(options.inputPath, error)) {
    fileFault = csv->fileFault();
    return false;
  }
  if (!options.dtGiven && csv->timeStep() > 0.0) options.dt = csv->timeStep();
  input = std::move(csv);
  return true;
}

// The block writes both channels every step and zeroes both at shutdown.
bool checkFailWriteAt(const sim::Options& options, int64_t steps, std::string& error) {
  const long long lastWrite = 2 * (steps + 1);
  if (options.failWriteAt <= lastWrite) return true;
  error = "--fail-write-at " + std::to_string(options.failWriteAt) +
          " is past the run's last write: " + std::to_string(steps) +
          (steps == 1 ? " step makes " : " steps make ") + std::to_string(lastWrite) +
          " writes (two a step, two at shutdown)";
  return false;
}

// "-", /dev/stdout and /dev/fd/1 are one stream, whatever stands behind it.
int outputStream(const std::string& path) {
  if (path.empty()) return -1;
  return path == "-" ? 1 : sim::streamDescriptor(path);
}

// No output may be an input, the module, or the other output.
bool checkDistinctPaths(const sim::Options& options, std::string& error) {
  const int stream = outputStream(options.tracePath);
  if (stream >= 0 && outputStream(options.plotPath) == stream) {
    error = "--trace and --plot name the same file: " + sim::quotedText(options.tracePath) +
            " and " + sim::quotedText(options.plotPath) + " are one stream";
    return false;
  }
  // The summary goes to the standard stream that no output takes.
  if (stream >= 1 && stream <= 2 && outputStream(options.plotPath) == 3 - stream) {
    error =
        "--trace and --plot take standard output and standard error, which leaves the "
        "summary no stream: write one of them to a file";
    return false;
  }
  const std::string input = options.inputPath == "-" ? "" : options.inputPath;  // standard input
  struct Named {
    const char* role;
    const std::string& path;
  } files[] = {{"--trace", options.tracePath},
               {"--plot", options.plotPath},
               {"--input", input},
               {"the module", options.modulePath}};
  for (size_t i = 0; i < 2; ++i) {
    std::string identity = files[i].path.empty() ? "" : sim::fileIdentity(files[i].path);
    for (size_t j = i + 1; j < 4 && !identity.empty(); ++j) {
      if (!files[j].path.empty() && sim::fileIdentity(files[j].path) == identity) {
        error = std::string(files[i].role) + " and " + files[j].role + " name the same file " +
                sim::quotedText(files[i].path);
        return false;
      }
    }
  }
  return true;
}

class Outputs : public sim::StepObserver {
 public:
  Outputs(const sim::Options& options, const sim::StepSource& input)
      : options_(options),
        plot_(input.steps(), options.dt, input.startTime()),
        total_(input.steps()) {}

  bool open(std::string& error) {
    if (!options_.tracePath.empty()) {
      if (!traceFile_.open(options_.tracePath, error)) return false;
      trace_ = std::make_unique<sim::TraceCsv>(traceFile_);
    }
    if (!options_.plotPath.empty() && !plotFile_.open(options_.plotPath, error)) return false;
    if (traceFile_.isTerminal() || plotFile_.isTerminal()) progress_.keepOff();
    return true;
  }

  void onStep(const sim::StepRecord& step) override {
    if (trace_) trace_->add(step);
    if (plotFile_.isOpen()) plot_.add(step);
    // Reading the clock costs more than a step: look now and then.
    if (!step.shutdown && (step.step & (sim::kSparseStride - 1)) == 0)
      progress_.update(step.step, total_);
  }

  bool wantsEveryStep() const override { return trace_ != nullptr || plotFile_.isOpen(); }

  bool finish(const sim::RunResult& result, std::string& error) {
    progress_.finish();
    if (trace_) trace_->flush();
    if (plotFile_.isOpen())
      plotFile_.write(
          plot_.render("twinvolts " + options_.blockPath + ": card outputs", result.channels));
    return traceFile_.finish(error) && plotFile_.finish(error);
  }

  // A stopped run: a stream keeps what it got, up to the shutdown; a file
  // keeps what it had.
  void stop(const sim::RunResult& result) {
    if (!traceFile_.isStream()) traceFile_.discard();
    if (!plotFile_.isStream()) plotFile_.discard();
    std::string ignored;
    finish(result, ignored);
  }

  // The input failed part-way: what was written is not the run asked for.
  void discard() {
    progress_.finish();
    traceFile_.discard();
    plotFile_.discard();
  }

  bool onStandardOutput() const {
    return traceFile_.isStandardOutput() || plotFile_.isStandardOutput();
  }

 private:
  const sim::Options& options_;
  sim::OutputFile traceFile_, plotFile_;
  std::unique_ptr<sim::TraceCsv> trace_;
  sim::SvgPlot plot_;
  sim::ProgressLine progress_;
  int64_t total_;
};

// Why a level after shutdown is unknown: without a card, or on a channel
// another task holds, the simulated card's level is not the one a real
// output would keep; a channel no write reached keeps what it had before.
void noteUnknownLevels(const sim::Options& options, sim::RunResult& result) {
  for (size_t ch = 0; ch < result.channels.size(); ++ch) {
    sim::ChannelFigures& channel = result.channels[ch];
    if (channel.finalKnown) continue;
    if (options.noCard)
      channel.levelUnknown = "no card";
    else if (options.reservedChannel == static_cast<int>(ch))
      channel.levelUnknown = "held by another task";
    else
      channel.levelUnknown = "no write accepted";
  }
}

// The card as the options ask for it, then the run; every check is done.
int runChecked(const sim::Options& options, MexFunctionPtr entry, sim::StepSource& input,
               Outputs& outputs) {
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
  noteUnknownLevels(options, result);
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
  sim::SummaryContext context{shownPath(options.modulePath), options.blockPath,
                              input.description(),           options.dt,
                              sim::terminalWidth(stream),    options.quiet};
  int status = result.completed ? (result.clean() ? kClean : kFaults) : kModuleError;
  if (!written && status == kClean) status = kBadInput;
  return print(stream, sim::summaryText(context, result), status);
}

int simulate(sim::Options options) {
  std::unique_ptr<sim::StepSource> input;
  std::string error;
  bool fileFault = false;
  if (!openInput(options, input, error, fileFault))
    return fileFault ? refused(error) : badInput(error);
  if (!checkFailWriteAt(options, input->steps(), error)) return badInput(error);
  if (!sim::plottableSpan(input->steps(), options.dt, input->startTime()))
    return badInput(std::to_string(input->steps()) + " steps of " +
                    sim::shortestDecimal(options.dt) +
                    " s run past the largest time a double holds");
  if (!checkDistinctPaths(options, error)) return refused(error);
  if (!sim::checkOutputNames(options, error)) return badInput(error);
  Outputs outputs(options, *input);
  if (!outputs.open(error)) return refused(error);
  StandinModule module{};
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  if (standinLoadModule(options.modulePath.c_str(), &module, message, sizeof message) !=
      STANDIN_LOAD_OK)
    return refused(message);
  int status = runChecked(options, module.mexFunction, *input, outputs);
  standinUnloadModule(&module);
  return status;
}

// What the set-up call said, each message whole on standard error (on a
// terminal wrapped at spaces): a warning makes the sizes a result with faults.
int showSetUpMessages(int status) {
  std::string text;
  for (size_t i = 0; i < standinWarningCount(); ++i)
    text +=
        sim::wrappedText("twinvolts-sim: set-up warning: " + sim::escapedText(standinWarning(i)),
                         sim::terminalWidth(stderr), 0, 4) +
        "\n";
  for (size_t i = 0; i < standinDialogCount(); ++i) {
    StandinDialog dialog = standinDialog(i);
    text += "twinvolts-sim: set-up dialog: " +
            sim::escapedText(std::string(dialog.title) + ": " + dialog.message) + "\n";
  }
  standinForgetMessages();
  if (text.empty()) return status;
  return print(stderr, text, status == kClean ? kFaults : status);
}

int sizes(const sim::Options& options) {
  StandinModule module{};
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  if (standinLoadModule(options.modulePath.c_str(), &module, message, sizeof message) !=
      STANDIN_LOAD_OK)
    return refused(message);
  simcardReset();
  simcardSetPresent(!options.noCard);
  std::string text, error;
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
  if (options.modulePath.empty()) options.modulePath = defaultModulePath(argc > 0 ? argv[0] : "");
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
