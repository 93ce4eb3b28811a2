// The set-up call: argument checks in the host's order, then attach or
// create, stamp, the block's own set-up, and the sizes vector.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "block/twinvolts_block.h"
#include "gateway/attach_argument.h"
#include "gateway/gateway.h"
#include "gateway/host_number.h"
#include "gateway/sfcn_names.h"
#include "gateway/sizes_vector.h"
#include "host/mex_api.h"

namespace {

constexpr char kTooFewRhs[] = "%s must be called with at least 4 right hand arguments";
constexpr char kTooManyLhs[] = "%s called with too many left hand arguments";
constexpr char kFlagNotInteger[] =
    "The 4th right hand argument, FLAG, passed to %s must be an integer";
constexpr char kInvalidFlag[] = "Invalid flag passed to %s";
constexpr char kNameMismatch[] =
    "S-function name mismatch. Name in source is \"#define S_FUNCTION_NAME %s\", whereas name of "
    "the S-function MEX file is \"%s\". The source needs to be updated";
constexpr char kNullRecord[] =
    "The 2nd right hand argument passed to %s holds a null S-function record address";
constexpr char kOutOfMemory[] = "Out of memory in %s";

// A set-up under this name runs without the name check.
constexpr char kReservedName[] = "simulink_only_sfcn";

// Formats into a fixed buffer, cut short rather than overrun when a host text
// is long, and ends the call through the host.
[[noreturn]] __attribute__((format(printf, 1, 2))) void raiseSetupError(const char* format, ...) {
  char message[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
  mexErrMsgTxt(message);
}

void checkArgumentCounts(int lhsCount, int rhsCount) {
  if (rhsCount < 4) raiseSetupError(kTooFewRhs, SFCN_DISPLAY_NAME);
  if (lhsCount > 1) raiseSetupError(kTooManyLhs, SFCN_DISPLAY_NAME);
}

void checkFlagIsZero(const mxArray* flag) {
  // One element, tested as m == 1 and n == 1 so a huge shape cannot wrap to 1.
  if (mxGetM(flag) != 1 || mxGetN(flag) != 1 || mxIsComplex(flag) || !mxIsNumeric(flag)) {
    raiseSetupError(kFlagNotInteger, SFCN_DISPLAY_NAME);
  }
  int32_t value = 0;
  if (!hostNumberToExactInt32(readHostElement(flag, 0), &value)) {
    raiseSetupError(kFlagNotInteger, SFCN_DISPLAY_NAME);
  }
  if (value != 0) raiseSetupError(kInvalidFlag, SFCN_DISPLAY_NAME);
}

void checkRecordName(const SFcnRecord* record) {
  if (std::strcmp(S_FUNCTION_NAME, kReservedName) == 0) return;
  const char* name = record->sfcnName != nullptr ? record->sfcnName : "";
  if (record->sfcnName == nullptr || std::strcmp(name, S_FUNCTION_NAME) != 0) {
    raiseSetupError(kNameMismatch, S_FUNCTION_NAME, name);
  }
}

void installBlockMethods(SFcnRecord* record) {
  record->mdlInitializeSizes = mdlInitializeSizes;
  record->mdlSampleTimes = mdlDeclareSampleTimes;
  record->mdlGetTimeOfNextVarHit = varHitStub;
  record->mdlOutputs = mdlOutputs;
  record->mdlZeroCrossings = zeroCrossingsStub;
  record->mdlTerminate = mdlShutdown;
}

SFcnRecord* obtainRecord(int rhsCount, const mxArray* rhs[]) {
  SFcnRecord* record = nullptr;
  if (attachArgumentNamesRecord(rhs[1], &record)) {
    // A stamped argument whose address converts to 0 would have the name
    // check read through null; refuse it before touching anything.
    if (record == nullptr) raiseSetupError(kNullRecord, SFCN_DISPLAY_NAME);
    checkRecordName(record);
    installBlockMethods(record);
    return record;
  }
  record = createStandaloneRecord(rhsCount, rhs);
  if (record == nullptr) raiseSetupError(kOutOfMemory, SFCN_DISPLAY_NAME);
  return record;
}

}  // namespace

extern "C" void gatewaySetup(int lhsCount, mxArray* lhs[], int rhsCount, const mxArray* rhs[]) {
  checkArgumentCounts(lhsCount, rhsCount);
  checkFlagIsZero(rhs[3]);
  SFcnRecord* record = obtainRecord(rhsCount, rhs);
  record->sizesBlock.versionStamp = SFCN_VERSION_STAMP;
  mdlInitializeSizes(record);
  mxArray* sizes = makeSizesVector(record);
  if (sizes == nullptr) raiseSetupError(kOutOfMemory, SFCN_DISPLAY_NAME);
  lhs[0] = sizes;
}
