#include "services/array_data_type.h"

#include "services/data_type_ids.h"

extern "C" int32_t ssGetArrayDataTypeId(const mxArray* array) {
  switch (mxGetClassID(array)) {
    case mxDOUBLE_CLASS:
      return DATA_TYPE_DOUBLE;
    case mxSINGLE_CLASS:
      return DATA_TYPE_SINGLE;
    case mxINT8_CLASS:
      return DATA_TYPE_INT8;
    case mxUINT8_CLASS:
      return DATA_TYPE_UINT8;
    case mxINT16_CLASS:
      return DATA_TYPE_INT16;
    case mxUINT16_CLASS:
      return DATA_TYPE_UINT16;
    case mxINT32_CLASS:
      return DATA_TYPE_INT32;
    case mxUINT32_CLASS:
      return DATA_TYPE_UINT32;
    case mxLOGICAL_CLASS:
      return DATA_TYPE_BOOLEAN;
    default:
      return DATA_TYPE_INVALID;
  }
}
