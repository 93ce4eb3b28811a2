/* Stand-in host, inside libmex: forgetting the warnings and dialogs the
 * module gave. The logs themselves are read through standin_host/host_calls.h. */
#ifndef TWINVOLTS_STANDIN_HOST_MESSAGE_LOG_H
#define TWINVOLTS_STANDIN_HOST_MESSAGE_LOG_H

#ifdef __cplusplus
extern "C" {
#endif

void standinForgetMessages(void);

#ifdef __cplusplus
}
#endif

#endif
