// The test and simulation side's controls and views of the card.
#include <cmath>

#include "simcard/call_log.h"
#include "simcard/card_state.h"
#include "simcard/simcard.h"
#include "simcard/write_trace.h"

namespace {

bool isChannel(int channel) {
  return channel >= 0 && channel < SIMCARD_CHANNEL_COUNT;
}

}  // namespace

extern "C" void simcardReset(void) {
  simcard::Card& c = simcard::card();
  c = simcard::Card{};
  c.armed = true;
  simcard::clearWriteTrace();
  simcard::clearCallLog();
}

extern "C" void simcardSetPresent(bool present) {
  simcard::card().present = present;
}

extern "C" void simcardFailWriteAt(long long n) {
  simcard::card().failWriteAt = n > 0 ? n : 0;
}

extern "C" void simcardSetWarnOnSuccess(bool on) {
  simcard::card().warnOnSuccess = on;
}

extern "C" void simcardSetWritesNoop(bool on) {
  simcard::card().writesNoop = on;
}

extern "C" double simcardOutputVolts(int channel) {
  return isChannel(channel) ? simcard::card().outputVolts[channel] : std::nan("");
}

extern "C" const double* simcardOutputs(void) {
  return simcard::card().outputVolts;
}

extern "C" int simcardOpenTaskCount(void) {
  return simcard::card().openTasks;
}

extern "C" TaskHandle simcardChannelReservedBy(int channel) {
  return isChannel(channel) ? simcard::card().reservedBy[channel] : 0;
}
