#include "standin_host/call_scope.h"

#include <cstdio>
#include <string>

#include "standin_host/breach_log.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_memory.h"

namespace {

StandinCallFrame* innermostFrame = nullptr;
int depth = 0;

StandinErrorUnwinding unwinding = STANDIN_ERRORS_JUMP;

// A plain object rather than a function's static: every call clears it.
std::string lastErrorText;

std::string& lastError() {
  return lastErrorText;
}

}  // namespace

void standinCallEnter(StandinCallFrame* frame) {
  frame->outer = innermostFrame;
  innermostFrame = frame;
  ++depth;
  lastError().clear();
}

void standinCallLeave(StandinCallFrame* frame) {
  standinReclaimInnermostScope();
  innermostFrame = frame->outer;
  --depth;
}

int standinCallDepth(void) {
  return depth;
}

void standinFailCall(const char* text) {
  if (text == nullptr) text = "";
  if (innermostFrame == nullptr) {
    standinRecordBreach(text);
    return;
  }
  // Copied first: the text may live on the stack being left or in memory the
  // end of the call reclaims.
  lastError().assign(text);
  if (standinEchoOn()) std::fprintf(stderr, "Error: %s\n", lastError().c_str());
  if (unwinding == STANDIN_ERRORS_THROW) throw standin::CallEnded{};
  longjmp(innermostFrame->jump, 1);
}

bool standinSetErrorUnwinding(StandinErrorUnwinding mode) {
#if defined(_WIN32) && !defined(_WIN64)
  // Each DLL has its own runtime, and the 32-bit one unwinds only the frames
  // it registered itself: an exception cannot cross into the module. On
  // x86-64 the system unwinds every frame by its .pdata entry.
  if (mode == STANDIN_ERRORS_THROW) return false;
#endif
  if (mode != STANDIN_ERRORS_JUMP && mode != STANDIN_ERRORS_THROW) return false;
  unwinding = mode;
  return true;
}

void standinForgetLastError(void) {
  lastError().clear();
}

const char* standinLastError(void) {
  return lastError().c_str();
}
