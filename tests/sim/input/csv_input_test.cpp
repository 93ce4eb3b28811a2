// Reading an input file of volts: the forms a spreadsheet or editor writes.
// Files that must be refused are in the command-line table (sim_cli_test.py).
#include "sim/input/csv_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<sim::StepInput> readAll(const std::string& text, std::string& error) {
  std::string path = testing::TempDir() + "twinvolts_input.csv";
  std::ofstream(path, std::ios::binary) << text;
  std::vector<sim::StepInput> rows;
  sim::CsvInput input;
  if (input.open(path, error)) {
    EXPECT_GT(input.steps(), 0);
    sim::StepInput volts;
    while (input.next(volts, error)) rows.push_back(volts);
    EXPECT_EQ(static_cast<int64_t>(rows.size()), input.steps()) << text;
  }
  std::remove(path.c_str());
  return rows;
}

TEST(CsvInput, ReadsTheFormsEditorsWrite) {
  const char* texts[] = {
      "ao0,ao1\n1.5,2\n0, 4.25\r\n",            // header, blanks, CRLF
      "\n\n \"ao0\",\"ao1\"\n1.5,2\n\n0,4.25",  // header after blank lines, no last newline
      "\xEF\xBB\xBF"
      "1.5,2\n0,4.25\n",                              // byte-order mark
      "\"1.5\",\"2\"\n+0.0,  4.25e0\t\n",             // quoted numbers, sign, exponent, tab
      "# volts\nAO1_V,ao0\n2,1.5\n# ramp\n4.25,0\n",  // named columns, comments
      "ao1,Time_s,ao0\n2,10.5,1.5\n4.25,10.75,0\n",   // a time column
      // a row index, units, an ignored column, quotes, empty fields at the end
      "sep=,\n,\"ao1 [mV]\",note,AO0 (V),,\n0,2000,x,\"1.5\",,\n1,4250,\"y, \"\"z\"\"\",0,\n",
  };
  for (const char* text : texts) {
    std::string error;
    std::vector<sim::StepInput> rows = readAll(text, error);
    ASSERT_EQ(rows.size(), 2u) << text << error;
    EXPECT_EQ(rows[0][0], 1.5);
    EXPECT_EQ(rows[0][1], 2.0);
    EXPECT_EQ(rows[1][0], 0.0);
    EXPECT_EQ(rows[1][1], 4.25);
    EXPECT_TRUE(error.empty()) << error;
  }
}

TEST(CsvInput, UnderflowReadsAsZeroAndDigitsAreExact) {
  std::string error;
  std::vector<sim::StepInput> rows = readAll("1e-400,-2e-330\n0.1,4.999999999999999\n", error);
  ASSERT_EQ(rows.size(), 2u) << error;
  EXPECT_EQ(rows[0][0], 0.0);
  EXPECT_EQ(rows[0][1], 0.0);
  EXPECT_EQ(rows[1][0], 0.1);
  EXPECT_EQ(rows[1][1], 4.999999999999999);
}

TEST(CsvInput, AFileChangedAfterTheCheckRunsOnlyTheCheckedRows) {
  // Longer than one buffer of the reader, so the change is seen mid-run.
  auto rows = [](size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i) text += "1,2\n";
    return text;
  };
  const size_t checked = 40000;
  struct Case {
    size_t nowRows;
    bool changed;
  } cases[] = {{1, true}, {checked + 10000, false}};
  std::string path = testing::TempDir() + "twinvolts_changed.csv";
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary) << rows(checked);
    sim::CsvInput input;
    std::string error;
    ASSERT_TRUE(input.open(path, error)) << error;
    std::ofstream(path, std::ios::binary) << rows(c.nowRows);
    sim::StepInput volts;
    size_t given = 0;
    while (input.next(volts, error)) ++given;
    EXPECT_EQ(given < checked, c.changed) << given;
    EXPECT_LE(given, checked);
    EXPECT_EQ(error.find("changed during the run") != std::string::npos, c.changed) << error;
  }
  std::remove(path.c_str());
}

}  // namespace
