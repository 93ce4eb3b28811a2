/* Stand-in host, inside libmx: the breach log and the echo switch, shared by
 * both host libraries. The public side is in standin_host/host_calls.h. */
#pragma once

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Keeps a copy of text, printed to stderr when echo is on. */
void standinRecordBreach(const char* text);
void standinForgetBreaches(void);
bool standinEchoOn(void);

#ifdef __cplusplus
}
#endif
