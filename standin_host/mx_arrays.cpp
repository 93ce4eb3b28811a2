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
#include "standin_host/host_arrays.h"
#include "standin_host/host_memory.h"

// One host block: this header, the text of a string array, a sparse array's
// indices, the imaginary data, then the real data, which end the block so
// that a read past them leaves it. An array made to the byte keeps each part
// of its data in a block of its own instead.
struct mxArray_tag {
  mxClassID classId;
  mxComplexity complexity;
  size_t m;
  size_t n;
  void* real;        // null when the array holds no data
  void* imag;        // null for a real array
  const char* text;  // what mxCreateString was given, else null
  // Sparse: the data hold the stored (non-zero) elements only, column by
  // column; stored element k is in row rows[k], and column j holds the
  // stored elements from columnStarts[j] up to columnStarts[j + 1].
  bool sparse;
  size_t* rows;
  size_t* columnStarts;
  bool toTheByte;  // real and imag are blocks of their own; a character takes one byte
};

namespace {

constexpr size_t kAlignment = 16;
// Sizes stay below this so that the layout sums cannot wrap.
constexpr size_t kLargestPart = SIZE_MAX / 4;

StandinArrayLayout hostLayout = STANDIN_ARRAYS_PACKED;

size_t alignUp(size_t bytes) {
  return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

bool multiply(size_t a, size_t b, size_t* product) {
  if (b != 0 && a > kLargestPart / b) return false;
  *product = a * b;
  return true;
}

// What an array is made of, before its bytes are counted.
struct ArrayPlan {
  mxClassID classId;
  size_t m;
  size_t n;
  bool complex;
  bool sparse;
  size_t stored;     // elements the data hold: m * n, or a sparse array's non-zeros
  const char* text;  // a string's text, else null
  bool toTheByte;
};

struct Layout {
  size_t textAt;
  size_t indexAt;
  size_t imagAt;
  size_t realAt;
  size_t total;
};

// blockDataBytes: what the block itself holds of each data part.
Layout planLayout(size_t blockDataBytes, bool hasImag, size_t textBytes, size_t indexBytes) {
  Layout layout;
  layout.textAt = alignUp(sizeof(mxArray_tag));
  layout.indexAt = alignUp(layout.textAt + textBytes);
  layout.imagAt = alignUp(layout.indexAt + indexBytes);
  layout.realAt = layout.imagAt + (hasImag ? alignUp(blockDataBytes) : 0);
  layout.total = layout.realAt + blockDataBytes;
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

size_t elementSizeOf(mxClassID classId, bool toTheByte) {
  return toTheByte && classId == mxCHAR_CLASS ? 1 : standinElementSize(classId);
}

// Each data part of an array made to the byte, in a block of exactly its
// bytes: even an empty array's data have an address, as some hosts give it.
bool allocateDataApart(mxArray* array, size_t dataBytes, bool madeByHost) {
  array->real = standinHostAllocate(dataBytes, false, madeByHost);
  if (array->complexity == mxCOMPLEX)
    array->imag = standinHostAllocate(dataBytes, false, madeByHost);
  return array->real != nullptr && (array->complexity != mxCOMPLEX || array->imag != nullptr);
}

void releaseArray(mxArray* array) {
  if (array->toTheByte) {
    if (array->real != nullptr) standinHostRelease(array->real);
    if (array->imag != nullptr) standinHostRelease(array->imag);
  }
  standinHostRelease(array);
}

mxArray* newArray(const char* caller, const ArrayPlan& plan, bool madeByHost) {
  const size_t m = plan.m;
  const size_t n = plan.n;
  if (plan.classId < mxUNKNOWN_CLASS || plan.classId > mxFUNCTION_CLASS) {
    return refuse(caller, m, n, "unknown class id");
  }
  const bool apart = plan.toTheByte && standinElementSize(plan.classId) != 0;
  size_t dataBytes = 0;
  size_t indexBytes = 0;
  const size_t textBytes = plan.text != nullptr ? std::strlen(plan.text) + 1 : 0;
  const size_t indexCount = plan.sparse ? plan.stored + n + 1 : 0;
  if (!multiply(plan.stored, elementSizeOf(plan.classId, apart), &dataBytes) ||
      plan.stored >= kLargestPart || (plan.sparse && n >= kLargestPart) ||
      !multiply(indexCount, sizeof(size_t), &indexBytes) || textBytes > kLargestPart) {
    return refuse(caller, m, n, "more bytes than the address space holds");
  }
  const Layout layout = planLayout(apart ? 0 : dataBytes, plan.complex, textBytes, indexBytes);
  char* block = static_cast<char*>(standinHostAllocate(layout.total, true, madeByHost));
  if (block == nullptr) return refuse(caller, m, n, "out of memory");

  mxArray* array = reinterpret_cast<mxArray*>(block);
  array->classId = plan.classId;
  array->complexity = plan.complex ? mxCOMPLEX : mxREAL;
  array->m = m;
  array->n = n;
  array->toTheByte = apart;
  if (apart && !allocateDataApart(array, dataBytes, madeByHost)) {
    releaseArray(array);
    return refuse(caller, m, n, "out of memory");
  }
  if (!apart && dataBytes > 0) {
    array->real = block + layout.realAt;
    if (plan.complex) array->imag = block + layout.imagAt;
  }
  if (plan.text != nullptr) {
    std::memcpy(block + layout.textAt, plan.text, textBytes);
    array->text = block + layout.textAt;
  }
  if (plan.sparse) {
    array->sparse = true;
    array->rows = reinterpret_cast<size_t*>(block + layout.indexAt);
    array->columnStarts = array->rows + plan.stored;
  }
  return array;
}

// A full array: its data hold every element. Arrays the host side makes
// follow its layout; the module's own are packed.
mxArray* newFullArray(const char* caller, mxClassID classId, size_t m, size_t n,
                      mxComplexity complexity, const char* text, bool madeByHost) {
  size_t elements = 0;
  if (!multiply(m, n, &elements)) {
    return refuse(caller, m, n, "more bytes than the address space holds");
  }
  const bool toTheByte = madeByHost && hostLayout == STANDIN_ARRAYS_TO_THE_BYTE;
  return newArray(caller, {classId, m, n, complexity != mxREAL, false, elements, text, toTheByte},
                  madeByHost);
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
// UTF-16 unit for char, or a byte when characters take one); visit gets a
// value of it, or nullptr for a class without data. The one place the
// stand-in says how wide an element is.
template <typename Visit>
auto visitElementType(mxClassID classId, Visit visit, bool oneByteCharacters = false) {
  switch (classId) {
    case mxDOUBLE_CLASS:
      return visit(double{});
    case mxSINGLE_CLASS:
      return visit(float{});
    case mxLOGICAL_CLASS:
      return visit(bool{});
    case mxCHAR_CLASS:
      return oneByteCharacters ? visit(uint8_t{}) : visit(char16_t{});
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

// Element `index` of one of the array's data parts set to value, in its class.
void storeConverted(const mxArray* array, void* part, size_t index, double value) {
  visitElementType(
      array->classId,
      [&](auto element) {
        using T = decltype(element);
        if constexpr (!std::is_same_v<T, std::nullptr_t>) {
          const T stored = converted<T>(value);
          std::memcpy(static_cast<char*>(part) + index * sizeof stored, &stored, sizeof stored);
        }
      },
      array->toTheByte);
}

bool isNonZero(const double* real, const double* imag, size_t k) {
  return real[k] != 0.0 || (imag != nullptr && imag[k] != 0.0);
}

// A sparse array's stored elements and their indices, from its full values.
void storeNonZeros(mxArray* array, const double* real, const double* imag) {
  size_t stored = 0;
  for (size_t j = 0; j < array->n; ++j) {
    array->columnStarts[j] = stored;
    for (size_t i = 0; i < array->m; ++i) {
      const size_t k = j * array->m + i;
      if (!isNonZero(real, imag, k)) continue;
      array->rows[stored] = i;
      storeConverted(array, array->real, stored, real[k]);
      if (imag != nullptr) storeConverted(array, array->imag, stored, imag[k]);
      ++stored;
    }
  }
  array->columnStarts[array->n] = stored;
}

// Stored element `from` of a sparse part, or element `from` of a full one,
// copied to element `to` of a full part; both of the source's width.
void copyElement(const mxArray* source, const void* from, size_t fromIndex, void* to,
                 size_t toIndex) {
  const size_t size = elementSizeOf(source->classId, source->toTheByte);
  std::memcpy(static_cast<char*>(to) + toIndex * size,
              static_cast<const char*>(from) + fromIndex * size, size);
}

void copyPart(const mxArray* source, const void* from, void* to) {
  if (from == nullptr || to == nullptr) return;
  if (!source->sparse) {
    std::memcpy(to, from,
                source->m * source->n * elementSizeOf(source->classId, source->toTheByte));
    return;
  }
  for (size_t j = 0; j < source->n; ++j) {
    for (size_t k = source->columnStarts[j]; k < source->columnStarts[j + 1]; ++k) {
      copyElement(source, from, k, to, j * source->m + source->rows[k]);
    }
  }
}

}  // namespace

void standinSetArrayLayout(StandinArrayLayout layout) {
  hostLayout = layout;
}

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
  return newFullArray("standinCreateArray", classId, m, n, complexity, nullptr, true);
}

mxArray* standinCreateScalar(mxClassID classId, double value) {
  mxArray* array = newFullArray("standinCreateScalar", classId, 1, 1, mxREAL, nullptr, true);
  if (array != nullptr && array->real != nullptr) storeConverted(array, array->real, 0, value);
  return array;
}

mxArray* standinCreateDoubles(size_t m, size_t n, const double* values) {
  mxArray* array =
      newFullArray("standinCreateDoubles", mxDOUBLE_CLASS, m, n, mxREAL, nullptr, true);
  if (array != nullptr && array->real != nullptr && values != nullptr) {
    std::memcpy(array->real, values, m * n * sizeof(double));
  }
  return array;
}

mxArray* standinCreateSparse(mxClassID classId, size_t m, size_t n, const double* real,
                             const double* imag) {
  const char* caller = "standinCreateSparse";
  if (classId != mxDOUBLE_CLASS && classId != mxLOGICAL_CLASS) {
    return refuse(caller, m, n, "a sparse array is double or logical");
  }
  if (classId == mxLOGICAL_CLASS && imag != nullptr) {
    return refuse(caller, m, n, "a logical array is real");
  }
  size_t elements = 0;
  if (!multiply(m, n, &elements) || (elements > 0 && real == nullptr)) {
    return refuse(caller, m, n, "its m * n values are not given");
  }
  size_t stored = 0;
  for (size_t k = 0; k < elements; ++k) stored += isNonZero(real, imag, k) ? 1 : 0;
  const bool toTheByte = hostLayout == STANDIN_ARRAYS_TO_THE_BYTE;
  mxArray* array =
      newArray(caller, {classId, m, n, imag != nullptr, true, stored, nullptr, toTheByte}, true);
  if (array != nullptr) storeNonZeros(array, real, imag);
  return array;
}

mxArray* standinFullArray(const mxArray* array) {
  const mxArray* source = liveArray(array, "standinFullArray");
  if (source == nullptr) return nullptr;
  size_t elements = 0;
  if (!multiply(source->m, source->n, &elements)) {
    return refuse("full", source->m, source->n, "more bytes than the address space holds");
  }
  // A temporary of the call, its elements as wide as the source's.
  const bool complex = source->complexity != mxREAL;
  mxArray* full = newArray("full",
                           {source->classId, source->m, source->n, complex, false, elements,
                            source->text, source->toTheByte},
                           false);
  if (full == nullptr) return nullptr;
  copyPart(source, source->real, full->real);
  copyPart(source, source->imag, full->imag);
  return full;
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

void standinHandOverArrayToCaller(mxArray* array) {
  standinHandOverToCaller(array);
  if (!standinIsHostArray(array) || !array->toTheByte) return;
  if (array->real != nullptr) standinHandOverToCaller(array->real);
  if (array->imag != nullptr) standinHandOverToCaller(array->imag);
}

void mxDestroyArray(mxArray* array) {
  if (array == nullptr) return;
  if (liveArray(array, "mxDestroyArray") != nullptr) releaseArray(array);
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

bool HOST_CALL mxIsSparse(const mxArray* array) {
  const mxArray* live = liveArray(array, "mxIsSparse");
  return live != nullptr && live->sparse;
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
  return newFullArray("mxCreateDoubleMatrix", mxDOUBLE_CLASS, m, n, complexity, nullptr, false);
}

mxArray* HOST_CALL mxCreateString(const char* text) {
  if (text == nullptr) {
    standinRecordBreach("mxCreateString called with a null text");
    return nullptr;
  }
  size_t length = std::strlen(text);
  mxArray* array = newFullArray("mxCreateString", mxCHAR_CLASS, 1, length, mxREAL, text, false);
  if (array == nullptr) return nullptr;
  uint16_t* characters = static_cast<uint16_t*>(array->real);
  for (size_t i = 0; i < length; ++i) characters[i] = static_cast<unsigned char>(text[i]);
  return array;
}
