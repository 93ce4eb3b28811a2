/* The host's record-file hooks as the writers reach them: a record without
 * HostInfo has no hooks, so callers see null and refuse instead of calling
 * through it. Internal to the writers. */
#ifndef TWINVOLTS_RTW_RECORD_FILE_HOOKS_H
#define TWINVOLTS_RTW_RECORD_FILE_HOOKS_H

#include "gateway/sfcn_record.h"

namespace twinvolts_rtw {

inline SFcnWriteRtwStrFcn lineHook(const SFcnRecord* record) {
  const HostInfo* host = record->hostInfo;
  return host == nullptr ? nullptr : host->writeRtwStrFcn;
}

inline SFcnWriteRtwNameValueFcn nameValueHook(const SFcnRecord* record) {
  const HostInfo* host = record->hostInfo;
  return host == nullptr ? nullptr : host->writeRtwNameValueFcn;
}

inline SFcnWriteRtwParamFcn paramHook(const SFcnRecord* record) {
  const HostInfo* host = record->hostInfo;
  return host == nullptr ? nullptr : host->writeRtwParamFcn;
}

// Only meaningful once a hook was found, which implies HostInfo exists.
inline void* hookArgument(const SFcnRecord* record) {
  return record->hostInfo->writeRtwFcnArg;
}

// The group writers need both the line and the name/value hook.
inline bool hasLineAndNameValueHooks(const SFcnRecord* record) {
  return lineHook(record) != nullptr && nameValueHook(record) != nullptr;
}

}  // namespace twinvolts_rtw

#endif
