#include "gateway/sfcn_record.h"
#include "host/mex_api.h"

// The three strings are host temporaries; the host reclaims them when the
// current call ends.
extern "C" void showFatalError(SFcnRecord* /*record*/, const char* message) {
  mxArray* inputs[3] = {mxCreateString(message), mxCreateString("Fatal Error"),
                        mxCreateString("modal")};
  mexCallMATLAB(0, nullptr, 3, inputs, "errordlg");
}
