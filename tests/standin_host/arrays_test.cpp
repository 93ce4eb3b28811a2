#include <gtest/gtest.h>

#include <stdint.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "host/mx_array.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

namespace {

using ArraysTest = FreshHostTest;

struct ClassCase {
  mxClassID classId;
  size_t elementSize;
  bool numeric;
};

const ClassCase kClasses[] = {
    {mxUNKNOWN_CLASS, 0, false}, {mxCELL_CLASS, 0, false},     {mxSTRUCT_CLASS, 0, false},
    {mxLOGICAL_CLASS, 1, false}, {mxCHAR_CLASS, 2, false},     {mxVOID_CLASS, 0, false},
    {mxDOUBLE_CLASS, 8, true},   {mxSINGLE_CLASS, 4, true},    {mxINT8_CLASS, 1, true},
    {mxUINT8_CLASS, 1, true},    {mxINT16_CLASS, 2, true},     {mxUINT16_CLASS, 2, true},
    {mxINT32_CLASS, 4, true},    {mxUINT32_CLASS, 4, true},    {mxINT64_CLASS, 8, true},
    {mxUINT64_CLASS, 8, true},   {mxFUNCTION_CLASS, 0, false},
};

TEST_F(ArraysTest, EveryClassHasItsElementSizeShapeAndZeroData) {
  for (const ClassCase& c : kClasses) {
    SCOPED_TRACE("class " + std::to_string(c.classId));
    for (mxComplexity complexity : {mxREAL, mxCOMPLEX}) {
      size_t before = standinBytesHeld();
      mxArray* array = standinCreateArray(c.classId, 3, 2, complexity);
      ASSERT_NE(array, nullptr);
      EXPECT_EQ(standinElementSize(c.classId), c.elementSize);
      EXPECT_EQ(mxGetClassID(array), c.classId);
      EXPECT_EQ(mxGetM(array), 3u);
      EXPECT_EQ(mxGetN(array), 2u);
      EXPECT_EQ(mxIsNumeric(array), c.numeric);
      EXPECT_EQ(mxIsComplex(array), complexity == mxCOMPLEX);
      EXPECT_GE(standinBytesHeld() - before, 6 * c.elementSize * (complexity == mxCOMPLEX ? 2 : 1));
      // mxGetPr gives the first real element whatever the class.
      EXPECT_EQ(static_cast<void*>(mxGetPr(array)), standinRealData(array));
      unsigned char* real = static_cast<unsigned char*>(standinRealData(array));
      unsigned char* imag = static_cast<unsigned char*>(standinImagData(array));
      if (c.elementSize == 0) {
        EXPECT_EQ(real, nullptr);
        EXPECT_EQ(imag, nullptr);
      } else {
        ASSERT_NE(real, nullptr);
        EXPECT_EQ(imag != nullptr, complexity == mxCOMPLEX);
        size_t bytes = 6 * c.elementSize;
        for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(real[i], 0) << "real byte " << i;
        if (imag != nullptr) {
          for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(imag[i], 0) << "imag byte " << i;
          // Parts must not overlap: writing all of one leaves the other zero.
          std::memset(imag, 0xFF, bytes);
          for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(real[i], 0) << "real byte " << i;
        }
        std::memset(real, 0xFF, bytes);  // the whole part is writable
      }
      mxDestroyArray(array);
      EXPECT_EQ(standinBytesHeld(), before);
    }
  }
  EXPECT_EQ(standinBreachCount(), 0u);
}

TEST_F(ArraysTest, DoubleDataAreAlignedForEveryElementType) {
  mxArray* text = mxCreateString("odd length");
  mxArray* complex = mxCreateDoubleMatrix(3, 1, mxCOMPLEX);
  for (mxArray* array : {text, complex}) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(standinRealData(array)) % alignof(double), 0u);
  }
  EXPECT_EQ(reinterpret_cast<uintptr_t>(standinImagData(complex)) % alignof(double), 0u);
}

