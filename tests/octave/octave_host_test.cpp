// GNU Octave as the host: Octave sessions load the x86-64 module file as
// twinvolts.mex and make the calls of the tables below through Octave's own
// MEX and array implementation; each call's output, warnings and error as
// Octave shows them must be the table's, row by row. Octave loads the
// module's driver library by its name, as it would the real driver: the
// simulated card, found on the library path and armed by the rows through
// card_control.mex.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/octave/card_control.h"
#include "tests/support/expected_messages.h"

namespace {

// ---- What Octave shows, as the rows expect it.

std::string join(const std::vector<double>& values) {
  std::string text;
  for (double value : values) {
    if (!text.empty()) text += ' ';
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", value);
    text += number;
  }
  return text;
}

// The 38 rows of the sizes vector of the block's stand-alone set-up.
std::string sizes() {
  std::vector<double> rows(38, 0.0);
  rows[3] = 1.0;         // one input port
  rows[6] = 1.0;         // one sample time
  rows[19] = 5200229.0;  // version stamp
  rows[23] = 8192.0;     // set-up done
  rows[31] = 2.0;        // port counts declared
  return "sizes [" + join(rows) + "]\n";
}

// The card's view: open tasks and the task holding each output.
std::string card(double open, double ao0, double ao1) {
  return "card [" + join({open, ao0, ao1}) + "]\n";
}

// Octave names the MEX function before the module's text.
std::string refused(const std::string& text) {
  return "error: twinvolts: " + text + "\n";
}

constexpr char kNotDriven[] = "the output will not follow the input until the next set-up";
constexpr char kMayStayReserved[] = "the channel may stay reserved";

// A refused driver call, as the module warns about it in a stand-alone set-up.
std::string warned(const char* channel, const char* operation, int status,
                   const char* consequence) {
  return "warning: block 'twinvolts': Dev1/" + std::string(channel) + ": the driver refused to " +
         operation + " (status " + std::to_string(status) + "); " + consequence + "\n";
}

std::string bothWarned(const char* operation, int status, const char* consequence) {
  return warned("ao0", operation, status, consequence) +
         warned("ao1", operation, status, consequence);
}

// ---- The calls. Rows run in order in one session and share the card.

struct OctaveCall {
  std::string what;
  std::string code;      // Octave statements
  std::string expected;  // all that Octave shows for them
};

// A fresh module file on a freshly armed card: the earlier pair is released
// by the unload while the card that holds it is still there.
const std::string kFresh = "clear twinvolts; arm_card(); ";
// The last row: no call, what Octave shows as it ends.
const std::string kSessionEnds = "";

std::vector<OctaveCall> calls() {
  const std::string sz = sizes();
  std::vector<OctaveCall> rows = {
      // The card never acts for a program that did not arm it.
      {"unarmed card", "sizes(0, [], [], 0); show_card()",
       bothWarned("create the task", -9999, kNotDriven) + sz + card(0, 0, 0)},
      {"unarmed card, second set-up: release and opening both reported", "sizes(0, [], [], 0)",
       bothWarned("stop the earlier task", -9999, kMayStayReserved) +
           bothWarned("create the task", -9999, kNotDriven) + sz},
      {"unarmed card, unload: the refused release reported", "clear twinvolts",
       bothWarned("stop the task at unload", -9999, kMayStayReserved)},

      {"sizes, one left-hand slot", "arm_card(); sizes(0, [], [], 0); show_card()",
       sz + card(2, 1, 2)},
      {"sizes, no left-hand slot: Octave's ans",
       "twinvolts(0, [], [], 0); printf('sizes %s\\n', mat2str(ans')); show_card()",
       sz + card(2, 3, 4)},
      {"a thousand set-ups", kFresh + "for k = 1:1000, twinvolts(0, [], [], 0); end; show_card()",
       card(2, 1999, 2000)},
      {"clear twinvolts releases the held pair for other programs",
       "clear twinvolts; show_card(); take_ao1(); show_card()", card(0, 0, 0) + card(1, 0, 2001)},

      {"no arguments", kFresh + "twinvolts()", refused(expected::kTooFewRightHand)},
      {"three arguments", "twinvolts(0, [], [])", refused(expected::kTooFewRightHand)},
      {"two left-hand slots", "[a, b] = twinvolts(0, [], [], 0)",
       refused(expected::kTooManyLeftHand)},
      {"two left-hand slots before a bad flag", "[a, b] = twinvolts(0, [], [], 0.5)",
       refused(expected::kTooManyLeftHand)},
      {"stamped attach argument with a null address", "twinvolts(0, [0; 5200229], [], 0)",
       refused(expected::kNullRecord)},
      {"int32 attach argument, read at its own width", "twinvolts(0, int32([0; 5200229]), [], 0)",
       refused(expected::kNullRecord)},
      {"single attach argument", "twinvolts(0, single([0; 5200229]), [], 0)",
       refused(expected::kNullRecord)},
  };

  // Attach arguments that select stand-alone mode, whatever their class.
  for (const char* attach :
       {"['a'; 'b']", "true(2, 1)", "int8([1; 2])", "uint16([0; 0])", "zeros(2, 0)",
        "[0; 5200229.5]", "{0; 5200229}", "sparse([0; 5200229])", "sparse([1; 5200229])",
        "sparse(true(2, 1))"}) {
    rows.push_back(
        {std::string("attach ") + attach, std::string("sizes(0, ") + attach + ", [], 0)", sz});
  }

  // FLAG: what is not a numeric real scalar, and numbers of every class at
  // zero and at the ends of their range.
  const std::pair<std::string, std::vector<const char*>> flagsByAnswer[] = {
      {refused(expected::kFlagNotInteger),
       {"true",
        "'0'",
        "{0}",
        "struct('flag', 0)",
        "@sin",
        "[0 0]",
        "[]",
        "complex(0)",
        "0.5",
        "NaN",
        "Inf",
        "-Inf",
        "2^31",
        "-2^31-1",
        "single(0.5)",
        "intmax('uint32')",
        "intmin('int64')",
        "intmax('int64')",
        "intmax('uint64')",
        "sparse(true)",
        "sparse(false)",
        "sparse(0.5)",
        "sparse([0 0])",
        "sparse(complex(0, 1))"}},
      {refused(expected::kInvalidSetupFlag),
       {"3", "-1", "101", "-2^31", "single(3)", "intmin('int8')", "intmax('int8')", "uint8(131)",
        "intmax('uint8')", "intmin('int16')", "intmax('int16')", "intmax('uint16')",
        "intmin('int32')", "intmax('int32')", "int64(3)", "uint64(3)", "sparse(3)", "sparse(-1)"}},
      {sz,
       {"-0", "double(0)", "single(0)", "int8(0)", "uint8(0)", "int16(0)", "uint16(0)", "int32(0)",
        "uint32(0)", "int64(0)", "uint64(0)", "sparse(0)", "sparse(-0)"}},
  };
  for (const auto& [answer, flags] : flagsByAnswer) {
    for (const char* flag : flags) {
      rows.push_back(
          {std::string("flag ") + flag, std::string("sizes(0, [], [], ") + flag + ")", answer});
    }
  }

  // Drivers that refuse, and one that works with warning statuses.
  rows.push_back({"card taken out", "clear twinvolts; arm_card_absent(); sizes(0, [], [], 0)",
                  bothWarned("add the voltage channel to the task", -200220, kNotDriven) + sz});
  rows.push_back({"ao1 held by another program",
                  kFresh + "take_ao1(); sizes(0, [], [], 0); show_card()",
                  warned("ao1", "start the task", -50103, kNotDriven) + sz + card(3, 2, 1)});
  rows.push_back({"warning statuses of a driver that works",
                  "clear twinvolts; arm_card_warning(); sizes(0, [], [], 0); show_card()",
                  sz + card(2, 1, 2)});

  // Octave runs the module's exit function when it ends too; a card armed
  // afresh under a held pair refuses its release, which shows that it ran.
  rows.push_back({"a held pair on a card armed again", "sizes(0, [], [], 0); arm_card()", sz});
  rows.push_back({"Octave ends", kSessionEnds,
                  bothWarned("stop the task at unload", -200088, kMayStayReserved)});
  return rows;
}

// A session without any driver library: Octave refuses the module file and
// says which library it lacks.
std::vector<OctaveCall> callsWithoutDriver() {
  return {{"the module file refused, its driver library named", "sizes(0, [], [], 0)",
           "error: " OCTAVE_FOLDER
           "/twinvolts.mex: failed to load\nIncompatible version or missing dependency?\n"
           "libnidaqmx.so: cannot open shared object file: No such file or directory\n"}};
}

// ---- The session.

// Octave code inside a single-quoted Octave string.
std::string quoted(const std::string& code) {
  std::string text = "'";
  for (char c : code) {
    text += c;
    if (c == '\'') text += '\'';
  }
  return text + "'";
}

// Helpers first, then each row after its marker: its output in order, its
// error last. A session that dies early lacks the later markers.
std::string script(const std::vector<OctaveCall>& rows) {
  std::string text =
      "1;\n"
      "warning('off', 'backtrace');\n"
      "function sizes(varargin)\n"
      "  s = twinvolts(varargin{:});\n"
      "  printf('sizes %s\\n', mat2str(s'));\n"
      "end\n"
      "function show_card()\n"
      "  printf('card %s\\n', mat2str(card_control()));\n"
      "end\n";
  const std::pair<const char*, int> controls[] = {{"arm_card", kCardArm},
                                                  {"arm_card_absent", kCardArmAbsent},
                                                  {"arm_card_warning", kCardArmWarning},
                                                  {"take_ao1", kCardTakeAo1}};
  for (const auto& [name, control] : controls) {
    text += "function " + std::string(name) + "()\n  card_control(" + std::to_string(control) +
            ");\nend\n";
  }
  text +=
      "function run_row(code)\n"
      "  try\n"
      "    printf('%s', evalc(code));\n"
      "  catch failure\n"
      "    printf('error: %s\\n', failure.message);\n"
      "  end\n"
      "end\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    text += "printf('@@ " + std::to_string(i) + "\\n'); ";
    text += rows[i].code == kSessionEnds ? "fflush(stdout);\n"
                                         : "run_row(" + quoted(rows[i].code) + ");\n";
  }
  return text;
}

