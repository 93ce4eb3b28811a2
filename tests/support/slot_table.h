// The optional method slots of a host record, by the flag that calls each:
// the text the module posts when the slot is empty, the host's call arguments
// the slot is given, and a recorder to put in it that notes its calls under
// the row's flag. The dispatch tests and the fuzz target share it.
#pragma once

#include <cstdint>
#include <vector>

#include "gateway/sfcn_record.h"

namespace slots {

// What a slot is given besides the record.
enum class SlotArgs { kNone, kPortValue, kPortDims, kPortTimes, kPortOnly };

struct SlotCall {
  int tag;  // the flag of the row whose recorder ran, or a test's own tag
  SFcnRecord* record;
  int32_t port;
  SFcnArgWord value;
  double period;
  double offset;
};

// Calls noted by the recorders, oldest first; tests clear it.
std::vector<SlotCall>& slotCalls();
inline void noteCall(int tag, SFcnRecord* record, int32_t port = 0, SFcnArgWord value = 0,
                     double period = 0.0, double offset = 0.0) {
  slotCalls().push_back(SlotCall{tag, record, port, value, period, offset});
}

template <int Tag>
void HOST_CALL recordMethod(SFcnRecord* r) {
  noteCall(Tag, r);
}
template <int Tag>
void HOST_CALL recordPortArg(SFcnRecord* r, int32_t port, SFcnArgWord value) {
  noteCall(Tag, r, port, value);
}
template <int Tag>
void HOST_CALL recordPortTime(SFcnRecord* r, int32_t port, double period, double offset) {
  noteCall(Tag, r, port, 0, period, offset);
}
template <int Tag>
void HOST_CALL recordIntArg(SFcnRecord* r, int32_t argument) {
  noteCall(Tag, r, argument);
}

struct SlotRow {
  int32_t flag;
  const char* message;  // posted when the slot is empty
  SlotArgs args;
  bool dimensionInfo;  // portFlags bit 0 the flag needs to reach its slot
  // Puts the row's recorder in its slot (on) or empties the slot (off).
  void (*fill)(SFcnRecord* record, bool on);
};

constexpr int kSlotRowCount = 17;
extern const SlotRow kSlotRows[kSlotRowCount];
// The row of an optional slot's flag (the first row for an unknown flag).
const SlotRow& slotRow(int32_t flag);

// The call arguments a host leaves in the record before a method call, all
// distinct, and the checks that a recorded call carried the row's share.
constexpr int32_t kCallPort = 7;
constexpr SFcnArgWord kCallValue = 0x5A5A;
constexpr double kCallPeriod = 0.25;
constexpr double kCallOffset = 0.125;
extern DimsDescriptor callDims;
void setCallArguments(SFcnRecord* record);

}  // namespace slots
