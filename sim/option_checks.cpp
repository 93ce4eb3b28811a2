#include "sim/option_checks.h"

#include "sim/report/svg_plot.h"
#include "sim/system/file_identity.h"
#include "sim/system/native_file.h"
#include "sim/system/quoted_text.h"
#include "sim/system/shortest_decimal.h"

namespace sim {
namespace {

// "-", /dev/stdout and /dev/fd/1 are one stream, whatever stands behind it.
int outputStream(const std::string& path) {
  if (path.empty()) return -1;
  return path == "-" ? 1 : streamDescriptor(path);
}

}  // namespace

bool checkAgainstInput(const Options& options, const StepSource& input, std::string& error) {
  const int64_t steps = input.steps();
  const long long lastWrite = 2 * (steps + 1);
  if (options.failWriteAt > lastWrite) {
    error = "--fail-write-at " + std::to_string(options.failWriteAt) +
            " is past the run's last write: " + std::to_string(steps) +
            (steps == 1 ? " step makes " : " steps make ") + std::to_string(lastWrite) +
            " writes (two a step, two at shutdown)";
    return false;
  }
  if (!plottableSpan(steps, options.dt, input.startTime())) {
    error = std::to_string(steps) + " steps of " + shortestDecimal(options.dt) +
            " s run past the largest time a double holds";
    return false;
  }
  return true;
}

bool checkDistinctPaths(const Options& options, std::string& error) {
  const int stream = outputStream(options.tracePath);
  if (stream >= 0 && outputStream(options.plotPath) == stream) {
    error = "--trace and --plot name the same file: " + quotedText(options.tracePath) + " and " +
            quotedText(options.plotPath) + " are one stream";
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
    std::string identity = files[i].path.empty() ? "" : fileIdentity(files[i].path);
    for (size_t j = i + 1; j < 4 && !identity.empty(); ++j) {
      if (!files[j].path.empty() && fileIdentity(files[j].path) == identity) {
        error = std::string(files[i].role) + " and " + files[j].role + " name the same file " +
                quotedText(files[i].path);
        return false;
      }
    }
  }
  return true;
}

}  // namespace sim
