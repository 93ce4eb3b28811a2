/* Value types of the code-generation record writers, and the real/imaginary
 * pair that the pair codes point to.
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
#ifndef TWINVOLTS_RTW_SSWRITE_VALUE_TYPE_H
#define TWINVOLTS_RTW_SSWRITE_VALUE_TYPE_H

#ifdef __cplusplus
extern "C" {
#endif

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

#ifdef __cplusplus
}
#endif

#endif
