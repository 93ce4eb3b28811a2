// The module's only export. A left-hand count of 0 or more is a set-up call;
// a negative one is a method call whose flag names the method: five flags
// reach the block's own methods, seventeen reach optional methods through the
// record, and every other value is refused. Outcomes of method calls travel
// back through the record only.
#include <cstdint>

#include "block/twinvolts_block.h"
#include "gateway/gateway.h"
#include "host/mex_api.h"

#if defined(_WIN32)
#define SFCN_EXPORT __declspec(dllexport)
#else
#define SFCN_EXPORT __attribute__((visibility("default")))
#endif

namespace twinvolts {
namespace {

constexpr char kInvalidFlag[] = "Invalid flag encountered in simulink";

bool dimensionInfoPorts(const SFcnRecord* record) {
  return (record->sizesBlock.portFlags & SFCN_PORT_FLAG_DIMENSION_INFO) != 0;
}

// The port-propagation table; a record without one counts as one of empty slots.
const PropagationMethods& propagation(const SFcnRecord* record) {
  static const PropagationMethods kNone = {};
  return record->propagationMethods != nullptr ? *record->propagationMethods : kNone;
}

// Each call* helper runs a filled slot and gives null, or gives the row's message.
const char* callMethod(SFcnMethod slot, SFcnRecord* record, const char* message) {
  if (slot == nullptr) return message;
  slot(record);
  return nullptr;
}

const char* callPortValue(SFcnPortArgMethod slot, SFcnRecord* record, const char* message) {
  if (slot == nullptr) return message;
  slot(record, record->sizesBlock.callArgInt, record->hostInfo->callArgValue);
  return nullptr;
}

const char* callPortDims(SFcnPortArgMethod slot, SFcnRecord* record, const char* message) {
  if (slot == nullptr) return message;
  const SFcnArgWord dims = reinterpret_cast<SFcnArgWord>(record->hostInfo->callArgDims);
  slot(record, record->sizesBlock.callArgInt, dims);
  return nullptr;
}

const char* callPortTime(SFcnPortTimeMethod slot, SFcnRecord* record, const char* message) {
  if (slot == nullptr) return message;
  const HostInfo* info = record->hostInfo;
  slot(record, record->sizesBlock.callArgInt, info->callArgSampleTime, info->callArgOffsetTime);
  return nullptr;
}

const char* callIntArg(SFcnIntArgMethod slot, SFcnRecord* record, const char* message) {
  if (slot == nullptr) return message;
  slot(record, record->sizesBlock.callArgInt);
  return nullptr;
}

// Width and dimension-info methods share a slot; portFlags bit 0 says which
// of the two the slot is, so the other pair of flags finds it empty.
SFcnPortArgMethod onlyIf(bool condition, SFcnPortArgMethod slot) {
  return condition ? slot : nullptr;
}

int32_t outputsTaskId(const SFcnRecord* record) {
  return record->sizesBlock.callArgInt == -2 ? -2 : 0;
}

// 104, the outputs flag, is taken in dispatchFlag before the others.
const char* dispatchBlockMethod(SFcnRecord* record, int32_t flag) {
  switch (flag) {
    case 101:
      mdlDeclareSampleTimes(record);
      return nullptr;
    case 103:
      varHitStub(record);
      return nullptr;
    case 107:
      mdlShutdown(record);
      return nullptr;
    case 108:
      zeroCrossingsStub(record);
      return nullptr;
    default:
      return kInvalidFlag;
  }
}

const char* dispatchRecordSlot(SFcnRecord* r, int32_t flag) {
  const bool dims = dimensionInfoPorts(r);
  switch (flag) {
    case 111:
      return callMethod(r->mdlSetWorkWidths, r, "Unexpected call to mdlSetWorkWidths");
    case 112:
      return callMethod(r->mdlCheckParameters, r, "Unexpected call to mdlCheckParameters");
    case 113:
      return callPortValue(r->mdlSetInputPortDataType, r,
                           "Unexpected call to mdlSetInputPortDataType");
    case 114:
      return callPortValue(r->mdlSetOutputPortDataType, r,
                           "Unexpected call to mdlSetOutputPortDataType");
    case 115:
      return callPortValue(onlyIf(!dims, r->mdlSetInputPortWidthOrDimsInfo), r,
                           "Unexpected call to mdlSetInputPortWidth");
    case 116:
      return callPortValue(onlyIf(!dims, r->mdlSetOutputPortWidthOrDimsInfo), r,
                           "Unexpected call to mdlSetOutputPortWidth");
    case 120:
      return callPortValue(r->mdlSetInputPortComplexSignal, r,
                           "Unexpected call to mdlSetInputPortComplexSignal");
    case 121:
      return callPortValue(r->mdlSetOutputPortComplexSignal, r,
                           "Unexpected call to mdlSetOutputPortComplexSignal");
    case 122:
      return callPortTime(r->mdlSetInputPortSampleTime, r,
                          "Unexpected call to mdlSetInputPortSampleTime");
    case 123:
      return callPortTime(r->mdlSetOutputPortSampleTime, r,
                          "Unexpected call to mdlSetOutputPortSampleTime");
    case 126:
      return callPortDims(onlyIf(dims, r->mdlSetInputPortWidthOrDimsInfo), r,
                          "Unexpected call to mdlSetInputPortDimensionInfo");
    case 127:
      return callPortDims(onlyIf(dims, r->mdlSetOutputPortWidthOrDimsInfo), r,
                          "Unexpected call to mdlSetOutputPortDimensionInfo");
    default:
      return kInvalidFlag;
  }
}

const char* dispatchPropagationSlot(SFcnRecord* r, int32_t flag) {
  const PropagationMethods& methods = propagation(r);
  switch (flag) {
    case 128:
      return callPortValue(methods.mdlSetInputPortFrameData, r,
                           "Unexpected call to mdlSetInputPortFrameData");
    case 131:
      return callMethod(methods.mdlSetDefaultPortDimensionInfo, r,
                        "Unexpected call to mdlSetDefaultPortDimensionInfo");
    case 132:
      return callMethod(methods.mdlSetDefaultPortDataTypes, r,
                        "Unexpected call to mdlSetDefaultPortDataTypes");
    case 133:
      return callMethod(methods.mdlSetDefaultPortComplexSignals, r,
                        "Unexpected call to mdlSetDefaultPortComplexSignals");
    case 142:
      return callIntArg(methods.mdlInitializePropagationPass, r,
                        "Unexpected call to mdlInitializePropagationPass");
    default:
      return kInvalidFlag;
  }
}

const char* dispatch(SFcnRecord* record, int32_t flag) {
  if (flag < 101 || flag > 142) return kInvalidFlag;
  if (flag <= 108) return dispatchBlockMethod(record, flag);
  if (flag <= 127) return dispatchRecordSlot(record, flag);
  return dispatchPropagationSlot(record, flag);
}

// Every flag but the outputs flag; kept out of line, so the step's path
// through dispatchFlag stays a test and a call.
[[gnu::noinline]] void dispatchOtherFlag(SFcnRecord* record, int32_t flag) {
  const char* message = dispatch(record, flag);
  if (message != nullptr) postErrorMessage(record, message);
}

}  // namespace

void dispatchFlag(SFcnRecord* record, int32_t flag) {
  // The outputs flag comes at every step: it is tested before the others.
  if (flag == 104) {
    mdlOutputs(record, outputsTaskId(record));
    return;
  }
  dispatchOtherFlag(record, flag);
}

extern "C" SFCN_EXPORT void HOST_CALL mexFunction(int nlhs, mxArray* plhs[], int nrhs,
                                                  const mxArray* prhs[]) {
  if (nlhs >= 0) {
    gatewaySetup(nlhs, plhs, nrhs, prhs);
    return;
  }
  // The flag is read by the array's class before the record is taken.
  const int32_t flag = methodFlag(prhs[3]);
  // In a method call the host leaves the record's address itself in slot 2.
  auto* record = reinterpret_cast<SFcnRecord*>(plhs[1]);
  dispatchFlag(record, flag);
}

}  // namespace twinvolts
