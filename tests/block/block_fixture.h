// A host record and a fresh card for each block test. The device state is
// module-wide, so every test starts it from the zeros of a just-loaded module.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "block/twinvolts_block.h"
#include "simcard/simcard.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"
#include "tests/support/fresh_host_test.h"

class BlockTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    fresh::resetModuleState();
    record_ = standinNewHostRecord("twinvolts", "model/Analog Out");
  }

  void TearDown() override {
    standinFreeHostRecord(record_);
    FreshHostTest::TearDown();
  }

  // Runs outputs on a 2-wide input connected to port 0.
  void runOutputs(double u0, double u1) {
    input_[0] = u0;
    input_[1] = u1;
    standinConnectInput(record_, 0, input_);
    mdlOutputs(record_, 0);
  }

  static std::vector<SimcardCall> callsSince(size_t first) {
    std::vector<SimcardCall> calls;
    for (size_t i = first; i < simcardCallCount(); ++i) calls.push_back(simcardCallAt(i));
    return calls;
  }

  SFcnRecord* record_ = nullptr;
  double input_[2] = {0.0, 0.0};
};
