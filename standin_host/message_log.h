/* Stand-in host, inside libmex: forgetting the warnings and dialogs the
 * module gave. The logs themselves are read through standin_host/host_calls.h. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

void standinForgetMessages(void);

#ifdef __cplusplus
}
#endif
