#include "tests/support/fresh_state.h"

#include "simcard/simcard.h"
#include "standin_host/host_calls.h"

namespace fresh {

void resetHostAndCard() {
  standinReset();
  simcardReset();
}

}  // namespace fresh
