#include "standin_host/rtw_value_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rtw/rtw_writers.h"
#include "services/services.h"

namespace {

// Where the elements of a value come from.
struct ElementSource {
  const void* real;
  const void* imag;  // null: imaginary parts follow each real part (or none)
  int32_t baseType;
  bool isComplex;
};

size_t elementSize(int32_t baseType) {
  switch (baseType) {
    case DATA_TYPE_DOUBLE:
      return 8;
    case DATA_TYPE_SINGLE:
    case DATA_TYPE_INT32:
    case DATA_TYPE_UINT32:
      return 4;
    case DATA_TYPE_INT16:
    case DATA_TYPE_UINT16:
      return 2;
    case DATA_TYPE_INT8:
    case DATA_TYPE_UINT8:
    case DATA_TYPE_BOOLEAN:
      return 1;
    default:
      return 0;
  }
}

// shortDigits when they read back to the same number, else longDigits.
std::string floatingText(double number, int shortDigits, int longDigits, bool isSingle) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*g", shortDigits, number);
  const double back = std::strtod(text, nullptr);
  const bool exact =
      isSingle ? static_cast<float>(back) == static_cast<float>(number) : back == number;
  if (!exact) std::snprintf(text, sizeof text, "%.*g", longDigits, number);
  return text;
}

template <typename T>
T load(const void* data, size_t index) {
  T element;
  std::memcpy(&element, static_cast<const unsigned char*>(data) + index * sizeof(T), sizeof(T));
  return element;
}

std::string numberText(const void* data, int32_t baseType, size_t index) {
  switch (baseType) {
    case DATA_TYPE_DOUBLE:
      return floatingText(load<double>(data, index), 15, 17, false);
    case DATA_TYPE_SINGLE:
      return floatingText(load<float>(data, index), 7, 9, true);
    case DATA_TYPE_INT8:
      return std::to_string(load<int8_t>(data, index));
    case DATA_TYPE_UINT8:
      return std::to_string(load<uint8_t>(data, index));
    case DATA_TYPE_INT16:
      return std::to_string(load<int16_t>(data, index));
    case DATA_TYPE_UINT16:
      return std::to_string(load<uint16_t>(data, index));
    case DATA_TYPE_INT32:
      return std::to_string(load<int32_t>(data, index));
    case DATA_TYPE_UINT32:
      return std::to_string(load<uint32_t>(data, index));
    default:  // DATA_TYPE_BOOLEAN
      return load<uint8_t>(data, index) != 0 ? "1" : "0";
  }
}

std::string elementText(const ElementSource& source, size_t index) {
  if (!source.isComplex) return numberText(source.real, source.baseType, index);
  std::string real, imag;
  if (source.imag != nullptr) {
    real = numberText(source.real, source.baseType, index);
    imag = numberText(source.imag, source.baseType, index);
  } else {
    real = numberText(source.real, source.baseType, 2 * index);
    imag = numberText(source.real, source.baseType, 2 * index + 1);
  }
  return real + (imag[0] == '-' ? "" : "+") + imag + "i";
}

std::string rowText(const ElementSource& source, int32_t row, int32_t nRows, int32_t nCols) {
  std::string text = "[";
  for (int32_t col = 0; col < nCols; ++col) {
    if (col > 0) text += ", ";
    text += elementText(source, static_cast<size_t>(col) * nRows + row);
  }
  return text + "]";
}

std::string vectorText(const ElementSource& source, int32_t count) {
  std::string text = "[";
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) text += ", ";
    text += elementText(source, static_cast<size_t>(i));
  }
  return text + "]";
}

// Column-major data, one bracketed row after another.
std::string matrixText(const ElementSource& source, int32_t nRows, int32_t nCols) {
  if (nRows == 0 || nCols == 0) return "[]";
  std::string text = "[";
  for (int32_t row = 0; row < nRows; ++row) {
    if (row > 0) text += "; ";
    text += rowText(source, row, nRows, nCols);
  }
  return text + "]";
}

std::string listText(const void* value, int32_t count) {
  const char* const* items = static_cast<const char* const*>(value);
  std::string text = "[";
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) text += ", ";
    text += standinRtwQuoted(items[i]);
  }
  return text + "]";
}

bool isPairCode(int32_t type) {
  return type == SSWRITE_VALUE_PAIR_VECTOR || type == SSWRITE_VALUE_PAIR_MATRIX;
}

std::string numericText(const StandinRtwValue& v) {
  const int32_t baseType = v.dataType & ~DATA_TYPE_COMPLEX_BIT;
  if (elementSize(baseType) == 0) return "<data type " + std::to_string(v.dataType) + ">";
  ElementSource source = {v.value, nullptr, baseType, (v.dataType & DATA_TYPE_COMPLEX_BIT) != 0};
  if (isPairCode(v.type)) {
    const RealImagPair* pair = static_cast<const RealImagPair*>(v.value);
    source.real = pair->realPart;
    source.imag = pair->imagPart;
    // A complex type without its imaginary part is shown as real data.
    if (source.imag == nullptr) source.isComplex = false;
  }
  if (source.real == nullptr) return v.nRows == 0 ? "[]" : "<null>";
  switch (v.type) {
    case SSWRITE_VALUE_SCALAR:
    case SSWRITE_VALUE_TYPED_SCALAR:
      return elementText(source, 0);
    case SSWRITE_VALUE_VECTOR:
    case SSWRITE_VALUE_TYPED_VECTOR:
    case SSWRITE_VALUE_PAIR_VECTOR:
      return vectorText(source, v.nRows);
    default:
      return matrixText(source, v.nRows, v.nCols);
  }
}

}  // namespace

std::string standinRtwQuoted(const char* text) {
  if (text == nullptr) return "<null>";
  std::string quoted = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') quoted += '\\';
    quoted += *c;
  }
  return quoted + "\"";
}

std::string standinRtwValueText(const StandinRtwValue& v) {
  if (v.type < SSWRITE_VALUE_ITEM || v.type > SSWRITE_VALUE_PAIR_MATRIX) {
    return "<value type " + std::to_string(v.type) + ">";
  }
  if (v.type == SSWRITE_VALUE_ITEM) {
    return v.value != nullptr ? static_cast<const char*>(v.value) : "<null>";
  }
  if (v.type == SSWRITE_VALUE_TEXT) return standinRtwQuoted(static_cast<const char*>(v.value));
  if (v.value == nullptr) return v.nRows == 0 ? "[]" : "<null>";
  if (v.type == SSWRITE_VALUE_LIST) return listText(v.value, v.nRows);
  return numericText(v);
}
