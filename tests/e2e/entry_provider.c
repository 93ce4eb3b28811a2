/* A library that exports a mexFunction, so that a file depending on it can
 * show that an entry point found in a dependency does not count. */
#include "host/mex_api.h"

int e2eEntryProviderMarker(void);

int e2eEntryProviderMarker(void) {
  return 7;
}

void HOST_CALL mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  (void)nlhs;
  (void)plhs;
  (void)nrhs;
  (void)prhs;
}
