// Warnings that name the block, and the obsolete port-reuse setters that
// warn on every call.
#include <cstdlib>

#include "gateway/gateway.h"
#include "gateway/sfcn_names.h"
#include "services/services.h"

namespace twinvolts {
namespace {

constexpr char kInputReusableObsolete[] =
    "The macro ssSetInputPortReusable is obsolete, please update the " SFCN_DISPLAY_NAME
    " to use the macro ssSetInputPortOptimOpts";
constexpr char kOutputReusableObsolete[] =
    "The macro ssSetOutputPortReusable is obsolete, please update the " SFCN_DISPLAY_NAME
    " to use the macro ssSetOutputPortOptimOpts";

// Only the values 0 and 1 are stored, so the field's upper bit always ends clear.
void storeReuse(uint32_t* attributes, uint32_t mask, uint32_t on, int32_t flag) {
  *attributes = (*attributes & ~mask) | (flag != 0 ? on : 0u);
}

bool portInRange(const void* ports, int32_t port, int32_t count) {
  return ports != nullptr && port >= 0 && port < count;
}

}  // namespace

extern "C" void ssWarnWithBlockPath(SFcnRecord* record, const char* message) {
  const char* blockPath = record->blockPath;
  char* text = blockPath != nullptr ? newMessage("block '%s': %s", blockPath, message) : nullptr;
  warn(text != nullptr ? text : message);
  std::free(text);
}

extern "C" void ssSetInputPortReusable(SFcnRecord* record, int32_t port, int32_t flag) {
  ssWarnWithBlockPath(record, kInputReusableObsolete);
  if (!portInRange(record->inputPorts, port, record->sizesBlock.inputPortCount)) return;
  storeReuse(&record->inputPorts[port].attributes, SFCN_INPUT_REUSE_MASK, SFCN_INPUT_REUSE_ON,
             flag);
}

extern "C" void ssSetOutputPortReusable(SFcnRecord* record, int32_t port, int32_t flag) {
  ssWarnWithBlockPath(record, kOutputReusableObsolete);
  if (!portInRange(record->outputPorts, port, record->sizesBlock.outputPortCount)) {
    return;
  }
  storeReuse(&record->outputPorts[port].attributes, SFCN_OUTPUT_REUSE_MASK, SFCN_OUTPUT_REUSE_ON,
             flag);
}

}  // namespace twinvolts
