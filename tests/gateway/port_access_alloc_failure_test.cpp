// When a scratch buffer cannot be had, the accessors show nothing and set no
// flag. Linked with -Wl,--wrap=malloc, so the module's malloc calls come here.
#include <cstddef>
#include <string>

#include "gateway_fixture.h"

extern "C" void* __real_malloc(size_t size);

namespace {

long mallocCalls = 0;  // while armed
long failAt = 0;       // the failAt-th call while armed fails; 0: disarmed

}  // namespace

extern "C" void* __wrap_malloc(size_t size) {
  if (failAt == 0) return __real_malloc(size);
  if (++mallocCalls == failAt) return nullptr;
  return __real_malloc(size);
}

namespace {

class PortAccessAllocFailureTest : public gateway_test::PortRecordTest {
 protected:
  void TearDown() override {
    failAt = 0;
    PortRecordTest::TearDown();
  }

  void failMallocNumber(long n) {
    mallocCalls = 0;
    failAt = n;
  }

  void expectNothingShown() {
    failAt = 0;
    EXPECT_EQ(standinDialogCount(), 0u);
    EXPECT_EQ(hostInfo_.fatalErrorFlag, 0);
  }
};

TEST_F(PortAccessAllocFailureTest, SignalAccessorsGiveNullAndShowNothing) {
  struct Case {
    const char* what;
    int32_t port;
  };
  const Case cases[] = {{"port out of range", 4}, {"port unconnected", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    failMallocNumber(1);
    EXPECT_EQ(ssGetInputPortRealSignal(&record_, c.port), nullptr);
    EXPECT_GE(mallocCalls, 1);  // the failure did reach the accessor
    expectNothingShown();
  }
}

TEST_F(PortAccessAllocFailureTest, FeedThroughSetterShowsNothingWhenEitherBufferFails) {
  for (long n : {1L, 2L}) {
    SCOPED_TRACE("failing allocation " + std::to_string(n));
    ports_[0].directFeedThrough = 3;
    failMallocNumber(n);
    ssSetInputPortDirectFeedThrough(&record_, 1, 1);
    EXPECT_GE(mallocCalls, n);
    expectNothingShown();
    EXPECT_EQ(ports_[0].directFeedThrough, 3);
  }
}

// The control for the cases above: the same calls do show their dialogs.
TEST_F(PortAccessAllocFailureTest, WithoutAFailureTheSameCallsShowTheirDialogs) {
  ssGetInputPortRealSignal(&record_, 4);
  ssGetInputPortRealSignal(&record_, 0);
  ssSetInputPortDirectFeedThrough(&record_, 1, 1);
  EXPECT_EQ(standinDialogCount(), 3u);
  EXPECT_EQ(hostInfo_.fatalErrorFlag, 1);
}

}  // namespace
