#include "tests/rtw/hook_recorder.h"

#include "services/services.h"

namespace {

HookRecorder* recorderOf(void* writerArg) {
  return static_cast<HookRecorder*>(writerArg);
}

std::string textOf(const char* text) {
  return text != nullptr ? text : "<null>";
}

// Looks through value the way a host would, while the pointers are valid.
void seeValue(HookCall* call) {
  if (call->value == nullptr) return;
  const bool isPair =
      call->type == SSWRITE_VALUE_PAIR_VECTOR || call->type == SSWRITE_VALUE_PAIR_MATRIX;
  if (isPair) {
    call->pair = *static_cast<const RealImagPair*>(call->value);
  } else if (call->type == SSWRITE_VALUE_TEXT) {
    call->seenText = static_cast<const char*>(call->value);
  } else if (call->type == SSWRITE_VALUE_SCALAR || call->type == SSWRITE_VALUE_TYPED_SCALAR) {
    if (call->dataType == DATA_TYPE_DOUBLE)
      call->seenDouble = *static_cast<const double*>(call->value);
    if (call->dataType == DATA_TYPE_INT32)
      call->seenInt32 = *static_cast<const int32_t*>(call->value);
  }
}

int32_t HOST_CALL recordLine(void* writerArg, const char* text) {
  HookCall call;
  call.kind = HookKind::kLine;
  call.writerArg = writerArg;
  call.text = textOf(text);
  return recorderOf(writerArg)->record(call);
}

int32_t HOST_CALL recordNameValue(void* writerArg, int32_t type, const char* name,
                                  const void* value, int32_t dataType, int32_t nRows,
                                  int32_t nCols) {
  HookCall call;
  call.kind = HookKind::kNameValue;
  call.writerArg = writerArg;
  call.text = textOf(name);
  call.type = type;
  call.value = value;
  call.dataType = dataType;
  call.nRows = nRows;
  call.nCols = nCols;
  seeValue(&call);
  return recorderOf(writerArg)->record(call);
}

int32_t HOST_CALL recordParam(void* writerArg, int32_t type, const char* name,
                              const void* paramInfo, const void* data, int32_t dataType,
                              int32_t nRows, int32_t nCols) {
  HookCall call;
  call.kind = HookKind::kParam;
  call.writerArg = writerArg;
  call.text = textOf(name);
  call.type = type;
  call.value = data;
  call.paramInfo = paramInfo;
  call.dataType = dataType;
  call.nRows = nRows;
  call.nCols = nCols;
  seeValue(&call);
  return recorderOf(writerArg)->record(call);
}

}  // namespace

void HookRecorder::install(HostInfo* host) {
  host->writeRtwStrFcn = recordLine;
  host->writeRtwNameValueFcn = recordNameValue;
  host->writeRtwParamFcn = recordParam;
  host->writeRtwFcnArg = this;
}

void HookRecorder::resultFromThenOn(int callIndex, int32_t result) {
  failFrom_ = callIndex;
  failResult_ = result;
}

int32_t HookRecorder::record(HookCall call) {
  const int index = static_cast<int>(calls_.size());
  calls_.push_back(call);
  if (failFrom_ >= 0 && index >= failFrom_) return failResult_;
  const auto found = results_.find(index);
  return found != results_.end() ? found->second : 1;
}

std::vector<std::string> HookRecorder::lines() const {
  std::vector<std::string> texts;
  for (const HookCall& call : calls_) texts.push_back(call.text);
  return texts;
}
