// Apart from fresh_state.cpp, so that programs that load the module file
// rather than link its objects never pull it in.
#include "block/pair_owner.h"
#include "block/twinvolts_block.h"
#include "tests/support/fresh_state.h"

namespace fresh {

void resetModuleState() {
  SFcnTaskAo0 = 0;
  SFcnTaskAo1 = 0;
  ao0Value = 0.0;
  ao1Value = 0.0;
  samplesWritten = 0;
  tasksHeld = false;
  exitFunctionRegistered = false;
  twinvolts::runReport = {};
  twinvolts::pairOwner = {};
}

}  // namespace fresh
