// ssWriteRTWParameters: a run of parameter records through the host's
// parameter hook.
#include <cstdarg>

#include "rtw/writer_hooks.h"

namespace twinvolts {
namespace {

constexpr const char* kInvalidType = "Invalid SSWRITE_VALUE_type passed to ssWriteRTWParameters";
constexpr const char* kInvalidArguments = "Invalid arguments passed to ssWriteRTWParameters";
constexpr const char* kNoHook =
    "ssWriteRTWParameters called without a record-file parameter writer hook";

// One entry as the hook receives it. For the pair codes data points at pair,
// so an entry is filled in place and never copied.
struct ParamEntry {
  int32_t type = 0;
  const char* name = nullptr;
  const void* paramInfo = nullptr;
  const void* data = nullptr;
  int32_t dataType = 0;
  int32_t nRows = 0;
  int32_t nCols = 0;
  RealImagPair pair = {nullptr, nullptr};
};

bool isParameterCode(int32_t type) {
  // Codes 4 to 10 except the typed scalar: parameters are never scalars.
  const uint32_t offset = static_cast<uint32_t>(type) - static_cast<uint32_t>(SSWRITE_VALUE_VECTOR);
  const bool inRange = offset <= 6u;
  return inRange && type != SSWRITE_VALUE_TYPED_SCALAR;
}

// A vector of n elements is n x 1, an empty one 0 x 0.
void setVectorLength(ParamEntry* entry, int32_t n) {
  entry->nRows = n;
  entry->nCols = n != 0 ? 1 : 0;
}

void readPair(ParamEntry* entry, va_list* args) {
  entry->pair.realPart = va_arg(*args, const void*);
  entry->pair.imagPart = va_arg(*args, const void*);
  entry->data = &entry->pair;
}

void readMatrixDims(ParamEntry* entry, va_list* args) {
  entry->nRows = va_arg(*args, int);
  entry->nCols = va_arg(*args, int);
}

// Reads the words after (type, name, paramInfo) for a parameter code.
void readData(ParamEntry* entry, va_list* args) {
  switch (entry->type) {
    case SSWRITE_VALUE_VECTOR:
    case SSWRITE_VALUE_TYPED_VECTOR:
      entry->data = va_arg(*args, const void*);
      setVectorLength(entry, va_arg(*args, int));
      break;
    case SSWRITE_VALUE_MATRIX:
    case SSWRITE_VALUE_TYPED_MATRIX:
      entry->data = va_arg(*args, const void*);
      readMatrixDims(entry, args);
      break;
    case SSWRITE_VALUE_PAIR_VECTOR:
      readPair(entry, args);
      setVectorLength(entry, va_arg(*args, int));
      break;
    default:  // SSWRITE_VALUE_PAIR_MATRIX
      readPair(entry, args);
      readMatrixDims(entry, args);
      break;
  }
  const bool hasDataType =
      entry->type != SSWRITE_VALUE_VECTOR && entry->type != SSWRITE_VALUE_MATRIX;
  if (hasDataType) entry->dataType = va_arg(*args, int);
}

bool isValid(const ParamEntry& entry) {
  if (entry.name == nullptr || entry.name[0] == '\0') return false;
  if (entry.data == nullptr && entry.nRows != 0) return false;
  if (entry.nRows < 0 || entry.nCols < 0) return false;
  return (entry.nRows == 0) == (entry.nCols == 0);
}

// Reads one entry and hands it to the hook. 0 stops the run: a refusal with
// its message, or the hook's own failure, which adds none.
int32_t writeEntry(SFcnRecord* record, va_list* args) {
  ParamEntry entry;
  entry.type = va_arg(*args, int);
  entry.name = va_arg(*args, const char*);
  entry.paramInfo = va_arg(*args, const void*);
  if (!isParameterCode(entry.type)) return refuse(record, kInvalidType);
  readData(&entry, args);
  if (!isValid(entry)) return refuse(record, kInvalidArguments);

  const SFcnWriteRtwParamFcn hook = paramHook(record);
  if (hook == nullptr) return refuse(record, kNoHook);
  return hook(hookArgument(record), entry.type, entry.name, entry.paramInfo, entry.data,
              entry.dataType, entry.nRows, entry.nCols);
}

}  // namespace

extern "C" int32_t ssWriteRTWParameters(SFcnRecord* record, int32_t nParams, ...) {
  va_list args;
  va_start(args, nParams);
  int32_t result = 1;
  for (int32_t i = 0; i < nParams && result != 0; ++i) result = writeEntry(record, &args);
  va_end(args);
  return result;
}

}  // namespace twinvolts
