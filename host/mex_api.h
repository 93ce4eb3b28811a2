/* The host's MEX functions, and the one function the module exports. */
#pragma once

#include "host/calling_convention.h"
#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

int HOST_CALL mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[],
                            const char* functionName);
/* Reports the text as the call's error and ends the whole mexFunction call:
 * it never returns, and nothing between mexFunction and here is cleaned up. */
#ifdef __cplusplus
[[noreturn]]
#else
_Noreturn
#endif
void HOST_CALL
mexErrMsgTxt(const char* text);
void HOST_CALL mexWarnMsgTxt(const char* text);
/* Registers the function the host calls once when it unloads the calling
 * module (clearing it, or ending); a later registration by the same module
 * replaces the earlier one. Gives 0. */
typedef void(HOST_CALL* MexExitFunction)(void);
int HOST_CALL mexAtExit(MexExitFunction exitFunction);

/* The module's only export. */
void HOST_CALL mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

#ifdef __cplusplus
}
#endif
