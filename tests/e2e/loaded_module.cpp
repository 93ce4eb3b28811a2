#include "tests/e2e/loaded_module.h"

#include "standin_host/host_arrays.h"
#include "tests/e2e/test_arguments.h"

namespace e2e {

void LoadedModuleTest::SetUp() {
  FreshHostTest::SetUp();
  // --errors throw: the host raises its errors as C++ exceptions through the
  // module's frames rather than jumping over them.
  const std::string& errors = testArgument("errors");
  ASSERT_TRUE(errors.empty() || errors == "throw") << "--errors " << errors;
  ASSERT_TRUE(
      standinSetErrorUnwinding(errors == "throw" ? STANDIN_ERRORS_THROW : STANDIN_ERRORS_JUMP));
  // --arrays to-the-byte: each argument's data in a block of exactly their
  // size, so a memory checker sees any read past them.
  const std::string& arrays = testArgument("arrays");
  ASSERT_TRUE(arrays.empty() || arrays == "to-the-byte") << "--arrays " << arrays;
  standinSetArrayLayout(arrays.empty() ? STANDIN_ARRAYS_PACKED : STANDIN_ARRAYS_TO_THE_BYTE);
  loadModule();
}

void LoadedModuleTest::TearDown() {
  unloadModule();
  FreshHostTest::TearDown();
}

void LoadedModuleTest::loadModule() {
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  ASSERT_EQ(standinLoadModule(testArgument("module").c_str(), &module_, message, sizeof message),
            STANDIN_LOAD_OK)
      << message;
}

void LoadedModuleTest::unloadModule() {
  sessions_.clear();
  standinUnloadModule(&module_);
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

mxArray* LoadedModuleTest::sparse(size_t rows, size_t columns, std::initializer_list<double> values,
                                  mxClassID classId) {
  EXPECT_EQ(values.size(), rows * columns);
  return standinCreateSparse(classId, rows, columns, values.begin(), nullptr);
}

standin::BlockSession& LoadedModuleTest::session(const char* sfcnName, const char* blockPath) {
  sessions_.push_back(
      std::make_unique<standin::BlockSession>(module_.mexFunction, sfcnName, blockPath));
  return *sessions_.back();
}

standin::BlockSession& LoadedModuleTest::host() {
  return sessions_.empty() ? session() : *sessions_.front();
}

bool LoadedModuleTest::setUp(mxArray* second, mxArray** sizes) {
  return host().setUpWith(1, {empty(), second, empty(), scalar(0.0)}, sizes);
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
