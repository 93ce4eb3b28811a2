// Host arrays of any class, shape, complexity and content, made from fuzz
// input as the host would hand them to mexFunction.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "host/mx_array.h"

namespace fuzz {

// An array of an arbitrary class (every class id the host knows), up to 4 by
// 4, real or complex, its data bytes taken from the input.
mxArray* arbitraryArray(FuzzedDataProvider& data);

// A scalar of an arbitrary numeric class holding one of the values that
// border the integer rules (NaN, infinities, -0.0, 2^31, 2^63 ...), a value
// near a flag, or raw bits from the input.
mxArray* arbitraryNumber(FuzzedDataProvider& data);

// Any of the above, or a text, an empty array or a plain double.
mxArray* arbitraryArgument(FuzzedDataProvider& data);

// A sparse array, double (real or complex) or logical, up to 4 by 4, its
// elements zero or values as above: only the non-zero ones are stored.
mxArray* arbitrarySparse(FuzzedDataProvider& data);

// Element `index` of the array read at its own class, as an integer when it
// is one; false when there is no such element or it is not a whole number,
// and for a sparse array, whose data hold only its stored elements.
bool readWholeElement(const mxArray* array, size_t index, long long* value);

// Overwrites element `index` (which must exist) with value in the array's class.
void writeElement(mxArray* array, size_t index, double value);

}  // namespace fuzz
