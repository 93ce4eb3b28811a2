// A channel held by another task of the card before the block's run, as when
// another program on the machine uses it: the block's set-up then meets the
// card's reservation refusal.
#pragma once

#include <string>

#include "host/daqmx.h"

namespace sim {

class ChannelReservation {
 public:
  // Holds Dev1/ao<channel> with a started task of its own; false with the
  // card's reason when the card refuses.
  bool hold(int channel, std::string& error);
  // Stops and clears the task; safe when nothing is held.
  void release();

 private:
  TaskHandle task_ = 0;
};

}  // namespace sim
