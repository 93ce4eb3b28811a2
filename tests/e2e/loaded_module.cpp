#include "tests/e2e/loaded_module.h"

#include <cstdint>

#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/e2e/test_arguments.h"

namespace e2e {

#define E2E_DISPLAY_NAME "MEX level2 S-function \"twinvolts\""

const char* const kTooFewRightHandMessage =
    E2E_DISPLAY_NAME " must be called with at least 4 right hand arguments";
const char* const kTooManyLeftHandMessage =
    E2E_DISPLAY_NAME " called with too many left hand arguments";
const char* const kFlagNotIntegerMessage =
    "The 4th right hand argument, FLAG, passed to " E2E_DISPLAY_NAME " must be an integer";
const char* const kInvalidSetupFlagMessage = "Invalid flag passed to " E2E_DISPLAY_NAME;

const char* const kInvalidFlagMessage = "Invalid flag encountered in simulink";
const char* const kVarHitMessage =
    "To have a variable sample time, you must define MDL_GET_TIME_OF_NEXT_VAR_HIT and add a "
    "mdlGetTimeOfNextVarHit routine";
const char* const kZeroCrossingsMessage =
    "To have nonsampled zero crossings, you must define MDL_ZERO_CROSSINGS and have a "
    "mdlZeroCrossings routine";

std::string nameMismatchMessage(const std::string& recordName) {
  return "S-function name mismatch. Name in source is \"#define S_FUNCTION_NAME twinvolts\", "
         "whereas name of the S-function MEX file is \"" +
         recordName + "\". The source needs to be updated";
}

void LoadedModuleTest::SetUp() {
  standinReset();
  simcardReset();
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  ASSERT_EQ(standinLoadModule(testArgument("module").c_str(), &module_, message, sizeof message),
            STANDIN_LOAD_OK)
      << message;
}

void LoadedModuleTest::TearDown() {
  standinUnloadModule(&module_);
  for (SFcnRecord* record : records_) standinFreeHostRecord(record);
  records_.clear();
  methodEmpty_ = methodFlag_ = nullptr;
  standinReset();
  simcardReset();
}

mxArray* LoadedModuleTest::empty() {
  return standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
}

mxArray* LoadedModuleTest::scalar(double value, mxClassID classId) {
  return standinCreateScalar(classId, value);
}

mxArray* LoadedModuleTest::doubles(size_t rows, size_t columns,
                                   std::initializer_list<double> values) {
  EXPECT_EQ(values.size(), rows * columns);
  return standinCreateDoubles(rows, columns, values.begin());
}

SFcnRecord* LoadedModuleTest::hostRecord(const char* sfcnName, const char* blockPath) {
  SFcnRecord* record = standinNewHostRecord(sfcnName, blockPath);
  records_.push_back(record);
  return record;
}

mxArray* LoadedModuleTest::attachArgument(const SFcnRecord* record) {
  return standinNewAttachArgument(record);
}

bool LoadedModuleTest::call(int nlhs, mxArray** plhs, std::vector<const mxArray*> rhs) {
  return standinCallMexFunction(module_.mexFunction, nlhs, plhs, static_cast<int>(rhs.size()),
                                rhs.data());
}

bool LoadedModuleTest::setUp(mxArray* second, mxArray** sizes) {
  mxArray* plhs[1] = {nullptr};
  const bool returned = call(1, plhs, {empty(), second, empty(), scalar(0.0)});
  if (sizes != nullptr) *sizes = plhs[0];
  return returned;
}

void LoadedModuleTest::setUpDirect(SFcnRecord* record) {
  ASSERT_TRUE(setUp(attachArgument(record))) << standinLastError();
  ASSERT_EQ(record->rootRecord->errorMessage, nullptr) << record->rootRecord->errorMessage;
}

bool LoadedModuleTest::method(SFcnRecord* record, double flag) {
  if (methodFlag_ == nullptr) {
    methodEmpty_ = empty();
    methodFlag_ = scalar(0.0);
  }
  *static_cast<double*>(standinRealData(methodFlag_)) = flag;
  mxArray* plhs[2] = {nullptr, reinterpret_cast<mxArray*>(record)};
  return call(-1, plhs, {methodEmpty_, methodEmpty_, methodEmpty_, methodFlag_});
}

std::vector<double> sizesRows(const mxArray* sizes) {
  if (sizes == nullptr) {
    ADD_FAILURE() << "no sizes vector";
    return {};
  }
  EXPECT_EQ(mxGetClassID(sizes), mxDOUBLE_CLASS);
  EXPECT_FALSE(mxIsComplex(sizes));
  EXPECT_EQ(mxGetM(sizes), 38u);
  EXPECT_EQ(mxGetN(sizes), 1u);
  if (mxGetM(sizes) * mxGetN(sizes) != 38) return {};
  const double* rows = mxGetPr(sizes);
  return std::vector<double>(rows, rows + 38);
}

}  // namespace e2e
