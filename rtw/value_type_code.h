// How the writers tell a value-type code they know. Internal to the writers.
#pragma once

#include <stdint.h>

#include "rtw/sswrite_value_type.h"

namespace twinvolts_rtw {

// Codes 0 to 10; taken as unsigned, so every negative code is refused too.
inline bool isKnownValueType(int32_t type) {
  return static_cast<uint32_t>(type) <= static_cast<uint32_t>(SSWRITE_VALUE_PAIR_MATRIX);
}

}  // namespace twinvolts_rtw
