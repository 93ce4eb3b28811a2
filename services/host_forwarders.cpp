// Forwarders to the host's hooks: port dimensions and the two service
// queries, each with a defined result when the hook is absent (as in a record
// the gateway created); and the data-type id of a host array's class.
#include "services/services.h"

extern "C" {
const DimsDescriptor defaultDimsDescriptor = {SFCN_DIM_NOT_FIXED, SFCN_DIM_NOT_FIXED, nullptr, 0};
const DimsDescriptor* const defaultDims = &defaultDimsDescriptor;
}

namespace twinvolts {
namespace {

enum class Direction { kInput, kOutput };

SFcnSetPortDimsFcn dimsHook(const SFcnRecord* record, Direction direction) {
  const HostInfo* host = record->hostInfo;
  if (host == nullptr) return nullptr;
  return direction == Direction::kInput ? host->setInputPortDimsFcn : host->setOutputPortDimsFcn;
}

int32_t forward(SFcnRecord* record, Direction direction, int32_t port, DimsDescriptor* dims) {
  const SFcnSetPortDimsFcn hook = dimsHook(record, direction);
  if (hook == nullptr) return 1;
  return hook(record, port, dims);
}

// The one-entry dimension array is the descriptor's own element count.
int32_t setVectorShape(SFcnRecord* record, Direction direction, int32_t port, int32_t width) {
  DimsDescriptor dims = *defaultDims;
  dims.dimCount = 1;
  dims.dimValues = &dims.elementCount;
  dims.elementCount = width;
  return forward(record, direction, port, &dims);
}

// Multiplied as unsigned so an out-of-range product wraps instead of being
// undefined; the conversion back keeps the low 32 bits.
int32_t matrixElementCount(int32_t rows, int32_t cols) {
  if (rows == SFCN_DIM_NOT_FIXED || cols == SFCN_DIM_NOT_FIXED) return SFCN_DIM_NOT_FIXED;
  return static_cast<int32_t>(static_cast<uint32_t>(rows) * static_cast<uint32_t>(cols));
}

int32_t setMatrixShape(SFcnRecord* record, Direction direction, int32_t port, int32_t rows,
                       int32_t cols) {
  int32_t dimValues[2] = {rows, cols};
  DimsDescriptor dims = *defaultDims;
  dims.dimCount = 2;
  dims.dimValues = dimValues;
  dims.elementCount = matrixElementCount(rows, cols);
  return forward(record, direction, port, &dims);
}

SFcnHostServiceFcn serviceHook(const SFcnRecord* record) {
  const HostInfo* host = record->hostInfo;
  return host == nullptr ? nullptr : host->hostServiceFcn;
}

}  // namespace

extern "C" int32_t ssSetInputPortVectorShape(SFcnRecord* record, int32_t port, int32_t width) {
  return setVectorShape(record, Direction::kInput, port, width);
}

extern "C" int32_t ssSetOutputPortVectorShape(SFcnRecord* record, int32_t port, int32_t width) {
  return setVectorShape(record, Direction::kOutput, port, width);
}

extern "C" int32_t ssSetInputPortMatrixShape(SFcnRecord* record, int32_t port, int32_t rows,
                                             int32_t cols) {
  return setMatrixShape(record, Direction::kInput, port, rows, cols);
}

extern "C" int32_t ssSetOutputPortMatrixShape(SFcnRecord* record, int32_t port, int32_t rows,
                                              int32_t cols) {
  return setMatrixShape(record, Direction::kOutput, port, rows, cols);
}

extern "C" int32_t ssGetHostServiceInt(SFcnRecord* record, int32_t argument) {
  int32_t result = 0;
  const SFcnHostServiceFcn hook = serviceHook(record);
  if (hook != nullptr) (void)hook(record, SFCN_SERVICE_INT, argument, &result);
  return result;
}

extern "C" double ssGetHostServiceReal(SFcnRecord* record) {
  double result = 0.0;
  const SFcnHostServiceFcn hook = serviceHook(record);
  if (hook != nullptr) (void)hook(record, SFCN_SERVICE_REAL, 0, &result);
  return result;
}

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

}  // namespace twinvolts
