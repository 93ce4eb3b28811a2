#include "tests/support/slot_table.h"

namespace slots {

std::vector<SlotCall>& slotCalls() {
  static std::vector<SlotCall> calls;
  return calls;
}

DimsDescriptor callDims{};

void setCallArguments(SFcnRecord* record) {
  record->sizesBlock.callArgInt = kCallPort;
  record->hostInfo->callArgValue = kCallValue;
  record->hostInfo->callArgDims = &callDims;
  record->hostInfo->callArgSampleTime = kCallPeriod;
  record->hostInfo->callArgOffsetTime = kCallOffset;
}

namespace {

// The recorder takes the slot's type; only the slot decides it.
template <typename Slot>
struct SlotType {
  using type = Slot;
};
template <typename Slot>
void setSlot(Slot& slot, typename SlotType<Slot>::type recorder, bool on) {
  slot = on ? recorder : nullptr;
}

}  // namespace

#define SLOT_ROW(flag, method, args, dims, slot, recorder)                   \
  {                                                                          \
    flag, "Unexpected call to " method, SlotArgs::args, dims,                \
        [](SFcnRecord* r, bool on) { setSlot(r->slot, recorder<flag>, on); } \
  }

const SlotRow kSlotRows[kSlotRowCount] = {
    SLOT_ROW(111, "mdlSetWorkWidths", kNone, false, mdlSetWorkWidths, recordMethod),
    SLOT_ROW(112, "mdlCheckParameters", kNone, false, mdlCheckParameters, recordMethod),
    SLOT_ROW(113, "mdlSetInputPortDataType", kPortValue, false, mdlSetInputPortDataType,
             recordPortArg),
    SLOT_ROW(114, "mdlSetOutputPortDataType", kPortValue, false, mdlSetOutputPortDataType,
             recordPortArg),
    SLOT_ROW(115, "mdlSetInputPortWidth", kPortValue, false, mdlSetInputPortWidthOrDimsInfo,
             recordPortArg),
    SLOT_ROW(116, "mdlSetOutputPortWidth", kPortValue, false, mdlSetOutputPortWidthOrDimsInfo,
             recordPortArg),
    SLOT_ROW(120, "mdlSetInputPortComplexSignal", kPortValue, false, mdlSetInputPortComplexSignal,
             recordPortArg),
    SLOT_ROW(121, "mdlSetOutputPortComplexSignal", kPortValue, false, mdlSetOutputPortComplexSignal,
             recordPortArg),
    SLOT_ROW(122, "mdlSetInputPortSampleTime", kPortTimes, false, mdlSetInputPortSampleTime,
             recordPortTime),
    SLOT_ROW(123, "mdlSetOutputPortSampleTime", kPortTimes, false, mdlSetOutputPortSampleTime,
             recordPortTime),
    SLOT_ROW(126, "mdlSetInputPortDimensionInfo", kPortDims, true, mdlSetInputPortWidthOrDimsInfo,
             recordPortArg),
    SLOT_ROW(127, "mdlSetOutputPortDimensionInfo", kPortDims, true, mdlSetOutputPortWidthOrDimsInfo,
             recordPortArg),
    SLOT_ROW(128, "mdlSetInputPortFrameData", kPortValue, false,
             propagationMethods->mdlSetInputPortFrameData, recordPortArg),
    SLOT_ROW(131, "mdlSetDefaultPortDimensionInfo", kNone, false,
             propagationMethods->mdlSetDefaultPortDimensionInfo, recordMethod),
    SLOT_ROW(132, "mdlSetDefaultPortDataTypes", kNone, false,
             propagationMethods->mdlSetDefaultPortDataTypes, recordMethod),
    SLOT_ROW(133, "mdlSetDefaultPortComplexSignals", kNone, false,
             propagationMethods->mdlSetDefaultPortComplexSignals, recordMethod),
    SLOT_ROW(142, "mdlInitializePropagationPass", kPortOnly, false,
             propagationMethods->mdlInitializePropagationPass, recordIntArg),
};

const SlotRow& slotRow(int32_t flag) {
  for (const SlotRow& row : kSlotRows) {
    if (row.flag == flag) return row;
  }
  return kSlotRows[0];
}

}  // namespace slots
