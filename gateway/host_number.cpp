// Numbers in host arrays: the host hands the gateway its FLAG and its attach
// argument as arrays of any class, so each element is read at its class's
// own width and decoded by its kind, then held to the rule for doubles that
// carry an integer.
#include <cmath>
#include <cstring>

#include "gateway/gateway.h"

namespace twinvolts {
namespace {

enum class Kind : uint8_t { kNone, kFloating, kSigned, kUnsigned };

// How one class's elements are read: their size in bytes and how to decode them.
struct ClassReading {
  uint8_t size;
  Kind kind;
};

// Indexed by class id; the classes without numbers (cell, struct, void,
// function, unknown) read as nothing. Logical and char are unsigned.
constexpr ClassReading kClassReadings[] = {
    {0, Kind::kNone},     {0, Kind::kNone},     {0, Kind::kNone},  // unknown, cell, struct
    {1, Kind::kUnsigned}, {2, Kind::kUnsigned}, {0, Kind::kNone},  // logical, char, void
    {8, Kind::kFloating}, {4, Kind::kFloating},                    // double, single
    {1, Kind::kSigned},   {1, Kind::kUnsigned},                    // int8, uint8
    {2, Kind::kSigned},   {2, Kind::kUnsigned},                    // int16, uint16
    {4, Kind::kSigned},   {4, Kind::kUnsigned},                    // int32, uint32
    {8, Kind::kSigned},   {8, Kind::kUnsigned},                    // int64, uint64
    {0, Kind::kNone},                                              // function
};
static_assert(sizeof kClassReadings / sizeof kClassReadings[0] == mxFUNCTION_CLASS + 1,
              "one reading per class id");

// 2^63: the first magnitude an int64_t cannot hold.
constexpr double kInt64Limit = 9223372036854775808.0;

// One element, decoded; kept in registers within this file.
struct Number {
  Kind kind;
  double floating;  // when kFloating
  uint64_t bits;    // when kSigned (two's complement) or kUnsigned
};

template <typename T>
T load(const unsigned char* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

int64_t signedBits(uint64_t bits) {
  int64_t value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

Number decode(ClassReading reading, const unsigned char* bytes) {
  switch (reading.kind) {
    case Kind::kFloating:
      return {reading.kind, reading.size == 8 ? load<double>(bytes) : load<float>(bytes), 0};
    case Kind::kSigned: {
      int64_t value = reading.size == 8   ? load<int64_t>(bytes)
                      : reading.size == 4 ? load<int32_t>(bytes)
                      : reading.size == 2 ? load<int16_t>(bytes)
                                          : load<int8_t>(bytes);
      return {reading.kind, 0.0, static_cast<uint64_t>(value)};
    }
    case Kind::kUnsigned: {
      uint64_t value = reading.size == 8   ? load<uint64_t>(bytes)
                       : reading.size == 4 ? load<uint32_t>(bytes)
                       : reading.size == 2 ? load<uint16_t>(bytes)
                                           : load<uint8_t>(bytes);
      return {reading.kind, 0.0, value};
    }
    default:
      return {Kind::kNone, 0.0, 0};
  }
}

// Element `index` exists when index < rows * columns, tested without
// overflowing the product. Element 0 needs no host call: an array without
// elements has no data for mxGetPr to give, and the data is tested anyway.
bool hasElement(HostElement element) {
  if (element.index == 0) return true;
  const size_t rows = mxGetM(element.array);
  const size_t columns = mxGetN(element.array);
  if (rows == 0 || columns == 0) return false;
  return element.index < rows || element.index / columns < rows;
}

Number read(HostElement element) {
  const Number none = {Kind::kNone, 0.0, 0};
  const auto classId = static_cast<unsigned>(mxGetClassID(element.array));
  if (classId > mxFUNCTION_CLASS) return none;
  const ClassReading reading = kClassReadings[classId];
  if (reading.kind == Kind::kNone || !hasElement(element)) return none;
  const auto* data = reinterpret_cast<const unsigned char*>(mxGetPr(element.array));
  if (data == nullptr) return none;
  return decode(reading, data + element.index * reading.size);
}

int64_t toInt64(const Number& number) {
  switch (number.kind) {
    case Kind::kFloating:
      return truncateToInt64(number.floating);
    case Kind::kSigned:
      // INT64_MIN has the magnitude 2^63, which the rule for doubles refuses.
      return number.bits == (uint64_t{1} << 63) ? 0 : signedBits(number.bits);
    case Kind::kUnsigned:
      return number.bits >= (uint64_t{1} << 63) ? 0 : signedBits(number.bits);
    default:
      return 0;
  }
}

bool equals(const Number& number, int64_t value) {
  switch (number.kind) {
    case Kind::kFloating:
      return number.floating == static_cast<double>(value);  // false for NaN
    case Kind::kSigned:
      return signedBits(number.bits) == value;
    case Kind::kUnsigned:
      return value >= 0 && number.bits == static_cast<uint64_t>(value);
    default:
      return false;
  }
}

}  // namespace

int64_t truncateToInt64(double value) {
  // The comparison is false for NaN too, so every value that reaches the cast fits.
  if (!(std::fabs(value) < kInt64Limit)) return 0;
  return static_cast<int64_t>(value);
}

int32_t lowWord32(int64_t value) {
  const auto low = static_cast<uint32_t>(static_cast<uint64_t>(value));
  int32_t word;
  std::memcpy(&word, &low, sizeof word);
  return word;
}

int64_t elementToInt64(HostElement element) {
  return toInt64(read(element));
}

bool elementEquals(HostElement element, int64_t value) {
  return equals(read(element), value);
}

// Whole and within 32 bits exactly when the number equals its own low word.
bool elementToExactInt32(HostElement element, int32_t* result) {
  const Number number = read(element);
  const int32_t word = lowWord32(toInt64(number));
  if (!equals(number, word)) return false;
  *result = word;
  return true;
}

int32_t methodFlag(const mxArray* flag) {
  return lowWord32(toInt64(read({flag, 0})));
}

}  // namespace twinvolts