TEST_F(ArraysTest, EmptyArraysHaveNoData) {
  mxArray* empty = mxCreateDoubleMatrix(0, 0, mxREAL);
  mxArray* noColumns = standinCreateArray(mxINT8_CLASS, 4, 0, mxREAL);
  mxArray* noRows = standinCreateArray(mxDOUBLE_CLASS, 0, SIZE_MAX, mxREAL);  // nothing to hold
  ASSERT_NE(noRows, nullptr);
  EXPECT_EQ(mxGetN(noRows), SIZE_MAX);
  EXPECT_EQ(mxGetPr(empty), nullptr);
  EXPECT_EQ(mxGetPr(noColumns), nullptr);
  EXPECT_EQ(mxGetM(noColumns), 4u);
  EXPECT_EQ(mxGetN(noColumns), 0u);
}

TEST_F(ArraysTest, ScalarsHoldTheValueConvertedToTheirClass) {
  const int8_t int8Max = 127, int8Min = -128, int8Three = 3, int8MinusThree = -3;
  const uint8_t uint8Max = 255, uint8Zero = 0, logicalTrue = 1;
  const int16_t int16Min = -32768;
  const uint16_t charA = 65;
  const int32_t int32Half = 3;  // 2.5 rounds away from zero
  const uint32_t uint32Max = 4294967295u;
  const int64_t int64Max = std::numeric_limits<int64_t>::max();
  const uint64_t uint64Big = uint64_t{1} << 63;
  const int32_t int32Zero = 0;
  const float single = 1.5f;
  const float singleInfinity = std::numeric_limits<float>::infinity();
  const double exact = 5200229.0;
  const struct {
    mxClassID classId;
    double value;
    const void* expected;
    size_t bytes;
  } cases[] = {
      {mxDOUBLE_CLASS, 5200229.0, &exact, 8},
      {mxSINGLE_CLASS, 1.5, &single, 4},
      {mxSINGLE_CLASS, 1e300, &singleInfinity, 4},
      {mxINT8_CLASS, 1000.0, &int8Max, 1},
      {mxINT8_CLASS, -1000.0, &int8Min, 1},
      {mxINT8_CLASS, 2.6, &int8Three, 1},
      {mxINT8_CLASS, -2.6, &int8MinusThree, 1},
      {mxUINT8_CLASS, 300.0, &uint8Max, 1},
      {mxUINT8_CLASS, -5.0, &uint8Zero, 1},
      {mxINT16_CLASS, -1e9, &int16Min, 2},
      {mxUINT16_CLASS, 65.0, &charA, 2},
      {mxCHAR_CLASS, 65.0, &charA, 2},
      {mxLOGICAL_CLASS, -0.5, &logicalTrue, 1},
      {mxINT32_CLASS, 2.5, &int32Half, 4},
      {mxINT32_CLASS, std::nan(""), &int32Zero, 4},
      {mxUINT32_CLASS, 1e20, &uint32Max, 4},
      {mxINT64_CLASS, 1e19, &int64Max, 8},
      {mxUINT64_CLASS, 9223372036854775808.0, &uint64Big, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("class " + std::to_string(c.classId) + " value " + std::to_string(c.value));
    mxArray* scalar = standinCreateScalar(c.classId, c.value);
    ASSERT_NE(scalar, nullptr);
    EXPECT_EQ(mxGetM(scalar) * mxGetN(scalar), 1u);
    EXPECT_EQ(std::memcmp(standinRealData(scalar), c.expected, c.bytes), 0);
  }
}

TEST_F(ArraysTest, StringsAreOneRowOfCharactersAndKeepTheirText) {
  mxArray* text = mxCreateString("Fatal Error");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(mxGetClassID(text), mxCHAR_CLASS);
  EXPECT_EQ(mxGetM(text), 1u);
  EXPECT_EQ(mxGetN(text), 11u);
  EXPECT_FALSE(mxIsNumeric(text));
  EXPECT_STREQ(standinStringText(text), "Fatal Error");
  const uint16_t* characters = static_cast<const uint16_t*>(standinRealData(text));
  EXPECT_EQ(characters[0], 'F');
  EXPECT_EQ(characters[10], 'r');

  mxArray* empty = mxCreateString("");
  EXPECT_EQ(mxGetN(empty), 0u);
  EXPECT_STREQ(standinStringText(empty), "");
  EXPECT_EQ(standinStringText(standinCreateArray(mxCHAR_CLASS, 1, 3, mxREAL)), nullptr);
}

TEST_F(ArraysTest, DoublesHoldTheirValuesInColumnOrder) {
  const double values[] = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
  mxArray* matrix = standinCreateDoubles(2, 3, values);
  ASSERT_NE(matrix, nullptr);
  EXPECT_EQ(mxGetM(matrix), 2u);
  EXPECT_EQ(mxGetN(matrix), 3u);
  EXPECT_EQ(std::memcmp(mxGetPr(matrix), values, sizeof values), 0);
  mxArray* sizes = mxCreateDoubleMatrix(38, 1, mxREAL);
  EXPECT_EQ(mxGetM(sizes), 38u);
  EXPECT_FALSE(mxIsComplex(sizes));
  EXPECT_EQ(mxGetPr(sizes)[37], 0.0);
}

TEST_F(ArraysTest, SparseArraysHoldTheirNonZerosAloneAndFullGivesEveryElement) {
  const double real[] = {0.0, 5.0, 0.0, 0.0, 0.0, -7.0};  // 3 by 2
  const double imag[] = {0.0, 0.0, 0.0, 2.0, 0.0, 0.0};
  const double zero = 0.0;
  mxArray* matrix = standinCreateSparse(mxDOUBLE_CLASS, 3, 2, real, nullptr);
  mxArray* complex = standinCreateSparse(mxDOUBLE_CLASS, 3, 2, real, imag);
  mxArray* logical = standinCreateSparse(mxLOGICAL_CLASS, 3, 2, real, nullptr);
  mxArray* sparseZero = standinCreateSparse(mxDOUBLE_CLASS, 1, 1, &zero, nullptr);
  EXPECT_TRUE(mxIsSparse(matrix));
  EXPECT_FALSE(mxIsSparse(standinCreateDoubles(3, 2, real)));
  EXPECT_EQ(mxGetM(matrix) * 10 + mxGetN(matrix), 32u);
  EXPECT_EQ(mxGetPr(matrix)[0], 5.0);
  EXPECT_EQ(mxGetPr(matrix)[1], -7.0);
  EXPECT_EQ(mxGetPr(sparseZero), nullptr);
  EXPECT_EQ(static_cast<double*>(standinImagData(complex))[1], 2.0);  // stored: 5, 2i, -7

  const struct {
    mxArray* sparse;
    const void* expected;
    size_t bytes;
  } cases[] = {{matrix, real, sizeof real}, {sparseZero, &zero, sizeof zero}};
  for (const auto& c : cases) {
    mxArray* full = nullptr;
    mxArray* argument = c.sparse;
    ASSERT_EQ(mexCallMATLAB(1, &full, 1, &argument, "full"), 0);
    EXPECT_FALSE(mxIsSparse(full));
    EXPECT_EQ(std::memcmp(mxGetPr(full), c.expected, c.bytes), 0);
  }
  mxArray* full = nullptr;
  ASSERT_EQ(mexCallMATLAB(1, &full, 1, &complex, "full"), 0);
  EXPECT_EQ(std::memcmp(standinImagData(full), imag, sizeof imag), 0);
  ASSERT_EQ(mexCallMATLAB(1, &full, 1, &logical, "full"), 0);
  EXPECT_EQ(std::memcmp(mxGetPr(full), "\0\1\0\0\0\1", 6), 0);
  EXPECT_EQ(standinBreachCount(), 0u);
  // A sparse array is double or logical, and a logical one is real.
  EXPECT_EQ(standinCreateSparse(mxINT8_CLASS, 1, 1, &zero, nullptr), nullptr);
  EXPECT_EQ(standinCreateSparse(mxLOGICAL_CLASS, 1, 1, &zero, &zero), nullptr);
  EXPECT_EQ(standinBreachCount(), 2u);
}

TEST_F(ArraysTest, ArraysMadeToTheByteHaveDataOfTheirOwnAndOneByteCharacters) {
  standinSetArrayLayout(STANDIN_ARRAYS_TO_THE_BYTE);
  const size_t before = standinBytesHeld();
  mxArray* none = standinCreateArray(mxCHAR_CLASS, 1, 0, mxREAL);
  const size_t header = standinBytesHeld() - before;
  mxArray* three = standinCreateArray(mxCHAR_CLASS, 1, 3, mxREAL);
  EXPECT_EQ(standinBytesHeld() - before - header, header + 3);
  mxArray* moduleText = mxCreateString("AB");  // the module's own arrays stay packed
  standinSetArrayLayout(STANDIN_ARRAYS_PACKED);
  EXPECT_NE(mxGetPr(none), nullptr);  // an address, with nothing to read there
  EXPECT_EQ(static_cast<const uint16_t*>(standinRealData(moduleText))[1], 'B');
  for (mxArray* array : {none, three, moduleText}) mxDestroyArray(array);
  EXPECT_EQ(standinBytesHeld(), before);
}

TEST_F(ArraysTest, AnythingButALiveArrayIsABreachWithANeutralAnswer) {
  mxArray* gone = standinCreateScalar(mxDOUBLE_CLASS, 1.0);
  mxDestroyArray(gone);
  int notAnArray = 0;
  mxArray* fake = reinterpret_cast<mxArray*>(&notAnArray);
  for (const mxArray* bad :
       {static_cast<const mxArray*>(nullptr), static_cast<const mxArray*>(gone),
        static_cast<const mxArray*>(fake)}) {
    size_t before = standinBreachCount();
    EXPECT_EQ(mxGetM(bad), 0u);
    EXPECT_EQ(mxGetN(bad), 0u);
    EXPECT_FALSE(mxIsNumeric(bad));
    EXPECT_FALSE(mxIsComplex(bad));
    EXPECT_EQ(mxGetPr(bad), nullptr);
    EXPECT_EQ(mxGetClassID(bad), mxUNKNOWN_CLASS);
    EXPECT_EQ(standinBreachCount() - before, 6u);
  }
  EXPECT_STREQ(standinBreach(0), "mxGetM called with a null array");
  EXPECT_STREQ(standinBreach(6), "mxGetM called with an address that is not a live array");
  mxDestroyArray(gone);  // a second destroy is a breach, not a double free
  EXPECT_STREQ(standinBreach(standinBreachCount() - 1),
               "mxDestroyArray called with an address that is not a live array");
  size_t before = standinBreachCount();
  mxDestroyArray(nullptr);  // as a host allows
  EXPECT_EQ(standinBreachCount(), before);
}

TEST_F(ArraysTest, SizesBeyondTheAddressSpaceAreRefusedOutsideACall) {
  const size_t huge = std::numeric_limits<size_t>::max() / 2;
  EXPECT_EQ(mxCreateDoubleMatrix(huge, 4, mxREAL), nullptr);
  EXPECT_EQ(standinCreateArray(mxINT8_CLASS, huge, huge, mxCOMPLEX), nullptr);
  EXPECT_EQ(standinCreateArray(static_cast<mxClassID>(17), 1, 1, mxREAL), nullptr);
  EXPECT_EQ(mxCalloc(huge, 4), nullptr);
  ASSERT_EQ(standinBreachCount(), 4u);
  EXPECT_EQ(std::string(standinBreach(0)),
            "mxCreateDoubleMatrix cannot make a " + std::to_string(huge) +
                "-by-4 array: more bytes than the address space holds");
  EXPECT_STREQ(standinBreach(2), "standinCreateArray cannot make a 1-by-1 array: unknown class id");
  EXPECT_EQ(std::string(standinBreach(3)),
            "mxCalloc(" + std::to_string(huge) + ", 4): more than the address space holds");
  EXPECT_EQ(standinBytesHeld(), 0u);
}

}  // namespace
