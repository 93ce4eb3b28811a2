/* Stand-in host: calling the module as the host does, and what the module
 * told the host (errors, warnings, dialogs). */
#pragma once

#include <stdbool.h>
#include <stddef.h>

#include "host/mex_api.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void(HOST_CALL* MexFunctionPtr)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

/* Calls fn as the host does. Returns true when the call returned normally and
 * false when mexErrMsgTxt ended it (its text: standinLastError), as does a
 * host allocation that cannot be met. When the call ends, the host reclaims
 * what mxCalloc gave and the temporary arrays of the call, except arrays left
 * in plhs[0 .. max(nlhs, 1) - 1] of a set-up call (nlhs >= 0) that returned
 * normally, which the caller then owns (free with mxDestroyArray). After an
 * error those arrays are reclaimed too and their slots set to null. A method
 * call's slots (nlhs < 0) are never touched: slot 1 holds a record address. */
bool standinCallMexFunction(MexFunctionPtr fn, int nlhs, mxArray* plhs[], int nrhs,
                            const mxArray* prhs[]);
/* How mexErrMsgTxt (or a refused host allocation) ends a call: by a jump
 * back to standinCallMexFunction, at start, or by a C++ exception that
 * unwinds through the module's frames, as some hosts raise their errors.
 * False, and nothing changed, for a mode this build cannot do: on 32-bit
 * Windows no exception crosses into a module that has its own runtime. */
typedef enum StandinErrorUnwinding {
  STANDIN_ERRORS_JUMP = 0,
  STANDIN_ERRORS_THROW = 1
} StandinErrorUnwinding;
bool standinSetErrorUnwinding(StandinErrorUnwinding mode);

/* The host's side of mexAtExit. Runs and forgets the exit function that the
 * module file holding `moduleAddress` (any address in it, such as its
 * mexFunction) registered, as the host does when it unloads that module
 * (standinUnloadModule calls it); a null address runs every registered one,
 * as the host's end does (also run at process exit). Each runs as a call:
 * an error ends it alone. */
void standinRunExitFunctions(const void* moduleAddress);
/* Calls of mexAtExit since the process started. */
size_t standinExitRegistrationCount(void);

/* Text of the last mexErrMsgTxt, or "" when the last call ended normally. */
const char* standinLastError(void);

/* Warnings given to mexWarnMsgTxt, oldest first. Logged texts are copies,
 * valid until standinReset; an index past the end gives null. */
size_t standinWarningCount(void);
const char* standinWarning(size_t index);
/* Warnings and dialogs logged: one cheap look after every call. */
size_t standinMessageCount(void);

/* Dialogs requested through mexCallMATLAB("errordlg", message, title, mode). */
typedef struct StandinDialog {
  const char* message;
  const char* title;
  const char* mode;
} StandinDialog;
size_t standinDialogCount(void);
StandinDialog standinDialog(size_t index);

/* Things the module did that a host would not accept, in plain words
 * (for example mexCallMATLAB of an unknown function, or an array function
 * given something that is not a live array, which then gives 0 or null). */
size_t standinBreachCount(void);
const char* standinBreach(size_t index);

/* When on, warnings, dialogs, errors and breaches are also printed to stderr
 * for a user. Off at start. */
void standinSetEcho(bool on);

/* Forgets every log and reclaims every host allocation, arrays included
 * (not host records). Refused, as a breach, during a call. */
void standinReset(void);
/* Reclaims what mxCalloc gave and the temporaries made outside any call since
 * the last reclaim, as the end of a call does; for tests that call module
 * functions directly rather than through mexFunction. */
void standinReclaimCallMemory(void);
/* Bytes currently held by mxCalloc blocks and arrays. */
size_t standinBytesHeld(void);

#ifdef __cplusplus
}
#endif
