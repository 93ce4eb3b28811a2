#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/mex_api.h"
#include "standin_host/breach_log.h"
#include "standin_host/call_scope.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_memory.h"
#include "standin_host/message_log.h"

namespace {

// Result slots of a set-up call. In a method call slot 1 holds the record's
// address, so no slot of it is ever read as an array.
size_t resultSlots(int nlhs, mxArray* plhs[]) {
  if (nlhs < 0 || plhs == nullptr) return 0;
  return static_cast<size_t>(std::max(nlhs, 1));
}

// A set-up call's results go to the caller when it returned; a failed call
// gives none. Out of line, so a method call's frame stays small.
[[gnu::noinline]] void settleResults(bool returned, int nlhs, mxArray* plhs[]) {
  for (size_t i = 0; i < resultSlots(nlhs, plhs); ++i) {
    if (returned) {
      standinHandOverArrayToCaller(plhs[i]);
    } else if (standinIsCallTemporary(plhs[i])) {
      plhs[i] = nullptr;  // reclaimed by the end of the call
    }
  }
}

bool endCall(StandinCallFrame* frame, bool returned, int nlhs, mxArray* plhs[]) {
  if (nlhs >= 0) settleResults(returned, nlhs, plhs);
  standinCallLeave(frame);
  return returned;
}

}  // namespace

bool standinCallMexFunction(MexFunctionPtr fn, int nlhs, mxArray* plhs[], int nrhs,
                            const mxArray* prhs[]) {
  if (fn == nullptr) {
    standinRecordBreach("standinCallMexFunction called without a function");
    return false;
  }
  StandinCallFrame frame;
  standinCallEnter(&frame);
  // In this frame, not a helper's: one frame fewer on every step. Nothing
  // here is changed after setjmp, so nothing needs to be volatile. An error
  // thrown rather than jumped to lands in the catch; nothing with a
  // destructor lives between here and the jump, so the two ways can share
  // the frame. On 32-bit Windows errors are always jumps
  // (standinSetErrorUnwinding), and its runtime may pay for a try block on
  // every call.
  if (setjmp(frame.jump) == 0) {
#if defined(_WIN32) && !defined(_WIN64)
    fn(nlhs, plhs, nrhs, prhs);
#else
    try {
      fn(nlhs, plhs, nrhs, prhs);
    } catch (const standin::CallEnded&) {
      return endCall(&frame, false, nlhs, plhs);
    }
#endif
    return endCall(&frame, true, nlhs, plhs);
  }
  return endCall(&frame, false, nlhs, plhs);
}

void HOST_CALL mexErrMsgTxt(const char* text) {
  if (standinCallDepth() > 0) standinFailCall(text);
  // No call to end: the module raised an error where a host never expects one.
  std::string breach =
      std::string("mexErrMsgTxt called outside a mexFunction call: ") + (text ? text : "");
  standinRecordBreach(breach.c_str());
  std::fprintf(stderr, "Host: %s\n", breach.c_str());
  std::abort();
}

void standinReset(void) {
  if (standinCallDepth() > 0) {
    standinRecordBreach("standinReset called during a mexFunction call; nothing was reset");
    return;
  }
  standinForgetMessages();
  standinForgetBreaches();
  standinForgetLastError();
  standinReleaseAllHostMemory();
}
