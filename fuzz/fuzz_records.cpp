#include "fuzz/fuzz_records.h"

#include <string>

#include "host/mex_api.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/support/slot_table.h"

namespace fuzz {
namespace {

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

HostRecords::HostRecords(FuzzedDataProvider& data) {
  for (int i = 0; i < kRecordCount; ++i) {
    std::string text;
    sessions_[i].emplace(mexFunction, recordName(data, text), "model/twinvolts");
    records_[i] = sessions_[i]->record();
    names_[i] = records_[i]->sfcnName;
    propagation_[i] = records_[i]->propagationMethods;
    inputPortsHook_[i] = records_[i]->setNumInputPortsFcn;
    outputPortsHook_[i] = records_[i]->setNumOutputPortsFcn;
  }
  params_[0] = standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
  params_[1] = params_[0];
}

HostRecords::~HostRecords() {
  mxDestroyArray(const_cast<mxArray*>(params_[0]));
}

SFcnRecord* HostRecords::pick(FuzzedDataProvider& data) {
  return records_[data.ConsumeIntegralInRange<int>(0, kRecordCount - 1)];
}

int HostRecords::indexOf(const SFcnRecord* record) const {
  return record == records_[0] ? 0 : 1;
}

// The block's own slots may hold anything the host likes; flag calls of the
// block's methods must not go through them.
void HostRecords::fillSlots(FuzzedDataProvider& data, SFcnRecord* r) {
  for (const slots::SlotRow& row : slots::kSlotRows) {
    if (row.flag < 128) row.fill(r, data.ConsumeBool());
  }
  r->mdlSampleTimes = data.ConsumeBool() ? slots::recordMethod<101> : nullptr;
  r->mdlGetTimeOfNextVarHit = data.ConsumeBool() ? slots::recordMethod<103> : nullptr;
  r->mdlZeroCrossings = data.ConsumeBool() ? slots::recordMethod<108> : nullptr;
}

// Rows from flag 128 on fill the propagation table.
void HostRecords::fillPropagation(FuzzedDataProvider& data, SFcnRecord* r, int index) {
  if (data.ConsumeBool()) {
    r->propagationMethods = nullptr;
    return;
  }
  r->propagationMethods = propagation_[index];
  for (const slots::SlotRow& row : slots::kSlotRows) {
    if (row.flag >= 128) row.fill(r, data.ConsumeBool());
  }
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
