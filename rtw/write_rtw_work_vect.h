/* Writes the element definitions of one work vector into the host's
 * code-generation record file and checks them against the registered
 * length. */
#ifndef TWINVOLTS_RTW_WRITE_RTW_WORK_VECT_H
#define TWINVOLTS_RTW_WRITE_RTW_WORK_VECT_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

#define WORK_VECT_ERROR_TEXT_SIZE 200

/* Receives the total-mismatch message; the error slot points into it, and
 * every mismatch, from any record, overwrites it. */
extern char workVectErrorText[WORK_VECT_ERROR_TEXT_SIZE];

/* vectName is "RWork", "IWork" or "PWork" (case-sensitive); nNames pairs
 * of (element name, width) follow (see sswrite_value_type.h for the widths
 * of the words). Writes
 *     Num<vectName>Defines  nNames               (typed scalar, int32)
 * and for each element
 *     <vectName>Define {
 *     Name  element name                         (text)
 *     Width  width                               (typed scalar, int32)
 *     StartIndex  sum of the widths before it    (typed scalar, int32)
 *     }
 * Widths are written as given, zero or negative ones too.
 *
 * Returns 1 when everything was written and the widths add up to the
 * registered rworkLength, iworkLength or pworkLength. Refuses with 0 and a
 * message an unknown vectName, nNames <= 0 and a record without the line and
 * name/value hooks, writing nothing; and a start index that would not fit
 * 32 bits, before that element. Any step that does not give exactly 1 ends
 * the call with its result. A total that differs from the registered length
 * gives 0 with the figures in workVectErrorText, after every element was
 * written. Nothing written is taken back. */
int32_t ssWriteRTWWorkVect(SFcnRecord* record, const char* vectName, int32_t nNames, ...);

#ifdef __cplusplus
}
#endif

#endif
