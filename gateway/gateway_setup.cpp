// The set-up call: argument checks in the host's order, then attach to the
// host's record or create one, stamp, the block's own set-up, and the sizes
// vector.
#include <cstdint>
#include <cstring>

#include "block/twinvolts_block.h"
#include "gateway/gateway.h"
#include "gateway/sfcn_names.h"
#include "host/mex_api.h"

namespace twinvolts {
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

void checkArgumentCounts(int lhsCount, int rhsCount) {
  if (rhsCount < 4) raiseError(kTooFewRhs, SFCN_DISPLAY_NAME);
  if (lhsCount > 1) raiseError(kTooManyLhs, SFCN_DISPLAY_NAME);
}

// A sparse array's data hold only its stored elements, and a zero is not
// stored: a sparse FLAG is read from the full array the host's own full()
// makes of it, a temporary of this call.
const mxArray* fullFlag(const mxArray* flag) {
  if (!mxIsSparse(flag)) return flag;
  mxArray* input = const_cast<mxArray*>(flag);  // full() leaves its argument as it is
  mxArray* full = nullptr;
  if (mexCallMATLAB(1, &full, 1, &input, "full") != 0 || full == nullptr) {
    raiseError(kFlagNotInteger, SFCN_DISPLAY_NAME);
  }
  return full;
}

void checkFlagIsZero(const mxArray* flag) {
  // One element, tested as m == 1 and n == 1 so a huge shape cannot wrap to 1.
  if (mxGetM(flag) != 1 || mxGetN(flag) != 1 || mxIsComplex(flag) || !mxIsNumeric(flag)) {
    raiseError(kFlagNotInteger, SFCN_DISPLAY_NAME);
  }
  int32_t value = 0;
  if (!elementToExactInt32(readFirstColumn(fullFlag(flag)), 0, &value)) {
    raiseError(kFlagNotInteger, SFCN_DISPLAY_NAME);
  }
  if (value != 0) raiseError(kInvalidFlag, SFCN_DISPLAY_NAME);
}

// The attach argument (right-hand argument 2): the host marks its own record
// with the version stamp so the gateway can attach to it. True (direct mode)
// when the argument has exactly 2 rows and its element 1 equals the stamp;
// *record then receives the address carried in element 0, which may be null.
// Any other argument, a 2-by-0 or a sparse one included, selects stand-alone
// mode.
bool attachArgumentNamesRecord(const mxArray* attach, SFcnRecord** record) {
  // A 2-by-0 argument has no element 1; asking for its columns does not rely
  // on the host giving such an array no data. A sparse one is never the
  // host's mark, and its data hold only its non-zero elements.
  if (mxGetM(attach) != 2 || mxGetN(attach) == 0 || mxIsSparse(attach)) return false;
  const HostColumn column = readFirstColumn(attach);
  // Logical, char and the 8- and 16-bit integers cannot hold the stamp, and
  // their elements are not read: hosts differ in how wide they store them (a
  // character may take one byte or two).
  if (column.reading == nullptr || column.reading->size < sizeof(int32_t)) return false;
  if (!elementEquals(column, 1, SFCN_VERSION_STAMP)) return false;
  // The address fills the whole pointer: its low 32 bits on a 32-bit target,
  // all 64 on a 64-bit one, where the record layout is widened.
  const int64_t address = elementToInt64(column, 0);
  *record = reinterpret_cast<SFcnRecord*>(static_cast<uintptr_t>(address));
  return true;
}

void checkRecordName(const SFcnRecord* record) {
  if (std::strcmp(S_FUNCTION_NAME, kReservedName) == 0) return;
  const char* name = record->sfcnName != nullptr ? record->sfcnName : "";
  if (record->sfcnName == nullptr || std::strcmp(name, S_FUNCTION_NAME) != 0) {
    raiseError(kNameMismatch, S_FUNCTION_NAME, name);
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

template <typename PortInfo>
int declarePortCount(int32_t count, int32_t* portCount, PortInfo** ports, uint32_t* portFlags) {
  if (count < 0) return 0;
  if (count > 0) {
    // Allocate before changing anything, so a refusal leaves the record as it was.
    auto* fresh = static_cast<PortInfo*>(mxCalloc(static_cast<size_t>(count), sizeof(PortInfo)));
    if (fresh == nullptr) return 0;
    *ports = fresh;
  }
  *portCount = count;
  *portFlags |= SFCN_PORT_FLAG_COUNT_DECLARED;
  return 1;
}

SFcnRecord* obtainRecord(int rhsCount, const mxArray* rhs[]) {
  SFcnRecord* record = nullptr;
  if (attachArgumentNamesRecord(rhs[1], &record)) {
    // A stamped argument whose address converts to 0 would have the name
    // check read through null; refuse it before touching anything.
    if (record == nullptr) raiseError(kNullRecord, SFCN_DISPLAY_NAME);
    checkRecordName(record);
    installBlockMethods(record);
    return record;
  }
  record = createStandaloneRecord(rhsCount, rhs);
  if (record == nullptr) raiseError(kOutOfMemory, SFCN_DISPLAY_NAME);
  return record;
}

static_assert(sizeof(SFcnSizes) == SFCN_SIZES_COUNT * sizeof(int32_t),
              "the sizes block is 38 plain 32-bit words");

// Host words that the vector carries as unsigned; every other row is signed.
constexpr bool unsignedRow(int row) {
  return (row >= 15 && row <= 18) || row == 23;
}

// The set-up call's result: a new 38-by-1 real double array of the record's
// sizes entries, signed except rows 15-18 and 23, which the host keeps as
// unsigned words. The set-up bit stays in the record, where the host sees
// it, and shows in row 23. Null only when the host gives no array.
mxArray* makeSizesVector(SFcnRecord* record) {
  mxArray* vector = mxCreateDoubleMatrix(SFCN_SIZES_COUNT, 1, mxREAL);
  if (vector == nullptr) return nullptr;
  double* rows = mxGetPr(vector);
  SFcnSizes& sizes = record->sizesBlock;
  sizes.sizesFlags |= SFCN_SIZES_FLAG_SETUP_DONE;
  // Straight from the record: the sizes block is plain 32-bit words, signed
  // and unsigned alike. Unrolled, so each row's reading is settled at
  // compile time.
  const auto* words = reinterpret_cast<const int32_t*>(&sizes);
#pragma GCC unroll 38
  for (int row = 0; row < SFCN_SIZES_COUNT; ++row) {
    rows[row] = unsignedRow(row) ? static_cast<double>(static_cast<uint32_t>(words[row]))
                                 : static_cast<double>(words[row]);
  }
  return vector;
}

}  // namespace

void gatewaySetup(int lhsCount, mxArray* lhs[], int rhsCount, const mxArray* rhs[]) {
  checkArgumentCounts(lhsCount, rhsCount);
  checkFlagIsZero(rhs[3]);
  SFcnRecord* record = obtainRecord(rhsCount, rhs);
  record->sizesBlock.versionStamp = SFCN_VERSION_STAMP;
  mdlInitializeSizes(record);
  mxArray* sizes = makeSizesVector(record);
  if (sizes == nullptr) raiseError(kOutOfMemory, SFCN_DISPLAY_NAME);
  lhs[0] = sizes;
}

// Everything comes from the host allocator and is never released here: the
// host reclaims it.
SFcnRecord* createStandaloneRecord(int rhsCount, const mxArray* rhs[]) {
  const int32_t paramCount = rhsCount > 4 ? rhsCount - 4 : 0;
  auto* record = static_cast<SFcnRecord*>(mxCalloc(1, sizeof(SFcnRecord)));
  auto* info = static_cast<HostInfo*>(mxCalloc(1, sizeof(HostInfo)));
  if (record == nullptr || info == nullptr) return nullptr;

  record->rootRecord = record;
  record->hostInfo = info;
  info->standaloneMark = 1;
  record->suppliedParamCount = paramCount;
  record->blockPath = S_FUNCTION_NAME;
  record->sfcnName = S_FUNCTION_NAME;

  if (paramCount > 0) {
    auto* params = static_cast<const mxArray**>(
        mxCalloc(static_cast<size_t>(paramCount), sizeof(const mxArray*)));
    if (params == nullptr) return nullptr;
    // The caller's own handles: the block reads the parameters as given.
    for (int32_t i = 0; i < paramCount; ++i) params[i] = rhs[4 + i];
    record->paramArrays = params;
  }

  record->setNumInputPortsFcn = standaloneSetNumInputPorts;
  record->setNumInputPortsContext = record;
  record->setNumOutputPortsFcn = standaloneSetNumOutputPorts;
  record->setNumOutputPortsContext = record;
  return record;
}

int HOST_CALL standaloneSetNumInputPorts(void* context, int32_t count) {
  auto* record = static_cast<SFcnRecord*>(context);
  return declarePortCount(count, &record->sizesBlock.inputPortCount, &record->inputPorts,
                          &record->sizesBlock.portFlags);
}

int HOST_CALL standaloneSetNumOutputPorts(void* context, int32_t count) {
  auto* record = static_cast<SFcnRecord*>(context);
  return declarePortCount(count, &record->sizesBlock.outputPortCount, &record->outputPorts,
                          &record->sizesBlock.portFlags);
}

}  // namespace twinvolts
