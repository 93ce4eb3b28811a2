// Reads any bytes as an input file of volts. The reader must refuse the file
// in one line, or hand the run exactly the rows its check counted, each two
// volts (NaN and infinities reach the block as the host writes them) at a
// finite time after the one before; anything else aborts the run as a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/finding.h"
#include "sim/input/csv_input.h"

using fuzz::finding;
using fuzz::oneLine;

namespace {

// The input lives in memory, not on a disk that would make each run wait on
// writing it; the reader opens it by name like any file.
int inputFile() {
  static const int fd = memfd_create("fuzz_csv_input", 0);
  if (fd < 0) finding("cannot make an in-memory file");
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = inputFile();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
    finding("cannot write the in-memory file");
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  // The first byte chooses whether a time column must keep a given step.
  const double step = size > 0 && data[0] % 2 == 0 ? 0.25 : 0.0;
  sim::CsvInput input(step);
  std::string error;
  if (!input.open(path, error)) {
    if (!oneLine(error)) finding("refused without one line of reason: '" + error + "'");
    return 0;
  }
  if (input.steps() <= 0) finding("accepted with no rows");
  if (input.timeStep() < 0.0 || !std::isfinite(input.timeStep())) finding("a bad time step");
  if (input.description().find('\n') != std::string::npos) finding("a summary line of two lines");
  int64_t rows = 0;
  sim::StepInput volts;
  double before = input.startTime();
  while (input.next(volts, error)) {
    // The trace's times: the input's own, from its first, always advancing.
    if (input.timed() && (!std::isfinite(input.time()) || (rows > 0 && input.time() <= before) ||
                          (rows == 0 && input.time() != before)))
      finding("a time that does not advance from the input's first");
    before = input.time();
    ++rows;
  }
  if (!error.empty()) finding("an unchanged file failed in the run: " + error);
  if (rows != input.steps()) finding("the run's rows differ from the check's");
  return 0;
}
