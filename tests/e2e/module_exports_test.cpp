// The module file offers the host its entry point and nothing else: block
// methods, support functions and module-wide state stay inside it.
#include <gtest/gtest.h>

#include "standin_host/module_loader.h"
#include "tests/e2e/loaded_module.h"

namespace e2e {
namespace {

using ModuleExportsTest = LoadedModuleTest;

TEST_F(ModuleExportsTest, ExportsMexFunctionAlone) {
  EXPECT_EQ(standinModuleSymbol(&module(), "mexFunction"),
            reinterpret_cast<void*>(module().mexFunction));
  const char* internal[] = {
      "mdlInitializeSizes",
      "mdlDeclareSampleTimes",
      "mdlOutputs",
      "mdlShutdown",
      "varHitStub",
      "zeroCrossingsStub",
      "gatewaySetup",
      "dispatchFlag",
      "createStandaloneRecord",
      "ssGetInputPortSignal",
      "ssGetInputPortRealSignal",
      "ssSetInputPortDirectFeedThrough",
      "showFatalError",
      "ssWriteRTWNameValuePair",
      "ssWriteRTWParameters",
      "ssWriteRTWWorkVect",
      "SFcnTaskAo0",
      "SFcnTaskAo1",
      "ao0Value",
      "samplesWritten",
      "tasksHeld",
  };
  for (const char* name : internal) {
    EXPECT_EQ(standinModuleSymbol(&module(), name), nullptr) << name << " is exported";
  }
}

}  // namespace
}  // namespace e2e
