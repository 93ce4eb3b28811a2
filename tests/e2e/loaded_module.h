// A fixture that loads the module file under test afresh for every test, with
// clean stand-ins, and makes calls the way the host makes them.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "gateway/sfcn_record.h"
#include "standin_host/block_session.h"
#include "standin_host/host_calls.h"
#include "standin_host/module_loader.h"

namespace e2e {

// The six argument-check messages of a set-up call, as the host shows them.
extern const char* const kTooFewRightHandMessage;
extern const char* const kTooManyLeftHandMessage;
extern const char* const kFlagNotIntegerMessage;
extern const char* const kInvalidSetupFlagMessage;
std::string nameMismatchMessage(const std::string& recordName);

// Messages the module posts in a root record's error slot.
extern const char* const kInvalidFlagMessage;
extern const char* const kVarHitMessage;
extern const char* const kZeroCrossingsMessage;

using standin::kFlagOutputs;
using standin::kFlagSampleTimes;
using standin::kFlagTerminate;
// Flags of methods the block does not have, to probe how it refuses them.
enum : int { kFlagVarHit = 103, kFlagZeroCrossings = 108 };

class LoadedModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Host arrays made here live until the end of the test.
  mxArray* empty();
  mxArray* scalar(double value, mxClassID classId = mxDOUBLE_CLASS);
  mxArray* doubles(size_t rows, size_t columns, std::initializer_list<double> values);

  // A host-owned record for direct mode, released at the end of the test.
  SFcnRecord* hostRecord(const char* sfcnName = "twinvolts",
                         const char* blockPath = "model/twinvolts");
  mxArray* attachArgument(const SFcnRecord* record);

  // mexFunction as the host calls it; false when mexErrMsgTxt ended the call.
  bool call(int nlhs, mxArray** plhs, std::vector<const mxArray*> rhs);
  // A set-up call with FLAG 0 and the given second argument (empty: stand-alone).
  bool setUp(mxArray* second, mxArray** sizes = nullptr);
  // A direct-mode set-up of record, expected to succeed.
  void setUpDirect(SFcnRecord* record);
  // A method call: nlhs -1, lhs[1] the record, FLAG as a double scalar.
  bool method(SFcnRecord* record, double flag);

  MexFunctionPtr entry() const { return module_.mexFunction; }
  const StandinModule& module() const { return module_; }

 private:
  StandinModule module_{};
  std::vector<SFcnRecord*> records_;
  // Reused by every method call, as a host reuses its argument arrays.
  mxArray* methodEmpty_ = nullptr;
  mxArray* methodFlag_ = nullptr;
};

// The rows of a set-up call's result, after checking its shape.
std::vector<double> sizesRows(const mxArray* sizes);

}  // namespace e2e
