#include "gateway/attach_argument.h"

#include <cstdint>

#include "gateway/host_number.h"

extern "C" bool attachArgumentNamesRecord(const mxArray* attach, SFcnRecord** record) {
  if (mxGetM(attach) != 2) return false;
  // A 2-by-0 array has no element 1: the read gives no number and so no stamp.
  if (!hostNumberEquals(readHostElement(attach, 1), SFCN_VERSION_STAMP)) return false;
  // The address fills the whole pointer: its low 32 bits on a 32-bit target,
  // all 64 on a 64-bit one, where the record layout is widened.
  const int64_t address = hostNumberToInt64(readHostElement(attach, 0));
  *record = reinterpret_cast<SFcnRecord*>(static_cast<uintptr_t>(address));
  return true;
}
