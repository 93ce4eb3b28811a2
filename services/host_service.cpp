#include "services/host_service.h"

namespace {

SFcnHostServiceFcn serviceHook(const SFcnRecord* record) {
  const HostInfo* host = record->hostInfo;
  return host == nullptr ? nullptr : host->hostServiceFcn;
}

}  // namespace

extern "C" int32_t ssGetHostServiceInt(SFcnRecord* record, int32_t argument) {
  int32_t result = 0;
  const SFcnHostServiceFcn hook = serviceHook(record);
  if (hook != nullptr) (void)hook(record, SFCN_SERVICE_INT, argument, &result);
  return result;
}

extern "C" double ssGetHostServiceReal(SFcnRecord* record) {
  double result = 0.0;
  const SFcnHostServiceFcn hook = serviceHook(record);
  if (hook != nullptr) (void)hook(record, SFCN_SERVICE_REAL, 0, &result);
  return result;
}
