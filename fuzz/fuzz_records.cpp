#include "fuzz/fuzz_records.h"

#include <string>

#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"

namespace fuzz {
namespace {

long calls = 0;

void HOST_CALL recordMethod(SFcnRecord*) {
  ++calls;
}
void HOST_CALL recordPortArg(SFcnRecord*, int32_t, SFcnArgWord) {
  ++calls;
}
void HOST_CALL recordPortTime(SFcnRecord*, int32_t, double, double) {
  ++calls;
}
void HOST_CALL recordIntArg(SFcnRecord*, int32_t) {
  ++calls;
}

template <typename Slot>
Slot filledOrEmpty(FuzzedDataProvider& data, Slot recorder) {
  return data.ConsumeBool() ? recorder : nullptr;
}

int HOST_CALL refusePortCount(void*, int32_t) {
  return 0;
}

// The host names every record it makes; the module's messages quote the name.
const char* recordName(FuzzedDataProvider& data, std::string& text) {
  switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      text = data.ConsumeRandomLengthString(300);
      return text.c_str();
    case 1:
      return "twinvolts2";
    default:
      return "twinvolts";
  }
}

}  // namespace

long recorderCalls() {
  return calls;
}
void resetRecorderCalls() {
  calls = 0;
}

HostRecords::HostRecords(FuzzedDataProvider& data) {
  for (int i = 0; i < kRecordCount; ++i) {
    std::string text;
    records_[i] = standinNewHostRecord(recordName(data, text), "model/twinvolts");
    names_[i] = records_[i]->sfcnName;
    propagation_[i] = records_[i]->propagationMethods;
    inputPortsHook_[i] = records_[i]->setNumInputPortsFcn;
    outputPortsHook_[i] = records_[i]->setNumOutputPortsFcn;
  }
  params_[0] = standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
  params_[1] = params_[0];
}

HostRecords::~HostRecords() {
  for (SFcnRecord* record : records_) standinFreeHostRecord(record);
  mxDestroyArray(const_cast<mxArray*>(params_[0]));
}

SFcnRecord* HostRecords::pick(FuzzedDataProvider& data) {
  return records_[data.ConsumeIntegralInRange<int>(0, kRecordCount - 1)];
}

int HostRecords::indexOf(const SFcnRecord* record) const {
  return record == records_[0] ? 0 : 1;
}

void HostRecords::fillSlots(FuzzedDataProvider& data, SFcnRecord* r) {
  r->mdlSetInputPortWidthOrDimsInfo = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  r->mdlSetOutputPortWidthOrDimsInfo = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  r->mdlSetInputPortDataType = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  r->mdlSetOutputPortDataType = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  r->mdlSetInputPortSampleTime = filledOrEmpty<SFcnPortTimeMethod>(data, recordPortTime);
  r->mdlSetOutputPortSampleTime = filledOrEmpty<SFcnPortTimeMethod>(data, recordPortTime);
  r->mdlSetWorkWidths = filledOrEmpty<SFcnMethod>(data, recordMethod);
  r->mdlCheckParameters = filledOrEmpty<SFcnMethod>(data, recordMethod);
  r->mdlSetInputPortComplexSignal = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  r->mdlSetOutputPortComplexSignal = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  // The block's own slots may hold anything the host likes; flag calls of
  // the block's methods must not go through them.
  r->mdlSampleTimes = filledOrEmpty<SFcnMethod>(data, recordMethod);
  r->mdlGetTimeOfNextVarHit = filledOrEmpty<SFcnMethod>(data, recordMethod);
  r->mdlZeroCrossings = filledOrEmpty<SFcnMethod>(data, recordMethod);
}

void HostRecords::fillPropagation(FuzzedDataProvider& data, SFcnRecord* r, int index) {
  if (data.ConsumeBool()) {
    r->propagationMethods = nullptr;
    return;
  }
  PropagationMethods* table = propagation_[index];
  table->mdlSetInputPortFrameData = filledOrEmpty<SFcnPortArgMethod>(data, recordPortArg);
  table->mdlSetDefaultPortDimensionInfo = filledOrEmpty<SFcnMethod>(data, recordMethod);
  table->mdlSetDefaultPortDataTypes = filledOrEmpty<SFcnMethod>(data, recordMethod);
  table->mdlSetDefaultPortComplexSignals = filledOrEmpty<SFcnMethod>(data, recordMethod);
  table->mdlInitializePropagationPass = filledOrEmpty<SFcnIntArgMethod>(data, recordIntArg);
  r->propagationMethods = table;
}

// Through the host's own hook, so the count and the port array agree.
void HostRecords::declareInputPorts(FuzzedDataProvider& data, SFcnRecord* r) {
  const int32_t count = data.ConsumeIntegralInRange<int32_t>(-1, 3);
  r->setNumInputPortsFcn(r->setNumInputPortsContext, count);
  if (r->sizesBlock.inputPortCount > 0) {
    r->inputPorts[0].width = 2;
    if (data.ConsumeBool()) standinConnectInput(r, 0, signals_[indexOf(r)]);
  }
}

// A host that supplies block parameters hands their arrays along.
void HostRecords::setParameters(FuzzedDataProvider& data, SFcnRecord* r) {
  r->suppliedParamCount = data.ConsumeIntegralInRange<int32_t>(0, 2);
  r->paramArrays = r->suppliedParamCount > 0 ? params_ : nullptr;
}

void HostRecords::mutate(FuzzedDataProvider& data, SFcnRecord* r) {
  const int index = indexOf(r);
  HostInfo* info = r->hostInfo;
  switch (data.ConsumeIntegralInRange<int>(0, 11)) {
    case 0:
      r->sizesBlock.callArgInt = data.ConsumeIntegral<int32_t>();
      break;
    case 1:
      info->callArgValue = data.ConsumeIntegral<SFcnArgWord>();
      break;
    case 2:
      info->callArgDims = data.ConsumeBool() ? dims_ : nullptr;
      break;
    case 3:
      info->callArgSampleTime = data.ConsumeFloatingPoint<double>();
      info->callArgOffsetTime = data.ConsumeFloatingPoint<double>();
      break;
    case 4:
      r->sizesBlock.portFlags = data.ConsumeIntegral<uint32_t>();
      break;
    case 5:
      fillSlots(data, r);
      break;
    case 6:
      fillPropagation(data, r, index);
      break;
    case 7:
      declareInputPorts(data, r);
      break;
    case 8:
      setParameters(data, r);
      break;
    case 9:
      r->rootRecord = records_[data.ConsumeIntegralInRange<int>(0, kRecordCount - 1)];
      break;
    case 10:
      // A host may refuse a port count; the block's set-up then stops.
      r->setNumInputPortsFcn = data.ConsumeBool() ? refusePortCount : inputPortsHook_[index];
      r->setNumOutputPortsFcn = data.ConsumeBool() ? refusePortCount : outputPortsHook_[index];
      break;
    default:
      signals_[index][0] = data.ConsumeFloatingPoint<double>();
      signals_[index][1] = data.ConsumeFloatingPoint<double>();
      break;
  }
}

}  // namespace fuzz
