// Writer hooks that remember every call, with what the pointers showed at
// the time of the call (the writers' pairs and copies live only that long),
// and a fixture with a host record that uses them.
#pragma once

#include <gtest/gtest.h>
#include <stdint.h>

#include <map>
#include <string>
#include <vector>

#include "gateway/sfcn_record.h"
#include "rtw/rtw_writers.h"

// The complex-data bit of a data type id, as the host writes it.
constexpr int32_t kComplexBit = 0x10000;

enum class HookKind { kLine, kNameValue, kParam };

struct HookCall {
  HookKind kind = HookKind::kLine;
  void* writerArg = nullptr;
  std::string text;  // the line, or the name ("<null>" for a null name)
  int32_t type = -1;
  const void* value = nullptr;  // value or data, as received
  const void* paramInfo = nullptr;
  int32_t dataType = 0;
  int32_t nRows = 0;
  int32_t nCols = 0;
  // Seen through value during the call, where the code and data type say so.
  RealImagPair pair = {nullptr, nullptr};
  double seenDouble = 0.0;
  int32_t seenInt32 = 0;
  std::string seenText;
};

class HookRecorder {
 public:
  void install(HostInfo* host);
  // The call with this index (0-based, over all hooks) returns result
  // instead of 1; resultFromThenOn applies to it and every later call.
  void resultAt(int callIndex, int32_t result) { results_[callIndex] = result; }
  void resultFromThenOn(int callIndex, int32_t result);

  const std::vector<HookCall>& calls() const { return calls_; }
  std::vector<std::string> lines() const;  // the texts of every call, in order

  int32_t record(HookCall call);

 private:
  std::vector<HookCall> calls_;
  std::map<int, int32_t> results_;
  int failFrom_ = -1;
  int32_t failResult_ = 1;
};

// A host record with its own HostInfo whose hooks record into `hooks`.
class RtwWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record.rootRecord = &record;
    record.hostInfo = &host;
    hooks.install(&host);
  }
  const char* errorSlot() const { return record.rootRecord->errorMessage; }
  const std::vector<HookCall>& calls() const { return hooks.calls(); }

  SFcnRecord record{};
  HostInfo host{};
  HookRecorder hooks;
};
