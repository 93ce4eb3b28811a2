// ssWriteRTWWorkVect: the element definitions of one work vector, and the
// check of their widths against the length registered at set-up.
#include <cstdarg>
#include <cstring>

#include "rtw/writer_hooks.h"

char workVectErrorText[WORK_VECT_ERROR_TEXT_SIZE];

namespace twinvolts {
namespace {

constexpr const char* kInvalidVectName =
    "Invalid work vector name (vectName) passed to ssWriteRTWWorkVect (must be RWork, IWork, or "
    "PWork";
constexpr const char* kInvalidNameCount =
    "nNames argument to ssWriteRTWWorkVect must be greater than 0";
constexpr const char* kNoHooks =
    "ssWriteRTWWorkVect called without the record-file line and name/value writer hooks";
constexpr const char* kStartIndexOverflow =
    "The widths passed to ssWriteRTWWorkVect add up beyond the range of a 32-bit start index";
constexpr const char* kTotalMismatch =
    "Error in ssWriteRTWWorkVect.  The total number of %sDefines written to the .rtw file (= "
    "%lld), should be equal to number of %s (= %d), registered in mdlInitializeSizes";

// Holds "Num<vectName>Defines" and "<vectName>Define {".
constexpr size_t kNameBufferSize = 40;
constexpr size_t kLongestFormedName = sizeof("NumDefines");  // with the terminating NUL
static_assert(sizeof("RWork") - 1 + kLongestFormedName <= kNameBufferSize,
              "every accepted vector name fits the name buffer");

// The registered length of the named vector, or null for a name not accepted.
const int32_t* registeredLength(const SFcnRecord* record, const char* vectName) {
  if (vectName == nullptr) return nullptr;
  const SFcnSizes& sizes = record->sizesBlock;
  if (strcmp(vectName, "RWork") == 0) return &sizes.rworkLength;
  if (strcmp(vectName, "IWork") == 0) return &sizes.iworkLength;
  if (strcmp(vectName, "PWork") == 0) return &sizes.pworkLength;
  return nullptr;
}

bool fitsInt32(int64_t value) {
  return value >= INT32_MIN && value <= INT32_MAX;
}

int32_t writeInt32(SFcnRecord* record, const char* name, const int32_t* value) {
  return ssWriteRTWNameValuePair(record, SSWRITE_VALUE_TYPED_SCALAR, name, value,
                                 int{DATA_TYPE_INT32});
}

// One "<vectName>Define { ... }" block; stops at the first step that does
// not give exactly 1.
int32_t writeElement(SFcnRecord* record, const char* vectName, char* nameBuffer,
                     const char* elementName, int32_t width, int32_t startIndex) {
  formatInto(nameBuffer, kNameBufferSize, "%sDefine {", vectName);
  int32_t result = ssWriteRTWLine(record, nameBuffer);
  if (result != 1) return result;
  result = ssWriteRTWNameValuePair(record, SSWRITE_VALUE_TEXT, "Name", elementName);
  if (result != 1) return result;
  result = writeInt32(record, "Width", &width);
  if (result != 1) return result;
  result = writeInt32(record, "StartIndex", &startIndex);
  if (result != 1) return result;
  return ssWriteRTWLine(record, "}");
}

// Writes the nNames elements; *total receives the sum of the widths written.
int32_t writeElements(SFcnRecord* record, const char* vectName, char* nameBuffer, int32_t nNames,
                      va_list* args, int64_t* total) {
  // 64 bits: the sum of 32-bit widths must not overflow on its way to the
  // comparison with the registered length.
  int64_t startIndex = 0;
  for (int32_t i = 0; i < nNames; ++i) {
    const char* elementName = va_arg(*args, const char*);
    const int32_t width = va_arg(*args, int);
    if (!fitsInt32(startIndex)) return refuse(record, kStartIndexOverflow);
    const int32_t result = writeElement(record, vectName, nameBuffer, elementName, width,
                                        static_cast<int32_t>(startIndex));
    if (result != 1) return result;
    startIndex += width;
  }
  *total = startIndex;
  return 1;
}

}  // namespace

extern "C" int32_t ssWriteRTWWorkVect(SFcnRecord* record, const char* vectName, int32_t nNames,
                                      ...) {
  const int32_t* registered = registeredLength(record, vectName);
  if (registered == nullptr) return refuse(record, kInvalidVectName);
  if (nNames <= 0) return refuse(record, kInvalidNameCount);
  if (!hasLineAndNameValueHooks(record)) return refuse(record, kNoHooks);

  char nameBuffer[kNameBufferSize] = {};
  formatInto(nameBuffer, sizeof nameBuffer, "Num%sDefines", vectName);
  int32_t result = writeInt32(record, nameBuffer, &nNames);
  if (result != 1) return result;

  va_list args;
  va_start(args, nNames);
  int64_t total = 0;
  result = writeElements(record, vectName, nameBuffer, nNames, &args, &total);
  va_end(args);
  if (result != 1) return result;

  if (total == *registered) return 1;
  // Every earlier start index fit 32 bits, so the total has at most 11
  // characters, as the registered length does: the text stays within 189.
  formatInto(workVectErrorText, sizeof workVectErrorText, kTotalMismatch, vectName,
             static_cast<long long>(total), vectName, static_cast<int>(*registered));
  return refuse(record, workVectErrorText);
}

}  // namespace twinvolts
