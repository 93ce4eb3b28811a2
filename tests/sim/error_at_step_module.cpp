// The twinvolts module with one change: at the step named by
// TWINVOLTS_TEST_ERROR_AT_STEP (counted from 1, read at set-up) it posts an
// error in the record's error slot after the block's own step, as a module
// that fails part-way does; with TWINVOLTS_TEST_ERROR_BEFORE_WRITES set, in
// place of that step, so neither channel is written. The real entry point is
// built under another name.
#include <cstdlib>

#include "gateway/gateway.h"
#include "host/mex_api.h"

#if defined(_WIN32)
#define TEST_EXPORT __declspec(dllexport)
#else
#define TEST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" void HOST_CALL twinvoltsMexFunction(int nlhs, mxArray* plhs[], int nrhs,
                                               const mxArray* prhs[]);

namespace {
long errorAtStep = 0;
bool beforeWrites = false;
long stepsSeen = 0;
constexpr int32_t kOutputsFlag = 104;
}  // namespace

extern "C" TEST_EXPORT void HOST_CALL mexFunction(int nlhs, mxArray* plhs[], int nrhs,
                                                  const mxArray* prhs[]) {
  if (nlhs >= 0) {
    const char* step = std::getenv("TWINVOLTS_TEST_ERROR_AT_STEP");
    errorAtStep = step != nullptr ? std::strtol(step, nullptr, 10) : 0;
    beforeWrites = std::getenv("TWINVOLTS_TEST_ERROR_BEFORE_WRITES") != nullptr;
    stepsSeen = 0;
  }
  const bool planted =
      nlhs < 0 && twinvolts::methodFlag(prhs[3]) == kOutputsFlag && ++stepsSeen == errorAtStep;
  if (!(planted && beforeWrites)) twinvoltsMexFunction(nlhs, plhs, nrhs, prhs);
  if (planted)
    twinvolts::postErrorMessage(reinterpret_cast<SFcnRecord*>(plhs[1]), "planted module error");
}
