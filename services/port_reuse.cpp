#include "services/port_reuse.h"

#include <stdio.h>

#include "gateway/sfcn_names.h"
#include "services/block_warning.h"

namespace {

constexpr size_t kMessageSize = 1024;

void warnObsolete(SFcnRecord* record, const char* format) {
  char message[kMessageSize];
  snprintf(message, sizeof message, format, SFCN_DISPLAY_NAME);
  ssWarnWithBlockPath(record, message);
}

// Only the values 0 and 1 are stored, so the field's upper bit always ends clear.
void storeReuse(uint32_t* attributes, uint32_t mask, uint32_t on, int32_t flag) {
  *attributes = (*attributes & ~mask) | (flag != 0 ? on : 0u);
}

bool portInRange(const void* ports, int32_t port, int32_t count) {
  return ports != nullptr && port >= 0 && port < count;
}

}  // namespace

extern "C" void ssSetInputPortReusable(SFcnRecord* record, int32_t port, int32_t flag) {
  warnObsolete(record,
               "The macro ssSetInputPortReusable is obsolete, please update the %s to use the "
               "macro ssSetInputPortOptimOpts");
  if (!portInRange(record->inputPorts, port, record->sizesBlock.inputPortCount)) return;
  storeReuse(&record->inputPorts[port].attributes, SFCN_INPUT_REUSE_MASK, SFCN_INPUT_REUSE_ON,
             flag);
}

extern "C" void ssSetOutputPortReusable(SFcnRecord* record, int32_t port, int32_t flag) {
  warnObsolete(record,
               "The macro ssSetOutputPortReusable is obsolete, please update the %s to use the "
               "macro ssSetOutputPortOptimOpts");
  if (!portInRange(record->outputPorts, port, record->sizesBlock.outputPortCount)) return;
  storeReuse(&record->outputPorts[port].attributes, SFCN_OUTPUT_REUSE_MASK, SFCN_OUTPUT_REUSE_ON,
             flag);
}
