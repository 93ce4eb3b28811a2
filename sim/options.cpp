#include "sim/options.h"

#include <cerrno>
#include <cstdlib>
#include <set>
#include <string_view>

#include "exit_status_table.h"
#include "sim/input/decimal_number.h"
#include "sim/system/native_file.h"
#include "sim/system/quoted_text.h"

namespace sim {
namespace {

struct OptionKind {
  const char* name;
  bool takesValue;
  bool runOnly;  // meaningless for a --sizes call
};

const OptionKind kOptions[] = {
    {"--module", true, false},   {"--block", true, true},
    {"--input", true, true},     {"--steps", true, true},
    {"--dt", true, true},        {"--no-card", false, false},
    {"--reserve", true, false},  {"--fail-write-at", true, true},
    {"--trace", true, true},     {"--plot", true, true},
    {"--sizes", false, false},   {"--quiet", false, false},
    {"--json", false, true},     {"--help", false, false},
    {"--version", false, false},
};

// -h and -? as most programs take them, and /? as Windows programs do.
bool asksForHelp(std::string_view word) {
#ifdef _WIN32
  if (word == "/?") return true;
#endif
  return word == "-h" || word == "-?";
}

const OptionKind* findOption(std::string_view name) {
  if (asksForHelp(name)) name = "--help";
  for (const OptionKind& known : kOptions)
    if (name == known.name) return &known;
  return nullptr;
}

bool parseCount(const std::string& text, long long low, long long high, long long& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  value = std::strtoll(text.c_str(), nullptr, 10);
  return errno == 0 && value >= low && value <= high;
}

std::string needs(const std::string& option, const char* what, const std::string& text) {
  return "option " + option + " needs " + what + ", not " + quotedText(text);
}

bool takeStep(const std::string& text, double& dt, std::string& error) {
  DecimalRead read = readDecimal(text, dt);
  if (read == DecimalRead::kOutOfRange) {
    error = "option --dt: " + quotedText(text) + " is too large for a double";
  } else if (read != DecimalRead::kOk) {
    error = needs("--dt", "a positive decimal number of seconds", text);
  } else if (dt == 0.0 && text[0] != '-' &&
             text.substr(0, text.find_first_of("eE")).find_first_of("123456789") !=
                 std::string::npos) {
    error = "option --dt: " + quotedText(text) + " is too small for a double";
  } else if (dt <= 0.0) {
    error = "option --dt must be positive, not " + quotedText(text);
  } else {
    return true;
  }
  return false;
}

// What an option's value names; "" (an unset shell variable) names nothing.
const char* namedBy(const std::string& option) {
  if (option == "--block") return "a block path";
  if (option == "--module" || option == "--input" || option == "--trace" || option == "--plot")
    return "a file name";
  return nullptr;
}

bool takeValue(const std::string& name, const std::string& text, Options& options,
               std::string& error) {
  long long count = 0;
  if (text.empty() && namedBy(name) != nullptr) {
    error = needs(name, namedBy(name), text);
    return false;
  }
  if (name == "--module") {
    options.modulePath = text;
  } else if (name == "--block") {
    options.blockPath = text;
  } else if (name == "--input") {
    options.inputPath = text;
  } else if (name == "--trace") {
    options.tracePath = text;
  } else if (name == "--plot") {
    options.plotPath = text;
  } else if (name == "--dt") {
    options.dtGiven = true;
    return takeStep(text, options.dt, error);
  } else if (name == "--steps") {
    if (!parseCount(text, 1, kMaxSteps, count)) {
      error = needs(name, "a step count from 1 to 2147483647", text);
      return false;
    }
    options.builtInSteps = count;
  } else if (name == "--fail-write-at") {
    if (!parseCount(text, 1, 9223372036854775807LL, count)) {
      error = needs(name, "a write number from 1", text);
      return false;
    }
    options.failWriteAt = count;
  } else if (name == "--reserve") {
    if (text == "ao0" || text == "Dev1/ao0") {
      options.reservedChannel = 0;
    } else if (text == "ao1" || text == "Dev1/ao1") {
      options.reservedChannel = 1;
    } else {
      error = needs(name, "ao0 or ao1", text);
      return false;
    }
  }
  return true;
}

void takeFlag(const std::string& name, Options& options) {
  if (name == "--no-card") options.noCard = true;
  if (name == "--sizes") options.sizesOnly = true;
  if (name == "--quiet") options.quiet = true;
  if (name == "--json") options.json = true;
  if (name == "--help") options.help = true;
  if (name == "--version") options.version = true;
}

// Options that cannot be used together, checked once all are read.
bool checkConflicts(const std::set<std::string>& given, std::string& error) {
  auto has = [&](const char* name) { return given.count(name) != 0; };
  if (has("--steps") && has("--input")) {
    error = "--steps sets the built-in waveforms' length; an --input file has its own rows";
    return false;
  }
  if (has("--reserve") && has("--no-card")) {
    error = "--reserve holds a channel of the card, and --no-card runs without one";
    return false;
  }
  if (has("--fail-write-at") && has("--no-card")) {
    error = "--fail-write-at does not apply with --no-card: without a card every write is refused";
    return false;
  }
  if (has("--json") && has("--quiet")) {
    error = "--quiet shortens the text summary; --json writes all of it, for programs";
    return false;
  }
  if (has("--sizes")) {
    for (const OptionKind& known : kOptions) {
      if (known.runOnly && has(known.name)) {
        error =
            std::string("--sizes makes only a set-up call, so ") + known.name + " does not apply";
        return false;
      }
    }
  }
  return true;
}

bool endsWithNoCase(const std::string& text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    char c = text[text.size() - end.size() + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != end[i]) return false;
  }
  return true;
}

// "-", a name of the program's own streams, a device, a FIFO, or a folder
// (which opening refuses): no file the name's ending could describe.
bool namesNoPlainFile(const std::string& path) {
  if (path == "-" || streamDescriptor(path) >= 0 || standardStreamWriting(path) >= 0 ||
      !windowsDevice(path).empty())
    return true;
  const PathStatus status = pathStatus(path);
  return status.error == 0 && !status.regular;
}

class Parser {
 public:
  Parser(int argc, char** argv, Options& options) : argc_(argc), argv_(argv), options_(options) {}

