/* Writers of the host's code-generation record file (.rtw): lines,
 * validated name/value pairs, parameters, parameter settings and work-vector
 * definitions, written through hooks that the host supplies in HostInfo.
 * Every refusal returns 0 with a message in the root record's error slot.
 * Block code may be C, so this header is C as well as C++. */
#pragma once

#include <stdint.h>

#include "gateway/sfcn_record.h"
#include "services/services.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- Value types, and the real/imaginary pair that the pair codes point to ---
 *
 * Variadic argument words of every writer (ssWriteRTWNameValuePair,
 * ssWriteRTWParameters, ssWriteRTWParamSettings, ssWriteRTWWorkVect): on
 * 32-bit targets each word is 32 bits, as the host passes them. On 64-bit
 * targets the words widen by kind:
 *   - codes, data types, dimensions, counts and widths are read as int;
 *   - names, values, parts and paramInfo are read as pointers, so a null
 *     one must be passed as a null pointer (NULL cast to a pointer type, or
 *     nullptr), never as a plain 0, which is only int-wide;
 *   - the number of a code-3 setting is a double on every target. */

/* The writers check only the range of a code; the host's hooks tell the
 * codes apart and read the data behind the value. Passed as a signed 32-bit
 * word. */
typedef enum SSWRITE_VALUE_type {
  SSWRITE_VALUE_ITEM = 0,         /* one value */
  SSWRITE_VALUE_TEXT = 1,         /* one text */
  SSWRITE_VALUE_LIST = 2,         /* nRows items */
  SSWRITE_VALUE_SCALAR = 3,       /* one element */
  SSWRITE_VALUE_VECTOR = 4,       /* nRows elements */
  SSWRITE_VALUE_MATRIX = 5,       /* nRows x nCols elements */
  SSWRITE_VALUE_TYPED_SCALAR = 6, /* one element of dataType */
  SSWRITE_VALUE_TYPED_VECTOR = 7, /* nRows elements of dataType */
  SSWRITE_VALUE_TYPED_MATRIX = 8, /* nRows x nCols elements of dataType */
  SSWRITE_VALUE_PAIR_VECTOR = 9,  /* a RealImagPair of nRows elements */
  SSWRITE_VALUE_PAIR_MATRIX = 10  /* a RealImagPair of nRows x nCols elements */
} SSWRITE_VALUE_type;

/* Separate real and imaginary parts. imagPart may be null when the data
 * type lacks DATA_TYPE_COMPLEX_BIT. */
typedef struct RealImagPair {
  const void* realPart;
  const void* imagPart;
} RealImagPair;

/* --- One raw line --- */

/* Hands text, unexamined, to the host's line hook and returns the hook's
 * result. Without a line hook (a record the gateway created has none) it
 * refuses with 0 and a message in the error slot. */
int32_t ssWriteRTWLine(SFcnRecord* record, const char* text);

/* --- One validated name/value pair --- */

/* type is an SSWRITE_VALUE_type. The variadic words follow the code (see
 * the value types above for their widths):
 *   0, 1:     none
 *   2:        nRows
 *   3, 6:     dataType
 *   4, 7, 9:  dataType, nRows
 *   5, 8, 10: dataType, nRows, nCols
 * Unsupplied ones default to nRows 1, nCols 1, dataType 0. For codes 9 and
 * 10 value points to a RealImagPair. value itself is never read through; the
 * host's hook reads the data.
 *
 * Checks, first failure decides: code in 0..10 (before any variadic word is
 * read); non-empty name; non-negative dimensions, and for codes 5, 8, 10
 * both zero or both non-zero; unless nRows is 0, a non-null value (for pairs:
 * the pair and its real part, and its imaginary part when dataType has
 * DATA_TYPE_COMPLEX_BIT). A refusal returns 0 with a message in the error
 * slot, as does a record without a name/value hook. Otherwise returns the
 * hook's result, called with (type, name, value, dataType, nRows, nCols). */
