#include "standin_host/host_arrays.h"

#include <stdint.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "host/mx_array.h"
#include "standin_host/breach_log.h"
#include "standin_host/call_scope.h"
#include "standin_host/host_memory.h"

// One host block: this header, the text of a string array, the imaginary
// data, then the real data, which end the block so that a read past them
// leaves it.
struct mxArray_tag {
  mxClassID classId;
  mxComplexity complexity;
  size_t m;
  size_t n;
  void* real;        // null when the array holds no data
  void* imag;        // null for a real array
  const char* text;  // what mxCreateString was given, else null
};

namespace {

constexpr size_t kAlignment = 16;
// Sizes stay below this so that the layout sums cannot wrap.
constexpr size_t kLargestPart = SIZE_MAX / 4;

size_t alignUp(size_t bytes) {
  return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

bool multiply(size_t a, size_t b, size_t* product) {
  if (b != 0 && a > kLargestPart / b) return false;
  *product = a * b;
  return true;
}

struct Layout {
  size_t textAt;
  size_t imagAt;
  size_t realAt;
  size_t total;
};

Layout planLayout(size_t dataBytes, bool hasImag, size_t textBytes) {
  Layout layout;
  layout.textAt = alignUp(sizeof(mxArray_tag));
  layout.imagAt = alignUp(layout.textAt + textBytes);
  layout.realAt = layout.imagAt + (hasImag ? alignUp(dataBytes) : 0);
  layout.total = layout.realAt + dataBytes;
  return layout;
}

// Ends the call as a real host does when it cannot make an array. The text is
// static: the jump out of this frame must skip no destructor.
mxArray* refuse(const char* caller, size_t m, size_t n, const char* problem) {
  static std::string text;
  text = std::string(caller) + " cannot make a " + std::to_string(m) + "-by-" + std::to_string(n) +
         " array: " + problem;
  standinFailCall(text.c_str());
  return nullptr;
}

mxArray* newArray(const char* caller, mxClassID classId, size_t m, size_t n,
                  mxComplexity complexity, const char* text, bool madeByHost) {
  if (classId < mxUNKNOWN_CLASS || classId > mxFUNCTION_CLASS) {
    return refuse(caller, m, n, "unknown class id");
  }
  size_t elements = 0;
  size_t dataBytes = 0;
  size_t textBytes = text != nullptr ? std::strlen(text) + 1 : 0;
  if (!multiply(m, n, &elements) || !multiply(elements, standinElementSize(classId), &dataBytes) ||
      textBytes > kLargestPart) {
    return refuse(caller, m, n, "more bytes than the address space holds");
  }
  bool complex = complexity != mxREAL;
  Layout layout = planLayout(dataBytes, complex, textBytes);
  char* block = static_cast<char*>(standinHostAllocate(layout.total, true, madeByHost));
  if (block == nullptr) return refuse(caller, m, n, "out of memory");

  mxArray* array = reinterpret_cast<mxArray*>(block);
  array->classId = classId;
  array->complexity = complex ? mxCOMPLEX : mxREAL;
  array->m = m;
  array->n = n;
  if (dataBytes > 0) {
    array->real = block + layout.realAt;
    if (complex) array->imag = block + layout.imagAt;
  }
  if (text != nullptr) {
    std::memcpy(block + layout.textAt, text, textBytes);
    array->text = block + layout.textAt;
  }
  return array;
}

// The array, or null with a breach for anything that is not a live array.
const mxArray* liveArray(const mxArray* array, const char* caller) {
  if (standinIsHostArray(array)) return array;
  std::string text =
      std::string(caller) + (array == nullptr ? " called with a null array"
                                              : " called with an address that is not a live array");
  standinRecordBreach(text.c_str());
  return nullptr;
}

// Rounded to nearest and saturated, NaN as 0, as the host converts to integers.
template <typename T>
T toInteger(double value) {
  using Limits = std::numeric_limits<T>;
  if (std::isnan(value)) return 0;
  double rounded = std::round(value);
  if (rounded <= static_cast<double>(Limits::min())) return Limits::min();
  if (rounded >= static_cast<double>(Limits::max())) return Limits::max();
  return static_cast<T>(rounded);
}

float toSingle(double value) {
  if (std::isfinite(value) && std::fabs(value) > FLT_MAX) {
    float infinity = std::numeric_limits<float>::infinity();
    return value > 0 ? infinity : -infinity;
  }
  return static_cast<float>(value);
}

// The C type each class keeps its elements in (a byte 0 or 1 for logical, a
// UTF-16 unit for char); visit gets a value of it, or nullptr for a class
// without data. The one place the stand-in says how wide an element is.
template <typename Visit>
auto visitElementType(mxClassID classId, Visit visit) {
  switch (classId) {
    case mxDOUBLE_CLASS:
      return visit(double{});
    case mxSINGLE_CLASS:
      return visit(float{});
    case mxLOGICAL_CLASS:
      return visit(bool{});
    case mxCHAR_CLASS:
      return visit(char16_t{});
    case mxINT8_CLASS:
      return visit(int8_t{});
    case mxUINT8_CLASS:
      return visit(uint8_t{});
    case mxINT16_CLASS:
      return visit(int16_t{});
    case mxUINT16_CLASS:
      return visit(uint16_t{});
    case mxINT32_CLASS:
      return visit(int32_t{});
    case mxUINT32_CLASS:
      return visit(uint32_t{});
    case mxINT64_CLASS:
      return visit(int64_t{});
    case mxUINT64_CLASS:
      return visit(uint64_t{});
    default:
      return visit(nullptr);
  }
}
static_assert(sizeof(bool) == 1 && sizeof(char16_t) == 2, "logical and char elements' widths");

// value as an element of type T holds it.
template <typename T>
T converted(double value) {
  if constexpr (std::is_same_v<T, double>) {
    return value;
  } else if constexpr (std::is_same_v<T, float>) {
    return toSingle(value);
  } else if constexpr (std::is_same_v<T, bool>) {
    return value != 0.0;
  } else if constexpr (std::is_same_v<T, char16_t>) {
    return static_cast<char16_t>(toInteger<uint16_t>(value));
  } else {
    return toInteger<T>(value);
  }
}

void storeConverted(mxClassID classId, double value, void* data) {
  visitElementType(classId, [&](auto element) {
    using T = decltype(element);
    if constexpr (!std::is_same_v<T, std::nullptr_t>) {
      const T stored = converted<T>(value);
      std::memcpy(data, &stored, sizeof stored);
    }
  });
}

}  // namespace

size_t standinElementSize(mxClassID classId) {
  return visitElementType(classId, [](auto element) -> size_t {
    if constexpr (std::is_same_v<decltype(element), std::nullptr_t>) {
      return 0;
    } else {
      return sizeof element;
    }
  });
}

mxArray* standinCreateArray(mxClassID classId, size_t m, size_t n, mxComplexity complexity) {
  return newArray("standinCreateArray", classId, m, n, complexity, nullptr, true);
}

mxArray* standinCreateScalar(mxClassID classId, double value) {
  mxArray* array = newArray("standinCreateScalar", classId, 1, 1, mxREAL, nullptr, true);
  if (array != nullptr && array->real != nullptr) storeConverted(classId, value, array->real);
  return array;
}

mxArray* standinCreateDoubles(size_t m, size_t n, const double* values) {
  mxArray* array = newArray("standinCreateDoubles", mxDOUBLE_CLASS, m, n, mxREAL, nullptr, true);
  if (array != nullptr && array->real != nullptr && values != nullptr) {
    std::memcpy(array->real, values, m * n * sizeof(double));
  }
  return array;
}

void* standinRealData(const mxArray* array) {
  const mxArray* live = liveArray(array, "standinRealData");
  return live != nullptr ? live->real : nullptr;
}

void* standinImagData(const mxArray* array) {
  const mxArray* live = liveArray(array, "standinImagData");
  return live != nullptr ? live->imag : nullptr;
}

const char* standinStringText(const mxArray* array) {
  const mxArray* live = liveArray(array, "standinStringText");
  return live != nullptr ? live->text : nullptr;
}

void mxDestroyArray(mxArray* array) {
  if (array == nullptr) return;
  if (liveArray(array, "mxDestroyArray") != nullptr) standinHostRelease(array);
}

size_t HOST_CALL mxGetM(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxGetM");
  return live != nullptr ? live->m : 0;
}

size_t HOST_CALL mxGetN(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxGetN");
  return live != nullptr ? live->n : 0;
}

bool HOST_CALL mxIsComplex(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxIsComplex");
  return live != nullptr && live->complexity == mxCOMPLEX;
}

bool HOST_CALL mxIsNumeric(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxIsNumeric");
  return live != nullptr && live->classId >= mxDOUBLE_CLASS && live->classId <= mxUINT64_CLASS;
}

double* HOST_CALL mxGetPr(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxGetPr");
  return live != nullptr ? static_cast<double*>(live->real) : nullptr;
}

mxClassID HOST_CALL mxGetClassID(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxGetClassID");
  return live != nullptr ? live->classId : mxUNKNOWN_CLASS;
}

mxArray* HOST_CALL mxCreateDoubleMatrix(size_t m, size_t n, mxComplexity complexity) {
  return newArray("mxCreateDoubleMatrix", mxDOUBLE_CLASS, m, n, complexity, nullptr, false);
}

mxArray* HOST_CALL mxCreateString(const char* text) {
  if (text == nullptr) {
    standinRecordBreach("mxCreateString called with a null text");
    return nullptr;
  }
  size_t length = std::strlen(text);
  mxArray* array = newArray("mxCreateString", mxCHAR_CLASS, 1, length, mxREAL, text, false);
  if (array == nullptr) return nullptr;
  uint16_t* characters = static_cast<uint16_t*>(array->real);
  for (size_t i = 0; i < length; ++i) characters[i] = static_cast<unsigned char>(text[i]);
  return array;
}
