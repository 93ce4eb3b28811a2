// What the record writers share: the host's record-file hooks as they reach
// them, how a writer refuses, and which value-type codes it knows. Internal
// to the writers.
#pragma once

#include <cstdint>

#include "gateway/gateway.h"
#include "gateway/sfcn_record.h"
#include "rtw/rtw_writers.h"

namespace twinvolts {

// A record without HostInfo has no hooks, so callers see null and refuse
// instead of calling through it.
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

// Points the error slot at message (a module-wide text) and gives the
// refusal status 0, so a writer can end with `return refuse(...)`.
inline int32_t refuse(SFcnRecord* record, const char* message) {
  postErrorMessage(record, message);
  return 0;
}

// Codes 0 to 10; taken as unsigned, so every negative code is refused too.
inline bool isKnownValueType(int32_t type) {
  return static_cast<uint32_t>(type) <= static_cast<uint32_t>(SSWRITE_VALUE_PAIR_MATRIX);
}

}  // namespace twinvolts
