#include "block/pair_owner.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "gateway/gateway.h"
#include "gateway/sfcn_names.h"
#include "services/services.h"

namespace twinvolts {

PairOwner pairOwner;

void takeOverPair(const SFcnRecord* record) {
  pairOwner.record = record;
  const char* path = record->blockPath != nullptr ? record->blockPath : S_FUNCTION_NAME;
  formatInto(pairOwner.blockPath, sizeof pairOwner.blockPath, "%s", path);
  pairOwner.toldCount = 0;
}

void tellOnceItWritesNothing(SFcnRecord* record) {
  const SFcnRecord** const told = pairOwner.told;
  const SFcnRecord** const end = told + pairOwner.toldCount;
  if (std::find(told, end, record) != end) return;
  if (pairOwner.toldCount == std::size(pairOwner.told)) return;
  told[pairOwner.toldCount++] = record;
  char* message = newMessage(
      "the outputs are driven by block '%s', whose set-up came later; this block writes nothing "
      "(a model can hold one twinvolts block)",
      pairOwner.blockPath);
  ssWarnWithBlockPath(record, message != nullptr ? message
                                                 : "the outputs are driven by another twinvolts "
                                                   "block; this block writes nothing");
  std::free(message);
}

}  // namespace twinvolts
