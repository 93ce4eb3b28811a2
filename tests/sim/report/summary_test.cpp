// What the summary says about a run's faults, and the result word it ends with.
#include "sim/report/summary.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/report/wrapped_text.h"

namespace {

sim::RunResult cleanRun() {
  sim::RunResult result;
  result.steps = 3;
  result.completed = true;
  for (sim::ChannelFigures& channel : result.channels) {
    channel.writes = 4;
    channel.shutdown = {true, 0, 0.0};  // the zeroing write, accepted
  }
  return result;
}

std::string repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string summary(const sim::RunResult& result, bool problemsOnly = false) {
  sim::SummaryContext context{"m.so", "model/b", "built-in", 0.01, 0, problemsOnly};
  return sim::summaryText(context, result);
}

TEST(Summary, FaultsMakeTheResultCompletedWithFaults) {
  struct Case {
    const char* fault;
    void (*plant)(sim::RunResult&);
    const char* shows;
  } cases[] = {
      {"refused write", [](sim::RunResult& r) { r.channels[1].refused = 1; }, "refused 1"},
      {"warning", [](sim::RunResult& r) { r.warnings.add("Dev1/ao0: refused"); },
       "  Dev1/ao0: refused\n"},
      {"zeroing refused",
       [](sim::RunResult& r) {
         r.channels[0].shutdown.status = -201003;
         r.channels[0].finalVolts = 2.5;
       },
       "writes 4 + zeroing, refused 0 + zeroing, min unknown, max unknown, after shutdown "
       "NOT ZEROED, held at 2.500 V"},
      // The card's 0 V is no proof: only an accepted zeroing write is.
      {"no zeroing write", [](sim::RunResult& r) { r.channels[1].shutdown.written = false; },
       "after shutdown NOT ZEROED, held at 0.000 V"},
      {"level unknown",
       [](sim::RunResult& r) {
         r.channels[1].shutdown.status = -200220;
         r.channels[1].levelUnknown = "no card";
       },
       "after shutdown NOT ZEROED, level unknown (no card)"},
      {"task left open", [](sim::RunResult& r) { r.tasksLeftOpen = 1; }, "tasks open  1"},
      {"no channel",
       [](sim::RunResult& r) {
         r.unassigned = {2, 2, 0, 0, 0};
       },
       "writes 2, refused 2"},
  };
  EXPECT_STREQ(sim::resultWord(cleanRun()), "completed");
  EXPECT_EQ(summary(cleanRun(), true), "");  // --quiet prints nothing for a clean run
  for (const Case& c : cases) {
    sim::RunResult result = cleanRun();
    c.plant(result);
    EXPECT_STREQ(sim::resultWord(result), "completed with faults") << c.fault;
    for (bool quiet : {false, true}) {
      std::string text = summary(result, quiet);
      EXPECT_NE(text.find(c.shows), std::string::npos) << c.fault << "\n" << text;
      EXPECT_NE(text.find("result      completed with faults\n"), std::string::npos) << text;
    }
  }
  sim::RunResult stopped = cleanRun();
  stopped.completed = false;
  EXPECT_STREQ(sim::resultWord(stopped), "stopped");
}

// In a file or a pipe (width 0) each message takes one line, however long.
TEST(Summary, RepeatedAndLongWarningsTakeOneLineEach) {
  sim::RunResult result = cleanRun();
  for (int i = 0; i < 1000; ++i) result.warnings.add("Dev1/ao1: the driver refused the write");
  result.warnings.add(std::string(500, 'x').c_str());
  for (int i = 0; i < 100; ++i) result.warnings.add(("distinct " + std::to_string(i)).c_str());
  sim::SummaryContext context{"m.so", "model/b", "built-in", 0.01, 0, false};
  std::string text = sim::summaryText(context, result);
  EXPECT_NE(text.find("warnings    1101\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  Dev1/ao1: the driver refused the write (1000 times)\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n  " + std::string(500, 'x') + "\n"), std::string::npos);
  EXPECT_NE(text.find("more of other texts"), std::string::npos);
}

// On a terminal every line wraps at its spaces, indented two columns under
// its text; nothing is cut. The run's own block path is not repeated before
// a warning.
TEST(Summary, LinesWrapAtSpacesToATerminal) {
  const std::string refused =
      "Dev1/ao1: the driver refused the write of 7.5 V at step 3 (status -200561); "
      "the output keeps its previous level";
  const std::string longWord = std::string(90, 'p');
  struct Case {
    std::string warning;
    size_t width;
    std::string shows;
  } cases[] = {
      {"block 'model/b': " + refused, 0, "\n  " + refused + "\n"},
      {"block 'model/b': " + refused, 80,
       "\n  Dev1/ao1: the driver refused the write of 7.5 V at step 3 (status -200561);\n"
       "    the output keeps its previous level\n"},
      {"block 'model/b': " + refused, 120, "\n  " + refused + "\n"},
      {"block 'model/b': " + refused, 40,
       "\n  Dev1/ao1: the driver refused the write\n    of 7.5 V at step 3 (status -200561);\n"
       "    the output keeps its previous level\n"},
      // A word longer than a line stays whole on a line of its own.
      {"in " + longWord + " here", 80, "\n  in\n    " + longWord + "\n    here\n"},
      {"block 'model/b': " + refused, 60,
       "\nDev1/ao0    writes 4 + zeroing, refused 0 + zeroing, min\n"
       "              unknown, max unknown, after shutdown NOT\n"
       "              ZEROED, level unknown (no card)\n"},
  };
  for (const Case& c : cases) {
    sim::RunResult result = cleanRun();
    result.warnings.add(c.warning.c_str());
    result.channels[0].shutdown.status = -200220;
    result.channels[0].levelUnknown = "no card";
    sim::SummaryContext context{"m.so", "model/b", "built-in", 0.01, c.width, false};
    std::string text = sim::summaryText(context, result);
    EXPECT_NE(text.find(c.shows), std::string::npos) << c.width << "\n" << text;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      std::string line = text.substr(start, end - start);
      if (c.width != 0 && line.find(longWord) == std::string::npos) {
        EXPECT_LE(sim::textColumns(line), c.width) << line;
      }
    }
  }
}

