/* Stand-in host: how the record file spells a value that a writer hook
 * received, by value-type code and data type. */
#pragma once

#include <stdint.h>

#include <string>

// The value as the hooks receive it: code, data, data type and dimensions.
struct StandinRtwValue {
  int32_t type;
  const void* value;
  int32_t dataType;
  int32_t nRows;
  int32_t nCols;
};

// Codes 0 and 1: the text bare or quoted; code 2: a list of nRows texts;
// scalars: one element; vectors: [a, b]; matrices: [[row]; [row]] from
// column-major data; pair codes: from a RealImagPair. Complex elements read
// 1.5+2i (interleaved pairs for the non-pair codes). Data types without a
// known element size are named rather than read.
std::string standinRtwValueText(const StandinRtwValue& value);

// A quoted text with its quotes and backslashes escaped.
std::string standinRtwQuoted(const char* text);
