/* Stand-in host, inside libmx: the mexFunction calls in progress, and how an
 * error ends one. Shared with libmex only. */
#pragma once

#include <setjmp.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Lives in the frame of the code that makes the call; `jump` is set there. */
typedef struct StandinCallFrame {
  jmp_buf jump;
  struct StandinCallFrame* outer;
} StandinCallFrame;

/* Starts a call: clears the last error. */
void standinCallEnter(StandinCallFrame* frame);
/* Ends the innermost call and reclaims what still belongs to it. */
void standinCallLeave(StandinCallFrame* frame);
/* 0 outside every call. */
int standinCallDepth(void);

/* Ends the innermost call with a copy of text as its error, by a jump to its
 * frame or, when errors are thrown, by a StandinCallEnded exception that the
 * frame's owner catches. Outside a call there is nothing to end: it records
 * text as a breach and returns. */
void standinFailCall(const char* text);
void standinForgetLastError(void);

#ifdef __cplusplus
}

namespace standin {
// What a thrown error carries: nothing, the text is standinLastError.
struct CallEnded {};
}  // namespace standin
#endif