int32_t ssWriteRTWNameValuePair(SFcnRecord* record, int32_t type, const char* name,
                                const void* value, ...);

/* Complex data given as separate real and imaginary parts:
 * ssWriteRTWNameValuePair with SSWRITE_VALUE_PAIR_VECTOR (dataType, nRows)
 * and the address of a RealImagPair of the two parts. The pair lives only
 * for the call: the host's hook must not keep its address. */
int32_t ssWriteRTWRealImagVect(SFcnRecord* record, const char* name, const void* realPart,
                               const void* imagPart, int32_t dataType, int32_t nRows);

/* The same with SSWRITE_VALUE_PAIR_MATRIX (dataType, nRows, nCols). */
int32_t ssWriteRTWRealImagMatrix(SFcnRecord* record, const char* name, const void* realPart,
                                 const void* imagPart, int32_t dataType, int32_t nRows,
                                 int32_t nCols);

/* --- A run of parameter records --- */

/* nParams entries follow, each: type, name, paramInfo, then by code (see
 * the value types above for the widths of the words):
 *   4:  data, n                             (nRows n, nCols 1, or 0 when n is 0)
 *   5:  data, nRows, nCols
 *   7:  data, n, dataType
 *   8:  data, nRows, nCols, dataType
 *   9:  realPart, imagPart, n, dataType     (data: a RealImagPair of the two)
 *   10: realPart, imagPart, nRows, nCols, dataType
 * dataType is 0 where the code supplies none; paramInfo goes to the hook
 * untouched. Every other code is refused, as are an empty name, null data
 * with rows, a negative dimension and exactly one zero dimension. Each entry
 * goes to the host's parameter hook with (type, name, paramInfo, data,
 * dataType, nRows, nCols).
 *
 * Returns 1 for nParams <= 0, else the last hook result. Stops at the first
 * refusal (0, message in the error slot) or hook result 0 (0, no message);
 * entries already written stay. A record without a parameter hook is
 * refused with a message, the hook not called. */
int32_t ssWriteRTWParameters(SFcnRecord* record, int32_t nParams, ...);

/* --- A block's parameter settings: "SFcnParamSettings {", one name/value
 * pair per setting, "}" --- */

/* nSettings settings follow, each: type, name, then by code (value first,
 * data type last; see the value types above for the widths of the words):
 *   0, 1:  value
 *   2:     value, count
 *   3:     number (a double, by value; written as data type 0)
 *   4:     value, count                      (data type 0)
 *   5:     value, nRows, nCols               (data type 0)
 *   6:     value, dataType
 *   7:     value, count, dataType
 *   8:     value, nRows, nCols, dataType
 *   9:     realPart, imagPart, count, dataType
 *   10:    realPart, imagPart, nRows, nCols, dataType
 * Each goes to ssWriteRTWNameValuePair, which takes the data type before
 * the dimensions, with its checks and messages.
 *
 * Returns 1 when everything was written. nSettings <= 0 returns 0, writing
 * nothing and leaving the error slot alone. A code outside 0..10 is refused
 * with 0 and a message; any other step that does not give exactly 1 ends the
 * call with its result, leaving what was written (no closing "}"). A record
 * without the line and name/value hooks is refused before anything is
 * written. */
int32_t ssWriteRTWParamSettings(SFcnRecord* record, int32_t nSettings, ...);

/* --- The element definitions of one work vector, checked against the
 * registered length --- */

#define WORK_VECT_ERROR_TEXT_SIZE 200

/* Receives the total-mismatch message; the error slot points into it, and
 * every mismatch, from any record, overwrites it. */
extern char workVectErrorText[WORK_VECT_ERROR_TEXT_SIZE];

/* vectName is "RWork", "IWork" or "PWork" (case-sensitive); nNames pairs
 * of (element name, width) follow (see the value types above for the widths
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
