/* How the record writers report a refusal: the root record's error slot
 * points at the message, which the host reads after the call. Internal to
 * the writers. */
#ifndef TWINVOLTS_RTW_RTW_ERROR_SLOT_H
#define TWINVOLTS_RTW_RTW_ERROR_SLOT_H

#include <stdint.h>

#include "gateway/error_slot.h"
#include "gateway/sfcn_record.h"

namespace twinvolts_rtw {

// Points the error slot at message (a module-wide text) and gives the
// refusal status 0, so a writer can end with `return refuse(...)`.
inline int32_t refuse(SFcnRecord* record, const char* message) {
  postErrorMessage(record, message);
  return 0;
}

}  // namespace twinvolts_rtw

#endif
