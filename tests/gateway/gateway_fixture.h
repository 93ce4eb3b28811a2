// Shared helpers of the gateway tests: a clean host and card per test, and
// mexFunction called as the host calls it.
#ifndef TWINVOLTS_TESTS_GATEWAY_GATEWAY_FIXTURE_H
#define TWINVOLTS_TESTS_GATEWAY_GATEWAY_FIXTURE_H

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gateway/sfcn_names.h"
#include "gateway/sfcn_record.h"
#include "host/mex_api.h"
#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"

namespace gateway_test {

// The argument-check messages as the host shows them.
inline const std::string kTooFewRhs =
    SFCN_DISPLAY_NAME " must be called with at least 4 right hand arguments";
inline const std::string kTooManyLhs =
    SFCN_DISPLAY_NAME " called with too many left hand arguments";
inline const std::string kFlagNotInteger =
    "The 4th right hand argument, FLAG, passed to " SFCN_DISPLAY_NAME " must be an integer";
inline const std::string kInvalidSetupFlag = "Invalid flag passed to " SFCN_DISPLAY_NAME;
inline const std::string kNullRecord = "The 2nd right hand argument passed to " SFCN_DISPLAY_NAME
                                       " holds a null S-function record address";
inline std::string nameMismatch(const std::string& hostName) {
  return "S-function name mismatch. Name in source is \"#define S_FUNCTION_NAME twinvolts\", "
         "whereas name of the S-function MEX file is \"" +
         hostName + "\". The source needs to be updated";
}

// Outcome of one set-up call.
struct SetupOutcome {
  bool returned = false;
  std::string error;
  mxArray* sizes = nullptr;  // lhs[0]

  double row(int k) const { return mxGetPr(sizes)[k]; }
};

inline SetupOutcome callSetup(int lhsCount, const std::vector<const mxArray*>& rhs) {
  // As a host does: a slot for each left-hand argument, and at least one.
  std::vector<mxArray*> lhs(static_cast<size_t>(lhsCount > 1 ? lhsCount : 1), nullptr);
  std::vector<const mxArray*> args(rhs);
  SetupOutcome outcome;
  outcome.returned = standinCallMexFunction(mexFunction, lhsCount, lhs.data(),
                                            static_cast<int>(args.size()), args.data());
  outcome.error = standinLastError();
  outcome.sizes = lhs[0];
  return outcome;
}

inline mxArray* doubleScalar(double value) {
  return standinCreateDoubles(1, 1, &value);
}
inline mxArray* emptyDoubles() {
  return standinCreateDoubles(0, 0, nullptr);
}

// The four arguments of a plain stand-alone set-up call with the given FLAG.
inline std::vector<const mxArray*> setupArgs(const mxArray* flag) {
  return {emptyDoubles(), emptyDoubles(), emptyDoubles(), flag};
}

// Each test starts with no arrays, no logs and a fresh card.
class GatewayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standinReset();
    simcardReset();
  }
  void TearDown() override {
    simcardSetRecording(false);
    standinReset();
  }
};

// The record as raw 32-bit words, to see that nothing but named fields changed.
inline std::vector<uint32_t> recordWords(const SFcnRecord& record) {
  std::vector<uint32_t> words(sizeof(SFcnRecord) / sizeof(uint32_t));
  std::memcpy(words.data(), &record, sizeof(SFcnRecord));
  return words;
}

}  // namespace gateway_test

#endif
