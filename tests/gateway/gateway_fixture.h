// Shared helpers of the gateway tests: a clean host and card per test, and
// mexFunction called through the host's session.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "gateway/sfcn_record.h"
#include "host/mex_api.h"
#include "simcard/simcard.h"
#include "standin_host/block_session.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"
#include "tests/support/expected_messages.h"
#include "tests/support/fresh_host_test.h"

namespace gateway_test {

// Outcome of one set-up call.
struct SetupOutcome {
  bool returned = false;
  std::string error;
  mxArray* sizes = nullptr;  // lhs[0]

  double row(int k) const { return mxGetPr(sizes)[k]; }
};

inline mxArray* doubleScalar(double value) {
  return standinCreateDoubles(1, 1, &value);
}
inline mxArray* emptyDoubles() {
  return standinCreateDoubles(0, 0, nullptr);
}

// The four arguments of a set-up call with the given second argument and FLAG.
inline std::vector<const mxArray*> setupArgs(const mxArray* flag,
                                             const mxArray* second = emptyDoubles()) {
  return {emptyDoubles(), second, emptyDoubles(), flag};
}

// Each test starts with no arrays, no logs and a fresh card, and a host
// session on a record named as the module.
class GatewayTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    host_.emplace(mexFunction, "twinvolts", "model/twinvolts");
  }
  void TearDown() override {
    host_.reset();
    FreshHostTest::TearDown();
  }

  standin::BlockSession& host() { return *host_; }

  SetupOutcome callSetup(int lhsCount, const std::vector<const mxArray*>& rhs) {
    SetupOutcome outcome;
    outcome.returned = host_->setUpWith(lhsCount, rhs, &outcome.sizes);
    outcome.error = standinLastError();
    return outcome;
  }
  // A direct-mode set-up of record.
  SetupOutcome attach(const SFcnRecord* record) {
    return callSetup(1, setupArgs(doubleScalar(0.0), standinNewAttachArgument(record)));
  }

 private:
  std::optional<standin::BlockSession> host_;
};

// A record of the host's with three input ports, one of them declared, for
// the port accessors, which take it as it is.
class PortRecordTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    record_.sfcnName = "twinvolts";
    record_.blockPath = "model/Analog Out";
    record_.rootRecord = &record_;
    record_.hostInfo = &hostInfo_;
    record_.inputPorts = ports_;
    setPortCount(1);
  }

  void setPortCount(int32_t count) { record_.sizesBlock.inputPortCount = count; }

  SFcnRecord record_{};
  HostInfo hostInfo_{};
  InputPortInfo ports_[3]{};
};

}  // namespace gateway_test