// Everything the session printed, standard error included, and its exit
// status. Libraries are found by name only in libraryFolder, if any, and where
// the system keeps its own.
std::string runOctave(const std::string& scriptPath, const std::string& libraryFolder,
                      int* status) {
  const std::string libraryPath =
      libraryFolder.empty() ? "-u LD_LIBRARY_PATH" : "LD_LIBRARY_PATH='" + libraryFolder + "'";
  const std::string command = "cd '" OCTAVE_FOLDER "' && env -u LD_PRELOAD " + libraryPath +
                              " '" OCTAVE_CLI
                              "' --no-gui --norc --quiet --no-history --no-window-system '" +
                              scriptPath + "' 2>&1";
  std::string output;
  *status = -1;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  *status = pclose(pipe);
  return output;
}

// The output after each row's marker, one entry per marker; what precedes the
// first marker goes to *before (nothing, in a clean session).
std::vector<std::string> rowOutputs(const std::string& output, std::string* before) {
  std::vector<std::string> rows;
  std::string* current = before;
  size_t at = 0;
  while (at < output.size()) {
    size_t end = output.find('\n', at);
    end = end == std::string::npos ? output.size() : end + 1;
    const std::string line = output.substr(at, end - at);
    if (line.rfind("@@ ", 0) == 0) {
      rows.emplace_back();
      current = &rows.back();
    } else {
      *current += line;
    }
    at = end;
  }
  return rows;
}

