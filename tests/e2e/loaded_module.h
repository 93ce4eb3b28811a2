// A fixture that loads the module file under test afresh for every test, with
// clean stand-ins, and makes calls the way the host makes them: through host
// sessions, one per record.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "gateway/sfcn_record.h"
#include "standin_host/block_session.h"
#include "standin_host/host_calls.h"
#include "standin_host/module_loader.h"
#include "tests/support/expected_messages.h"
#include "tests/support/fresh_host_test.h"

namespace e2e {

using standin::kFlagOutputs;
using standin::kFlagSampleTimes;
using standin::kFlagTerminate;
// Flags of methods the block does not have, to probe how it refuses them.
enum : int { kFlagVarHit = 103, kFlagZeroCrossings = 108 };

class LoadedModuleTest : public FreshHostTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Host arrays made here live until the end of the test.
  mxArray* empty();
  mxArray* scalar(double value, mxClassID classId = mxDOUBLE_CLASS);
  mxArray* doubles(size_t rows, size_t columns, std::initializer_list<double> values);
  // Sparse, double or logical, of the values given in column-major order.
  mxArray* sparse(size_t rows, size_t columns, std::initializer_list<double> values,
                  mxClassID classId = mxDOUBLE_CLASS);

  // A host session on a record of its own, released at the end of the test.
  standin::BlockSession& session(const char* sfcnName = "twinvolts",
                                 const char* blockPath = "model/twinvolts");
  // The test's first session, for calls that need no particular record.
  standin::BlockSession& host();
  // A set-up call with FLAG 0 and the given second argument (empty: stand-alone).
  bool setUp(mxArray* second, mxArray** sizes = nullptr);

  // Loads the module file afresh, as SetUp does.
  void loadModule();
  // As a host unloads a module: its exit function runs first. The sessions
  // go with it.
  void unloadModule();

  MexFunctionPtr entry() const { return module_.mexFunction; }
  const StandinModule& module() const { return module_; }

 private:
  StandinModule module_{};
  std::vector<std::unique_ptr<standin::BlockSession>> sessions_;
};

// The rows of a set-up call's result, after checking its shape.
std::vector<double> sizesRows(const mxArray* sizes);

}  // namespace e2e
