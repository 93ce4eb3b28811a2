// Malformed set-up calls: FLAG and the attach argument of every class, shape,
// complexity and awkward value. Each call must end in the right message or a
// sizes vector; the sanitizer build checks that no element is read beyond its
// array or converted with undefined behaviour.
#include <cfloat>
#include <cmath>
#include <limits>

#include "gateway_fixture.h"

namespace {

using namespace gateway_test;

// A number as an array of some class holds it.
struct Value {
  enum Kind { kFloating, kSigned, kUnsigned } kind;
  double floating;
  int64_t signedValue;
  uint64_t unsignedValue;
};
Value floatingValue(double v) {
  return {Value::kFloating, v, 0, 0};
}
Value signedValue(int64_t v) {
  return {Value::kSigned, 0.0, v, 0};
}
Value unsignedValue(uint64_t v) {
  return {Value::kUnsigned, 0.0, 0, v};
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTwo31 = 2147483648.0;
constexpr double kTwo63 = 9223372036854775808.0;

bool isFloatingClass(mxClassID c) {
  return c == mxDOUBLE_CLASS || c == mxSINGLE_CLASS;
}
bool isSignedClass(mxClassID c) {
  return c == mxINT8_CLASS || c == mxINT16_CLASS || c == mxINT32_CLASS || c == mxINT64_CLASS;
}
bool isUnsignedClass(mxClassID c) {
  return c == mxUINT8_CLASS || c == mxUINT16_CLASS || c == mxUINT32_CLASS || c == mxUINT64_CLASS ||
         c == mxLOGICAL_CLASS || c == mxCHAR_CLASS;
}
bool isNumericClass(mxClassID c) {
  return c >= mxDOUBLE_CLASS && c <= mxUINT64_CLASS;
}
bool holdsNumbers(mxClassID c) {
  return isFloatingClass(c) || isSignedClass(c) || isUnsignedClass(c);
}

// Limits of the integer classes, from their element widths as the host has them.
int64_t signedMax(mxClassID c) {
  const size_t bits = 8 * standinElementSize(c);
  return bits == 64 ? INT64_MAX : (int64_t{1} << (bits - 1)) - 1;
}
int64_t signedMin(mxClassID c) {
  return -signedMax(c) - 1;
}
uint64_t unsignedMax(mxClassID c) {
  const size_t bits = 8 * standinElementSize(c);
  if (c == mxLOGICAL_CLASS) return 1;
  return bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
}

// Whether the class can hold the value exactly as given (or, for single, at all).
bool fits(mxClassID c, const Value& v) {
  switch (v.kind) {
    case Value::kFloating:
      if (c == mxDOUBLE_CLASS) return true;
      return c == mxSINGLE_CLASS && !(std::isfinite(v.floating) && std::fabs(v.floating) > FLT_MAX);
    case Value::kSigned:
      if (isSignedClass(c)) return v.signedValue >= signedMin(c) && v.signedValue <= signedMax(c);
      return isUnsignedClass(c) && v.signedValue >= 0 &&
             static_cast<uint64_t>(v.signedValue) <= unsignedMax(c);
    case Value::kUnsigned:
      if (isUnsignedClass(c)) return v.unsignedValue <= unsignedMax(c);
      return isSignedClass(c) && v.unsignedValue <= static_cast<uint64_t>(signedMax(c));
  }
  return false;
}

// What the array holds after storing v: single rounds.
Value stored(mxClassID c, const Value& v) {
  if (c == mxSINGLE_CLASS) return floatingValue(static_cast<float>(v.floating));
  return v;
}

int64_t asSigned(const Value& v) {
  return v.kind == Value::kSigned ? v.signedValue : static_cast<int64_t>(v.unsignedValue);
}
uint64_t asUnsigned(const Value& v) {
  return v.kind == Value::kUnsigned ? v.unsignedValue : static_cast<uint64_t>(v.signedValue);
}

// Element `index` of the class's data holds v: an integer class keeps the low
// bytes of its two's complement (every target is little-endian).
void store(void* data, size_t index, mxClassID c, const Value& v) {
  const size_t size = standinElementSize(c);
  unsigned char* element = static_cast<unsigned char*>(data) + index * size;
  if (c == mxDOUBLE_CLASS) {
    std::memcpy(element, &v.floating, size);
  } else if (c == mxSINGLE_CLASS) {
    const float single = static_cast<float>(v.floating);  // only values a single holds
    std::memcpy(element, &single, size);
  } else {
    const uint64_t bits = isSignedClass(c) ? static_cast<uint64_t>(asSigned(v)) : asUnsigned(v);
    std::memcpy(element, &bits, size);
  }
}

// An array whose element 0 holds first and every other element holds rest.
mxArray* makeArray(mxClassID c, size_t m, size_t n, mxComplexity complexity, const Value& first,
                   const Value& rest) {
  mxArray* array = standinCreateArray(c, m, n, complexity);
  if (array == nullptr || !holdsNumbers(c) || m * n == 0) return array;
  for (size_t i = 0; i < m * n; ++i) {
    store(standinRealData(array), i, c, i == 0 ? first : rest);
    if (standinImagData(array) != nullptr) store(standinImagData(array), i, c, rest);
  }
  return array;
}

// The oracle, written from the rules rather than from the gateway's code.
bool wholeInInt32(const Value& v) {
  switch (v.kind) {
    case Value::kFloating:
      return std::isfinite(v.floating) && std::trunc(v.floating) == v.floating &&
             v.floating >= -kTwo31 && v.floating < kTwo31;
    case Value::kSigned:
      return v.signedValue >= INT32_MIN && v.signedValue <= INT32_MAX;
    case Value::kUnsigned:
      return v.unsignedValue <= INT32_MAX;
  }
  return false;
}
bool isZero(const Value& v) {
  return v.kind == Value::kFloating
             ? v.floating == 0.0
             : (v.kind == Value::kSigned ? v.signedValue == 0 : v.unsignedValue == 0);
}
bool isStamp(const Value& v) {
  return v.kind == Value::kFloating
             ? v.floating == 5200229.0
             : (v.kind == Value::kSigned ? v.signedValue == 5200229 : v.unsignedValue == 5200229);
}

struct Shape {
  size_t m, n;
};
const Shape kShapes[] = {{0, 0}, {1, 1}, {1, 2}, {2, 1}, {3, 1}, {2, 2}, {2, 0}, {0, 1}, {1, 0}};

// Values in all three kinds; each class keeps those it can hold.
std::vector<Value> candidateValues() {
  std::vector<Value> values;
  for (double d : {0.0,          -0.0,    0.5,   -0.5,   1.0,       3.0,          -1.0,
                   std::nan(""), kInf,    -kInf, kTwo31, -kTwo31,   kTwo31 - 1.0, 4294967296.0,
                   kTwo63,       -kTwo63, 1e300, -1e300, 5200229.0, 5200229.5,    DBL_MIN / 4})
    values.push_back(floatingValue(d));
  for (int64_t s :
       {int64_t{0}, int64_t{1}, int64_t{-1}, int64_t{3}, int64_t{127}, int64_t{-128},
        int64_t{5200229}, int64_t{INT32_MAX}, int64_t{INT32_MIN}, int64_t{INT32_MAX} + 1,
        int64_t{INT32_MIN} - 1, INT64_MAX, INT64_MIN, (int64_t{1} << 32) + 5200229})
    values.push_back(signedValue(s));
  for (uint64_t u : {uint64_t{1} << 31, uint64_t{UINT32_MAX}, uint64_t{1} << 63, UINT64_MAX})
    values.push_back(unsignedValue(u));
  return values;
}

// What one set-up call is expected to do.
enum class Expect { kSizes, kFlagNotInteger, kInvalidFlag, kNullRecord, kDirect };

class BadInput : public GatewayTest {
 protected:
  void expectOutcome(const SetupOutcome& outcome, Expect expect) {
    switch (expect) {
      case Expect::kFlagNotInteger:
        EXPECT_EQ(outcome.error, expected::kFlagNotInteger);
        break;
      case Expect::kInvalidFlag:
        EXPECT_EQ(outcome.error, expected::kInvalidSetupFlag);
        break;
      case Expect::kNullRecord:
        EXPECT_EQ(outcome.error, expected::kNullRecord);
        break;
      case Expect::kSizes:
      case Expect::kDirect:
        ASSERT_TRUE(outcome.returned) << outcome.error;
        ASSERT_NE(outcome.sizes, nullptr);
        EXPECT_EQ(mxGetM(outcome.sizes), 38u);
        EXPECT_EQ(outcome.row(19), 5200229.0);
        mxDestroyArray(outcome.sizes);
        return;
    }
    EXPECT_FALSE(outcome.returned);
    EXPECT_EQ(outcome.sizes, nullptr);
  }
};

Expect expectedForFlag(mxClassID c, Shape shape, mxComplexity complexity, const Value& v) {
  if (shape.m != 1 || shape.n != 1 || complexity == mxCOMPLEX || !isNumericClass(c))
    return Expect::kFlagNotInteger;
  if (!wholeInInt32(v)) return Expect::kFlagNotInteger;
  return isZero(v) ? Expect::kSizes : Expect::kInvalidFlag;
}

TEST_F(BadInput, FlagOfEveryClassShapeAndValue) {
  const std::vector<Value> values = candidateValues();
  int calls = 0;
  for (int classId = mxUNKNOWN_CLASS; classId <= mxFUNCTION_CLASS; ++classId) {
    const auto c = static_cast<mxClassID>(classId);
    for (const Shape& shape : kShapes) {
      for (mxComplexity complexity : {mxREAL, mxCOMPLEX}) {
        if (complexity == mxCOMPLEX && !isNumericClass(c)) continue;  // no such array
        std::vector<Value> chosen;
        for (const Value& v : values)
          if (fits(c, v)) chosen.push_back(v);
        if (chosen.empty()) chosen.push_back(signedValue(0));  // classes without numbers
        for (const Value& v : chosen) {
          SCOPED_TRACE(testing::Message()
                       << "class " << classId << " " << shape.m << "x" << shape.n
                       << (complexity ? " complex" : "") << " value " << v.floating << "/"
                       << v.signedValue << "/" << v.unsignedValue);
          mxArray* flag = makeArray(c, shape.m, shape.n, complexity, v, v);
          ASSERT_NE(flag, nullptr);
          expectOutcome(callSetup(1, setupArgs(flag)),
                        expectedForFlag(c, shape, complexity, stored(c, v)));
          mxDestroyArray(flag);
          ++calls;
        }
      }
    }
  }
  EXPECT_GT(calls, 1000);
  EXPECT_EQ(standinBreachCount(), 0u);
}

// Element 0 of an attach argument: the record's address, or a value that
// converts to a null address.
struct AddressValue {
  Value value;
  bool isRecord;
};

std::vector<AddressValue> addressValues(mxClassID c, SFcnRecord* record) {
  const auto address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(record));
  std::vector<AddressValue> values;
  for (double d : {0.0, -0.0, 0.5, -0.9, std::nan(""), kInf, -kInf, kTwo63, -kTwo63, 1e300, -1e300})
    values.push_back({floatingValue(d), false});
  for (int64_t s : {int64_t{0}, INT64_MIN}) values.push_back({signedValue(s), false});
  for (uint64_t u : {uint64_t{1} << 63, UINT64_MAX}) values.push_back({unsignedValue(u), false});
  if (c == mxDOUBLE_CLASS) values.push_back({floatingValue(static_cast<double>(address)), true});
  if (c == mxINT64_CLASS || c == mxUINT64_CLASS ||
      (sizeof(void*) == 4 && (c == mxINT32_CLASS || c == mxUINT32_CLASS)))
    values.push_back({unsignedValue(address), true});

  std::vector<AddressValue> kept;
  for (const AddressValue& a : values) {
    // A 32-bit class holds the address's bits, stored through the unsigned word.
    const bool bitsOfAddress = a.isRecord && (c == mxINT32_CLASS || c == mxINT64_CLASS);
    if (bitsOfAddress || fits(c, a.value)) kept.push_back(a);
  }
  return kept;
}

Expect expectedForAttach(mxClassID c, Shape shape, const Value& element1, const AddressValue& a) {
  if (shape.m != 2 || shape.n == 0 || !holdsNumbers(c) || !isStamp(element1)) return Expect::kSizes;
  return a.isRecord ? Expect::kDirect : Expect::kNullRecord;
}

TEST_F(BadInput, AttachArgumentOfEveryClassShapeAndValue) {
  const std::vector<Value> values = candidateValues();
  int calls = 0;
  int direct = 0;
  for (int classId = mxUNKNOWN_CLASS; classId <= mxFUNCTION_CLASS; ++classId) {
    const auto c = static_cast<mxClassID>(classId);
    for (const Shape& shape : kShapes) {
      for (mxComplexity complexity : {mxREAL, mxCOMPLEX}) {
        if (complexity == mxCOMPLEX && !isNumericClass(c)) continue;
        std::vector<Value> chosen;
        for (const Value& v : values)
          if (fits(c, v)) chosen.push_back(v);
        if (chosen.empty()) chosen.push_back(signedValue(0));
        for (const Value& element1 : chosen) {
          SFcnRecord* record = standinNewHostRecord("twinvolts", "model/twinvolts");
          std::vector<AddressValue> firsts = addressValues(c, record);
          // Only a stamped argument makes element 0 matter; otherwise one is enough.
          if (!isStamp(stored(c, element1)) && !firsts.empty()) firsts.resize(1);
          if (firsts.empty()) firsts.push_back({signedValue(0), false});
          for (const AddressValue& first : firsts) {
            SCOPED_TRACE(testing::Message()
                         << "class " << classId << " " << shape.m << "x" << shape.n
                         << (complexity ? " complex" : "") << " element 1 " << element1.floating
                         << "/" << element1.signedValue << "/" << element1.unsignedValue
                         << (first.isRecord ? " record address" : " null address"));
            record->mdlInitializeSizes = nullptr;
            record->sizesBlock.versionStamp = 0;
            mxArray* attachArg = makeArray(c, shape.m, shape.n, complexity, first.value, element1);
            ASSERT_NE(attachArg, nullptr);
            const Expect expect = expectedForAttach(c, shape, stored(c, element1), first);
            expectOutcome(callSetup(1, setupArgs(doubleScalar(0.0), attachArg)), expect);
            // Only a direct-mode set-up writes to the host's record.
            EXPECT_EQ(record->mdlInitializeSizes != nullptr, expect == Expect::kDirect);
            EXPECT_EQ(record->sizesBlock.versionStamp, expect == Expect::kDirect ? 5200229 : 0);
            if (expect == Expect::kDirect) ++direct;
            mxDestroyArray(attachArg);
            ++calls;
          }
          standinFreeHostRecord(record);
        }
      }
    }
  }
  EXPECT_GT(calls, 1000);
  // double, int64 and uint64 (and the 32-bit integers on a 32-bit target),
  // real and complex, in the 2x1 and 2x2 shapes.
  EXPECT_GE(direct, 3 * 2 * 2);
  EXPECT_EQ(standinBreachCount(), 0u);
}

}  // namespace