struct OctaveSession {
  const char* what;
  std::string libraryFolder;  // where libnidaqmx.so is found; none when empty
  std::vector<OctaveCall> rows;
};

TEST(OctaveHostTest, AnswersEveryCallAsTheTableSays) {
  ASSERT_STRNE(OCTAVE_CLI, "") << "octave-cli not found: scripts/install-deps installs it";
  const OctaveSession sessions[] = {
      {"no driver library anywhere", "", callsWithoutDriver()},
      {"the simulated card found by its name", CARD_FOLDER, calls()},
  };
  for (const OctaveSession& session : sessions) {
    SCOPED_TRACE(session.what);
    const std::string scriptPath = std::string(OCTAVE_FOLDER) + "/octave_calls.m";
    std::ofstream(scriptPath) << script(session.rows);

    int status = 0;
    const std::string output = runOctave(scriptPath, session.libraryFolder, &status);
    EXPECT_EQ(status, 0) << output;
    std::string before;
    const std::vector<std::string> outputs = rowOutputs(output, &before);
    EXPECT_EQ(before, "");
    ASSERT_EQ(outputs.size(), session.rows.size()) << "the session ended early:\n" << output;
    for (size_t i = 0; i < session.rows.size(); ++i) {
      EXPECT_EQ(outputs[i], session.rows[i].expected)
          << "row " << i << ": " << session.rows[i].what << "\n"
          << session.rows[i].code;
    }
  }
}

}  // namespace
