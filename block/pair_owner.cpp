#include "block/pair_owner.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "gateway/gateway.h"
#include "gateway/sfcn_names.h"
#include "services/services.h"

namespace twinvolts {

namespace {

// Each record once, while the list has room.
bool firstTimeTold(const SFcnRecord* record) {
  const SFcnRecord** const told = pairOwner.told;
  const SFcnRecord** const end = told + pairOwner.toldCount;
  if (std::find(told, end, record) != end) return false;
  if (pairOwner.toldCount == std::size(pairOwner.told)) return false;
  told[pairOwner.toldCount++] = record;
  return true;
}

}  // namespace

void takeOverPair(const SFcnRecord* record) {
  pairOwner.record = record;
  const char* path = record->blockPath != nullptr ? record->blockPath : S_FUNCTION_NAME;
  const size_t length = std::min(std::strlen(path), sizeof pairOwner.blockPath - 1);
  std::memcpy(pairOwner.blockPath, path, length);
  pairOwner.blockPath[length] = '\0';
  pairOwner.toldCount = 0;
}

bool ownedByAnother() {
  return pairOwner.record != nullptr;
}

bool writesNothing(SFcnRecord* record) {
  if (!ownedByAnother()) return false;
  if (!firstTimeTold(record)) return true;
  char* message = newMessage(
      "the outputs are driven by block '%s', whose set-up came later; this block writes nothing "
      "(a model can hold one twinvolts block)",
      pairOwner.blockPath);
  ssWarnWithBlockPath(record, message != nullptr ? message
                                                 : "the outputs are driven by another twinvolts "
                                                   "block; this block writes nothing");
  std::free(message);
  return true;
}

}  // namespace twinvolts
