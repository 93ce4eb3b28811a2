// The record the gateway makes when the host offers none of its own, so the
// block's set-up can run and report its sizes. Everything comes from the host
// allocator and is never released here: the host reclaims it.
#include "gateway/gateway.h"
#include "gateway/sfcn_names.h"

namespace {

template <typename PortInfo>
int declarePortCount(int32_t count, int32_t* portCount, PortInfo** ports, uint32_t* portFlags) {
  if (count < 0) return 0;
  if (count > 0) {
    // Allocate before changing anything, so a refusal leaves the record as it was.
    auto* fresh = static_cast<PortInfo*>(mxCalloc(static_cast<size_t>(count), sizeof(PortInfo)));
    if (fresh == nullptr) return 0;
    *ports = fresh;
  }
  *portCount = count;
  *portFlags |= SFCN_PORT_FLAG_COUNT_DECLARED;
  return 1;
}

}  // namespace

extern "C" SFcnRecord* createStandaloneRecord(int rhsCount, const mxArray* rhs[]) {
  const int32_t paramCount = rhsCount > 4 ? rhsCount - 4 : 0;
  auto* record = static_cast<SFcnRecord*>(mxCalloc(1, sizeof(SFcnRecord)));
  auto* info = static_cast<HostInfo*>(mxCalloc(1, sizeof(HostInfo)));
  if (record == nullptr || info == nullptr) return nullptr;

  record->rootRecord = record;
  record->hostInfo = info;
  info->standaloneMark = 1;
  record->suppliedParamCount = paramCount;
  record->blockPath = S_FUNCTION_NAME;
  record->sfcnName = S_FUNCTION_NAME;

  if (paramCount > 0) {
    auto* params = static_cast<const mxArray**>(
        mxCalloc(static_cast<size_t>(paramCount), sizeof(const mxArray*)));
    if (params == nullptr) return nullptr;
    // The caller's own handles: the block reads the parameters as given.
    for (int32_t i = 0; i < paramCount; ++i) params[i] = rhs[4 + i];
    record->paramArrays = params;
  }

  record->setNumInputPortsFcn = standaloneSetNumInputPorts;
  record->setNumInputPortsContext = record;
  record->setNumOutputPortsFcn = standaloneSetNumOutputPorts;
  record->setNumOutputPortsContext = record;
  return record;
}

extern "C" int HOST_CALL standaloneSetNumInputPorts(void* context, int32_t count) {
  auto* record = static_cast<SFcnRecord*>(context);
  return declarePortCount(count, &record->sizesBlock.inputPortCount, &record->inputPorts,
                          &record->sizesBlock.portFlags);
}

extern "C" int HOST_CALL standaloneSetNumOutputPorts(void* context, int32_t count) {
  auto* record = static_cast<SFcnRecord*>(context);
  return declarePortCount(count, &record->sizesBlock.outputPortCount, &record->outputPorts,
                          &record->sizesBlock.portFlags);
}
