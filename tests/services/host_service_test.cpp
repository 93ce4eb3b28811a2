#include "services/services.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "standin_host/host_record.h"

namespace {

struct ServiceCall {
  SFcnRecord* record;
  int32_t service;
  int32_t argument;
  bool slotGiven;
  double presetSeen;  // the slot's content when the hook was entered
};

std::vector<ServiceCall> calls;
bool hookWrites;
int32_t writeInt;
double writeReal;
int32_t hookStatus;

int32_t HOST_CALL recordService(SFcnRecord* record, int32_t service, int32_t argument,
                                void* result) {
  ServiceCall call{record, service, argument, result != nullptr, -1.0};
  if (result != nullptr) {
    call.presetSeen = service == SFCN_SERVICE_INT ? *static_cast<int32_t*>(result)
                                                  : *static_cast<double*>(result);
  }
  calls.push_back(call);
  if (hookWrites && result != nullptr) {
    if (service == SFCN_SERVICE_INT) *static_cast<int32_t*>(result) = writeInt;
    if (service == SFCN_SERVICE_REAL) *static_cast<double*>(result) = writeReal;
  }
  return hookStatus;
}

class HostServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    hookWrites = true;
    writeInt = 0;
    writeReal = 0.0;
    hookStatus = 1;
    record_ = standinNewHostRecord("twinvolts", "m/B");
    record_->hostInfo->hostServiceFcn = recordService;
  }
  void TearDown() override { standinFreeHostRecord(record_); }

  SFcnRecord* record_ = nullptr;
};

TEST_F(HostServiceTest, IntQueryPassesArgumentAndReturnsWhatHostWrote) {
  const int32_t arguments[] = {7, 0, -1, INT32_MIN, INT32_MAX};
  const int32_t statuses[] = {1, 0, -1};
  for (int32_t argument : arguments) {
    for (int32_t status : statuses) {
      SCOPED_TRACE(testing::Message() << "argument " << argument << " status " << status);
      calls.clear();
      hookStatus = status;
      writeInt = argument ^ 0x5A5A;
      EXPECT_EQ(ssGetHostServiceInt(record_, argument), argument ^ 0x5A5A);
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].record, record_);
      EXPECT_EQ(calls[0].service, 20);
      EXPECT_EQ(calls[0].argument, argument);
      EXPECT_TRUE(calls[0].slotGiven);
    }
  }
}

TEST_F(HostServiceTest, RealQueryPassesZeroArgumentAndReturnsWhatHostWrote) {
  const int32_t statuses[] = {1, 0, -1};
  for (int32_t status : statuses) {
    SCOPED_TRACE(status);
    calls.clear();
    hookStatus = status;
    writeReal = 2.5e-3;
    EXPECT_EQ(ssGetHostServiceReal(record_), 2.5e-3);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].record, record_);
    EXPECT_EQ(calls[0].service, 21);
    EXPECT_EQ(calls[0].argument, 0);
    EXPECT_TRUE(calls[0].slotGiven);
  }
}

// A hook that fails without writing leaves the preset, whatever it returns.
TEST_F(HostServiceTest, HookThatWritesNothingLeavesPreset) {
  hookWrites = false;
  hookStatus = 0;
  EXPECT_EQ(ssGetHostServiceInt(record_, 7), 0);
  EXPECT_EQ(ssGetHostServiceReal(record_), 0.0);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].presetSeen, 0.0);
  EXPECT_EQ(calls[1].presetSeen, 0.0);
}

TEST_F(HostServiceTest, AbsentHookGivesZero) {
  record_->hostInfo->hostServiceFcn = nullptr;
  EXPECT_EQ(ssGetHostServiceInt(record_, 7), 0);
  EXPECT_EQ(ssGetHostServiceReal(record_), 0.0);

  SFcnRecord bare{};
  EXPECT_EQ(ssGetHostServiceInt(&bare, 7), 0);
  EXPECT_EQ(ssGetHostServiceReal(&bare), 0.0);
  EXPECT_TRUE(calls.empty());
}

}  // namespace
