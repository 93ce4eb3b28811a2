// The module's only export. A left-hand count of 0 or more is a set-up call;
// a negative one is a method call whose flag names the method.
#include "gateway/double_conversion.h"
#include "gateway/gateway.h"
#include "gateway/host_number.h"
#include "host/mex_api.h"

#if defined(_WIN32)
#define SFCN_EXPORT __declspec(dllexport)
#else
#define SFCN_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// The flag as an integer: read by the array's class, truncated like any
// integer-carrying double, low 32 bits. Beyond that the host vouches for it.
int32_t methodFlag(const mxArray* flag) {
  return lowWord32(hostNumberToInt64(readHostElement(flag, 0)));
}

}  // namespace

extern "C" SFCN_EXPORT void HOST_CALL mexFunction(int nlhs, mxArray* plhs[], int nrhs,
                                                  const mxArray* prhs[]) {
  if (nlhs >= 0) {
    gatewaySetup(nlhs, plhs, nrhs, prhs);
    return;
  }
  const int32_t flag = methodFlag(prhs[3]);
  // In a method call the host leaves the record's address itself in slot 2.
  auto* record = reinterpret_cast<SFcnRecord*>(plhs[1]);
  dispatchFlag(record, flag);
}
