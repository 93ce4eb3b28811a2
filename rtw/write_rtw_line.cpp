#include "rtw/write_rtw_line.h"

#include "rtw/record_file_hooks.h"
#include "rtw/rtw_error_slot.h"

namespace {

constexpr const char* kNoLineHook = "ssWriteRTWLine called without a record-file line writer hook";

}  // namespace

extern "C" int32_t ssWriteRTWLine(SFcnRecord* record, const char* text) {
  const SFcnWriteRtwStrFcn hook = twinvolts_rtw::lineHook(record);
  if (hook == nullptr) return twinvolts_rtw::refuse(record, kNoLineHook);
  return hook(twinvolts_rtw::hookArgument(record), text);
}
