#include "sim/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "sim/input_signal.h"

namespace sim {
namespace {

bool parseDouble(const char* text, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text, &end);
  return errno == 0 && end != text && *end == '\0' && std::isfinite(value);
}

bool parseLong(const char* text, long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

class ArgReader {
 public:
  ArgReader(int argc, char** argv) : argc_(argc), argv_(argv) {}
  bool done() const { return next_ >= argc_; }
  const char* take() { return argv_[next_++]; }
  bool value(const char* option, const char*& text, std::string& error) {
    if (done()) {
      error = std::string("option ") + option + " needs a value";
      return false;
    }
    text = take();
    return true;
  }

 private:
  int argc_;
  char** argv_;
  int next_ = 1;
};

bool takeValue(ArgReader& args, const char* option, Options& options, std::string& error) {
  const char* text = nullptr;
  if (!args.value(option, text, error)) return false;
  auto bad = [&](const char* what) {
    error = std::string("option ") + option + " needs " + what + ", not '" + text + "'";
    return false;
  };
  std::string name = option;
  if (name == "--module")
    options.modulePath = text;
  else if (name == "--block")
    options.blockPath = text;
  else if (name == "--input")
    options.inputPath = text;
  else if (name == "--trace")
    options.tracePath = text;
  else if (name == "--plot")
    options.plotPath = text;
  else if (name == "--dt") {
    if (!parseDouble(text, options.dt) || options.dt <= 0.0)
      return bad("a positive number of seconds");
  } else if (name == "--steps") {
    long steps = 0;
    if (!parseLong(text, steps) || steps < 1 || steps > kMaxSteps)
      return bad("a step count from 1 to 1000000");
    options.builtInSteps = static_cast<int>(steps);
  } else if (name == "--fail-write-at") {
    if (!parseLong(text, options.failWriteAt) || options.failWriteAt < 1)
      return bad("a write number from 1");
  }
  return true;
}

bool takesValue(const std::string& option) {
  for (const char* name : {"--module", "--block", "--input", "--trace", "--plot", "--dt", "--steps",
                           "--fail-write-at"})
    if (option == name) return true;
  return false;
}

}  // namespace

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
  ArgReader args(argc, argv);
  bool modulePositional = false;
  while (!args.done()) {
    std::string option = args.take();
    if (takesValue(option)) {
      if (!takeValue(args, option.c_str(), options, error)) return false;
    } else if (option == "--no-card") {
      options.noCard = true;
    } else if (option == "--sizes") {
      options.sizesOnly = true;
    } else if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option.rfind("-", 0) != 0 && !modulePositional && options.modulePath.empty()) {
      options.modulePath = option;
      modulePositional = true;
    } else {
      error = "unknown option '" + option + "'";
      return false;
    }
  }
  return true;
}

const char* usageText() {
  return "usage: twinvolts-sim [MODULE] [options]\n"
         "Loads the twinvolts module as a simulation host does and runs it against a\n"
         "simulated card with analog outputs Dev1/ao0 and Dev1/ao1.\n"
         "\n"
         "  MODULE, --module PATH  module file (default: the one built for this machine)\n"
         "  --block PATH           block path in the model (default model/twinvolts)\n"
         "  --input FILE.csv       two columns of volts (ao0, ao1), one row per step;\n"
         "                         default: 0-5 V sine on ao0 and 0-5 V ramp on ao1\n"
         "  --steps N              steps of the built-in waveforms (default 500)\n"
         "  --dt SECONDS           step size (default 0.01)\n"
         "  --no-card              run without a card present\n"
         "  --fail-write-at N      make the card refuse its N-th write\n"
         "  --sizes                only ask for the block's sizes and print them\n"
         "  --trace FILE.csv       write step, time, requested and actual volts, status\n"
         "  --plot FILE.svg        plot both outputs over time\n"
         "\n"
         "Exit status: 0 run completed, 1 the module posted an error, 2 bad input.\n";
}

}  // namespace sim
