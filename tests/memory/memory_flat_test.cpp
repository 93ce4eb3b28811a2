// Memory held by the process must not grow with the length of a simulation
// nor with the number of set-up calls: the module runs inside the host's
// session, which may go on for days.
#include <gtest/gtest.h>

#include <algorithm>

#include "simcard/simcard.h"
#include "standin_host/host_calls.h"
#include "tests/memory/allocation_counter.h"
#include "tests/memory/running_block.h"
#include "tests/support/fresh_host_test.h"

namespace memory_test {
namespace {

// Slack for the C library's and the host's own bookkeeping; any leak per
// step or per call exceeds it many times over at these counts.
constexpr size_t kHeapSlackBytes = 4096;
constexpr long kResidentSlackKiB = 1024;

using MemoryFlatTest = FreshHostTest;

TEST_F(MemoryFlatTest, MillionStepsThroughMexFunction) {
  // Long enough to fill the simulated card's write trace: it is sized at the
  // start but its pages become resident only as entries are written.
  constexpr int kWarmUp = SIMCARD_WRITE_TRACE_CAPACITY / 2 + 1000;
  constexpr int kSteps = 1000000;
  RunningBlock block;
  ASSERT_TRUE(block.ready()) << standinLastError();
  for (int k = 0; k < kWarmUp; ++k) ASSERT_TRUE(block.stepThroughMexFunction());

  const size_t heapBefore = heapBytesInUse();
  const size_t hostBefore = standinBytesHeld();
  const long residentBefore = peakResidentKiB();
  int failedSteps = 0;
  for (int k = 0; k < kSteps; ++k) {
    block.setInput((k % 500) * 0.01, 5.0 - (k % 500) * 0.01);
    if (!block.stepThroughMexFunction()) ++failedSteps;
  }

  EXPECT_EQ(failedSteps, 0);
  EXPECT_LE(heapBytesInUse(), heapBefore + kHeapSlackBytes);
  EXPECT_EQ(standinBytesHeld(), hostBefore);
  EXPECT_LE(peakResidentKiB(), residentBefore + kResidentSlackKiB);
  EXPECT_DOUBLE_EQ(simcardOutputVolts(0), ((kSteps - 1) % 500) * 0.01);
}

// Every stand-alone set-up builds a record from the host allocator, which the
// host reclaims when the call ends, and opens a new pair of tasks, which the
// next set-up releases. The simulated card keeps an entry for every task it
// ever made, so it is reset between batches, where the figures are taken;
// the block releases its pair first, as a run's set-up and end would, so
// that no set-up finds its earlier tasks gone and warns.
TEST_F(MemoryFlatTest, HundredThousandStandaloneSetUps) {
  constexpr int kBatches = 100;
  constexpr int kCallsPerBatch = 1000;
  RunningBlock block;
  ASSERT_TRUE(block.ready()) << standinLastError();
  const size_t hostBaseline = standinBytesHeld();

  size_t heapAfterFirstBatch = 0;
  long residentAfterFirstBatch = 0;
  int failedCalls = 0;
  int callsThatKeptHostMemory = 0;
  int maxOpenTasks = 0;
  for (int batch = 0; batch < kBatches; ++batch) {
    for (int i = 0; i < kCallsPerBatch; ++i) {
      if (!block.standaloneSetUp()) ++failedCalls;
      if (standinBytesHeld() != hostBaseline) ++callsThatKeptHostMemory;
      maxOpenTasks = std::max(maxOpenTasks, simcardOpenTaskCount());
    }
    if (!block.setUp() || !block.shutDown()) ++failedCalls;
    simcardReset();
    if (batch == 0) {
      heapAfterFirstBatch = heapBytesInUse();
      residentAfterFirstBatch = peakResidentKiB();
    }
  }

  EXPECT_EQ(failedCalls, 0) << standinLastError();
  EXPECT_EQ(callsThatKeptHostMemory, 0);
  EXPECT_EQ(maxOpenTasks, 2) << "each set-up releases the pair the one before opened";
  EXPECT_EQ(standinWarningCount(), 0u) << standinWarning(0);
  EXPECT_LE(heapBytesInUse(), heapAfterFirstBatch + kHeapSlackBytes);
  EXPECT_LE(peakResidentKiB(), residentAfterFirstBatch + kResidentSlackKiB);
}

}  // namespace
}  // namespace memory_test