  bool run(std::string& error) {
    bool optionsEnded = false;
    for (next_ = 1; next_ < argc_;) {
      std::string word = argv_[next_++];
      if (!optionsEnded && word == "--") {
        optionsEnded = true;
        continue;
      }
      bool isOption = !optionsEnded && ((word.size() > 1 && word[0] == '-') || asksForHelp(word));
      if (!(isOption ? option(word, error) : positional(word, error))) return false;
    }
    return checkConflicts(given_, error);
  }

 private:
  bool option(const std::string& word, std::string& error) {
    size_t equals = word.find('=');
    std::string name = word.substr(0, equals);
    const OptionKind* known =
        word.rfind("--", 0) == 0 || asksForHelp(word) ? findOption(name) : nullptr;
    if (known == nullptr) {
      error = "unknown option " + quotedText(name);
      return false;
    }
    if (!given_.insert(known->name).second) {
      error = std::string("option ") + known->name + " is given twice";
      return false;
    }
    if (!known->takesValue) {
      if (equals != std::string::npos)
        error = std::string("option ") + known->name + " takes no value";
      takeFlag(known->name, options_);
      return equals == std::string::npos;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = word.substr(equals + 1);
    } else if (next_ < argc_) {
      value = argv_[next_++];
      if (!valueIsNoOption(known->name, value, error)) return false;
    } else {
      error = std::string("option ") + known->name + " needs a value";
      return false;
    }
    return takeValue(known->name, value, options_, error);
  }

  // "--trace --quiet" most likely lacks its value; --trace=--quiet names a file.
  static bool valueIsNoOption(const char* name, const std::string& value, std::string& error) {
    std::string valueName = value.substr(0, value.find('='));
    if (value != "--" && findOption(valueName) == nullptr) return true;
    error = std::string("option ") + name + " needs a value, not the option " +
            quotedText(valueName) + " (" + quotedText(std::string(name) + "=" + value) +
            " takes it as the value)";
    return false;
  }

  bool positional(const std::string& word, std::string& error) {
    if (word.empty()) {
      error = "the module argument needs a file name, not ''";
      return false;
    }
    if (given_.count("--module") != 0) {
      error = "the module file is given twice (" + quotedText(options_.modulePath) + " and " +
              quotedText(word) + ")";
      return false;
    }
    given_.insert("--module");
    options_.modulePath = word;
    return true;
  }

  int argc_;
  char** argv_;
  Options& options_;
  int next_ = 1;
  std::set<std::string> given_;
};

}  // namespace

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
  return Parser(argc, argv, options).run(error);
}

bool checkOutputNames(const Options& options, std::string& error) {
  const std::string& plot = options.plotPath;
  if (!plot.empty() && !endsWithNoCase(plot, ".svg") && !namesNoPlainFile(plot)) {
    error = "--plot writes SVG, which any browser shows: give it a name ending in .svg, not " +
            quotedText(plot);
    return false;
  }
  for (std::string_view spreadsheet : {".xlsx", ".xls", ".ods"}) {
    if (!endsWithNoCase(options.tracePath, spreadsheet)) continue;
    error =
        "--trace writes CSV text, not a spreadsheet's own format: give it a name ending in "
        ".csv, which spreadsheets open, not " +
        quotedText(options.tracePath);
    return false;
  }
  return true;
}