TEST(Summary, UserTextCannotBreakTheLinesOrSplitACharacter) {
  const std::string accents = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
  struct Case {
    const char* what;
    void (*plant)(sim::RunResult&, sim::SummaryContext&);
    std::string shows;
  } cases[] = {
      // Columns are characters, of two bytes each here: 58 fit at 60.
      {"wrapped accents",
       [](sim::RunResult& r, sim::SummaryContext&) {
         r.warnings.add((repeated("\xC3\xA9", 63)).insert(116, " ").c_str());
       },
       "  " + repeated("\xC3\xA9", 58) + "\n    " + accents + "\n"},
      // Width 0: a file or a pipe, where each warning stays whole.
      {"whole off a terminal",
       [](sim::RunResult& r, sim::SummaryContext& c) {
         c.width = 0;
         r.warnings.add((std::string(150, 'x') + " advice").c_str());
       },
       "  " + std::string(150, 'x') + " advice\n"},
      {"warning not UTF-8",
       [](sim::RunResult& r, sim::SummaryContext&) { r.warnings.add("at \xFF step"); },
       "  at \\xFF step\n"},
      {"uncut accents",
       [](sim::RunResult& r, sim::SummaryContext&) {
         r.warnings.add("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
       },
       "  " + accents + "\n"},
      {"module", [](sim::RunResult&, sim::SummaryContext& c) { c.modulePath = "m\x1B[2J.so"; },
       "module      m\\x1B[2J.so\n"},
      {"block", [](sim::RunResult&, sim::SummaryContext& c) { c.blockPath = "a\rb"; },
       "block       a\\x0Db\n"},
      {"not UTF-8", [](sim::RunResult&, sim::SummaryContext& c) { c.blockPath = "a\xFF\xC3"; },
       "block       a\\xFF\\xC3\n"},
      {"error", [](sim::RunResult& r, sim::SummaryContext&) { r.errors.push_back("bad\nline"); },
       "  bad\\x0Aline\n"},
  };
  for (const Case& c : cases) {
    sim::RunResult result = cleanRun();
    sim::SummaryContext context{"m.so", "model/b", "built-in", 0.01, 60, false};
    c.plant(result, context);
    std::string text = sim::summaryText(context, result);
    EXPECT_NE(text.find(c.shows), std::string::npos) << c.what << "\n" << text;
  }
}

}  // namespace
