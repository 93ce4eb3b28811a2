// That a recorder's call came from the row's slot and carried the host's call
// arguments the row says its slot is given (see setCallArguments).
#pragma once

#include <gtest/gtest.h>

#include "tests/support/slot_table.h"

namespace slots {

inline void expectCalledAsTheRowSays(const SlotRow& row, const SlotCall& call,
                                     const SFcnRecord* record) {
  EXPECT_EQ(call.tag, row.flag);
  EXPECT_EQ(call.record, record);
  if (row.args == SlotArgs::kNone) return;
  EXPECT_EQ(call.port, kCallPort);
  switch (row.args) {
    case SlotArgs::kPortValue:
      EXPECT_EQ(call.value, kCallValue);
      break;
    case SlotArgs::kPortDims:
      EXPECT_EQ(call.value, reinterpret_cast<SFcnArgWord>(&callDims));
      break;
    case SlotArgs::kPortTimes:
      EXPECT_EQ(call.period, kCallPeriod);
      EXPECT_EQ(call.offset, kCallOffset);
      break;
    default:
      break;
  }
}

}  // namespace slots
