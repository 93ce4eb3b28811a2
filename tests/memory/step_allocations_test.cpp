// A step of the simulation must not touch the heap: a host calls it
// thousands of times a second, and an allocation there costs time the
// driver's write does not, and can fail.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "simcard/simcard.h"
#include "standin_host/host_calls.h"
#include "tests/memory/allocation_counter.h"
#include "tests/memory/running_block.h"
#include "tests/support/fresh_host_test.h"

namespace memory_test {
namespace {

constexpr int kSteps = 1000;

struct StepPath {
  const char* name;
  std::function<bool(RunningBlock&)> step;
};

void PrintTo(const StepPath& path, std::ostream* out) {
  *out << path.name;
}

class StepAllocationsTest : public FreshHostTest, public ::testing::WithParamInterface<StepPath> {};

TEST_P(StepAllocationsTest, ThousandStepsAllocateNothing) {
  RunningBlock block;
  ASSERT_TRUE(block.ready()) << standinLastError();
  block.setInput(0.5, 0.25);
  ASSERT_TRUE(GetParam().step(block));  // first-use work of the card, outside the count
  const size_t writesBefore = simcardWriteCount();

  bool allSucceeded = true;
  const long before = allocationCount();
  for (int k = 0; k < kSteps; ++k) {
    block.setInput(k * 0.004, 5.0 - k * 0.004);
    allSucceeded = GetParam().step(block) && allSucceeded;
  }
  const long allocated = allocationCount() - before;

  EXPECT_EQ(allocated, 0) << "heap allocations in " << kSteps << " steps";
  EXPECT_TRUE(allSucceeded);
  // The steps did reach the card: two writes each, the last input on the outputs.
  EXPECT_EQ(simcardWriteCount() - writesBefore, 2u * kSteps);
  EXPECT_DOUBLE_EQ(simcardOutputVolts(0), (kSteps - 1) * 0.004);
  EXPECT_DOUBLE_EQ(simcardOutputVolts(1), 5.0 - (kSteps - 1) * 0.004);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayIn, StepAllocationsTest,
    ::testing::Values(StepPath{"OutputsSlot", [](RunningBlock& b) { return b.stepThroughSlot(); }},
                      StepPath{"MexFunctionThroughCallSite",
                               [](RunningBlock& b) { return b.stepThroughMexFunction(); }},
                      StepPath{"BareMexFunction",
                               [](RunningBlock& b) {
                                 b.stepThroughBareMexFunction();
                                 return b.record()->errorMessage == nullptr;
                               }}),
    [](const ::testing::TestParamInfo<StepPath>& info) { return info.param.name; });

// The counter must see what the module allocates, or the zero above proves
// nothing: a stand-alone set-up takes its record from the host allocator.
using AllocationCounterTest = FreshHostTest;

TEST_F(AllocationCounterTest, SeesTheAllocationsOfASetUpCall) {
  RunningBlock block;
  ASSERT_TRUE(block.ready());
  const long before = allocationCount();
  ASSERT_TRUE(block.standaloneSetUp()) << standinLastError();
  EXPECT_GE(allocationCount() - before, 3);  // record, HostInfo, sizes vector at least
}

}  // namespace
}  // namespace memory_test
