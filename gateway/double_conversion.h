/* How the gateway turns a double that carries an integer (a FLAG, a record
 * address) into an integer, without the undefined behaviour of a plain cast
 * of NaN, an infinity or an out-of-range value. */
#ifndef TWINVOLTS_GATEWAY_DOUBLE_CONVERSION_H
#define TWINVOLTS_GATEWAY_DOUBLE_CONVERSION_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Truncation toward zero; NaN, infinities and magnitudes of 2^63 or more give 0. */
int64_t truncateToInt64(double value);
/* The low 32 bits of a 64-bit integer, as a signed word. */
int32_t lowWord32(int64_t value);

#ifdef __cplusplus
}
#endif

#endif