// Files, streams and stops, in each system's own words.
#ifdef _WIN32
#define OUTPUTS_AND_STOPS_HELP                                                       \
  "An output file is replaced only when complete; one you may not write, or whose\n" \
  "folder takes no temporary file, is refused and left as it was. A console, a\n"    \
  "pipe, NUL or CON is written in place, as it goes. Outputs, input and module\n"    \
  "must be distinct files.\n"                                                        \
  "Ctrl-C, Ctrl-Break or closing the console ends a run after its current step,\n"   \
  "with the block's end of run; a second Ctrl-C ends the program at once.\n"
#else
#define OUTPUTS_AND_STOPS_HELP                                                        \
  "An output file is replaced only when complete, through a link to the file it\n"    \
  "names; one you may not write, or whose folder takes no temporary file, is\n"       \
  "refused and left as it was. A terminal, a pipe, a device or /dev/stdout is\n"      \
  "written in place, as it goes. Outputs, input and module must be distinct files.\n" \
  "Ctrl-C, SIGTERM or SIGHUP ends a run after its current step, with the block's\n"   \
  "end of run; a second one, or SIGQUIT, ends the program at once.\n"
#endif

const char* usageText() {
  return "usage: twinvolts-sim [options] [--] [MODULE]\n"
         "Loads the twinvolts module as a simulation host does and runs it against a\n"
         "simulated card with analog outputs Dev1/ao0 and Dev1/ao1.\n"
         "\n"
         "  MODULE, --module PATH  module file (default: the one built with this program)\n"
         "  --block PATH           block path in the model (default model/twinvolts)\n"
         "  --input FILE.csv       volts, one row per step, UTF-8, comma-separated, as\n"
         "                         spreadsheets and data frames write CSV (quotes, sep=,),\n"
         "                         lines up to 4096 bytes: ao0,ao1, or as a header names\n"
         "                         them (ao0, ao1 in V or mV, time or t in s or ms, any\n"
         "                         order and case: AO0 (V), ao1_mV, Time [s]; other\n"
         "                         columns ignored); a time column must advance by the\n"
         "                         step, sets it without --dt and gives the trace its\n"
         "                         times, as numbers (0.01, 0.01 sec, 10 ms) or clock\n"
         "                         times (00:00:00.010);\n"
         "                         # starts a comment;\n"
         "                         default: 0-5 V sine on ao0 and 0-5 V ramp on ao1\n"
         "  --steps N              steps of the built-in waveforms (default 500,\n"
         "                         at most 2147483647)\n"
         "  --dt SECONDS           step size (default 0.01 or the input's time column)\n"
         "  --no-card              run without a card present\n"
         "  --reserve ao0|ao1      hold that channel with another task during the run\n"
         "  --fail-write-at N      make the card refuse its N-th write (two a step, two\n"
         "                         at shutdown)\n"
         "  --sizes                only ask for the block's sizes and print them; a set-up\n"
         "                         warning goes to standard error and makes the exit\n"
         "                         status 3 (--no-card and --reserve apply)\n"
         "  --trace FILE.csv       write every step: time, requested and actual volts\n"
         "                         and the card's status per channel (0: accepted; the\n"
         "                         summary says what others mean) ('-': standard output,\n"
         "                         the summary then goes to standard error)\n"
         "  --plot FILE.svg        plot both outputs over time, with refused writes,\n"
         "                         missed requests and what shutdown left marked\n"
         "  --quiet                print only problems\n"
         "  --json                 write the summary as one JSON object, for programs\n"
         "                         (same stream; its names: the guide, Reading the summary)\n"
         "  --version, --help\n"
         "Options take their value as --name VALUE or --name=VALUE (--trace=--quiet\n"
         "names a file; --trace --quiet is refused).\n" OUTPUTS_AND_STOPS_HELP
         "An input line holds at most 4096 bytes.\n"
         "\n"
         "The summary: module, block, input, steps; per output the writes, refused\n"
         "writes, lowest and highest level and the state after shutdown; statuses\n"
         "(what each refusal status of the card means); warnings and dialogs (dialog\n"
         "boxes the module asked for: the block's Fatal Error when it cannot reach its\n"
         "input), each kind once with a count; errors; tasks open (card tasks left\n"
         "after shutdown: 0 frees both channels); result.\n"
         "\n"
         "The whole reference is twinvolts-sim.md: in docs/ of the sources, and beside\n"
         "the guide in a release kit.\n"
         "\n"
         "Exit status:\n" TWINVOLTS_EXIT_STATUS_TABLE;
}

}  // namespace sim
