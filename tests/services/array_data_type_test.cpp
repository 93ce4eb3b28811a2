#include "services/services.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

namespace {

struct ClassCase {
  mxClassID classId;
  int32_t dataTypeId;
};

const ClassCase kClassCases[] = {
    {mxUNKNOWN_CLASS, -10},  {mxCELL_CLASS, -10}, {mxSTRUCT_CLASS, -10}, {mxLOGICAL_CLASS, 8},
    {mxCHAR_CLASS, -10},     {mxVOID_CLASS, -10}, {mxDOUBLE_CLASS, 0},   {mxSINGLE_CLASS, 1},
    {mxINT8_CLASS, 2},       {mxUINT8_CLASS, 3},  {mxINT16_CLASS, 4},    {mxUINT16_CLASS, 5},
    {mxINT32_CLASS, 6},      {mxUINT32_CLASS, 7}, {mxINT64_CLASS, -10},  {mxUINT64_CLASS, -10},
    {mxFUNCTION_CLASS, -10},
};

using ArrayDataTypeTest = FreshHostTest;

TEST_F(ArrayDataTypeTest, EveryClassMapsToItsBuiltInIdOrNone) {
  ASSERT_EQ(sizeof kClassCases / sizeof kClassCases[0], 17u);
  for (int classId = 0; classId <= 16; ++classId) {
    const ClassCase& c = kClassCases[classId];
    ASSERT_EQ(c.classId, classId);
    SCOPED_TRACE(classId);
    mxArray* array = standinCreateArray(c.classId, 1, 1, mxREAL);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(ssGetArrayDataTypeId(array), c.dataTypeId);
    mxDestroyArray(array);
  }
}

TEST_F(ArrayDataTypeTest, ComplexArrayMapsLikeRealOfItsClass) {
  const ClassCase complexCases[] = {
      {mxDOUBLE_CLASS, DATA_TYPE_DOUBLE},
      {mxSINGLE_CLASS, DATA_TYPE_SINGLE},
      {mxINT16_CLASS, DATA_TYPE_INT16},
      {mxUINT32_CLASS, DATA_TYPE_UINT32},
  };
  for (const ClassCase& c : complexCases) {
    SCOPED_TRACE(c.classId);
    mxArray* array = standinCreateArray(c.classId, 2, 3, mxCOMPLEX);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(ssGetArrayDataTypeId(array), c.dataTypeId);
    mxDestroyArray(array);
  }
}

}  // namespace
