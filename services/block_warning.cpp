#include "services/block_warning.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host/mex_api.h"

namespace {

// Fixed text of "block '%s': %s" is 10 characters; the rest is headroom.
constexpr size_t kPrefixOverhead = 16;

}  // namespace

extern "C" void ssWarnWithBlockPath(SFcnRecord* record, const char* message) {
  const char* blockPath = record->blockPath;
  if (blockPath == nullptr) {
    mexWarnMsgTxt(message);
    return;
  }
  const size_t size = strlen(message) + strlen(blockPath) + kPrefixOverhead;
  char* text = static_cast<char*>(malloc(size));
  if (text == nullptr) {
    mexWarnMsgTxt(message);
    return;
  }
  snprintf(text, size, "block '%s': %s", blockPath, message);
  mexWarnMsgTxt(text);
  free(text);
}
