// What the Octave test asks of the simulated card through card_control.mex:
// the first argument of a call. Every call answers with the card's view,
// [open tasks, task holding ao0, task holding ao1] (0 where none does).
#pragma once

enum CardControl {
  kCardView = 0,
  kCardArm = 1,         // reset: armed, card present, no tasks, handles from 1
  kCardArmAbsent = 2,   // reset, then the card taken out
  kCardArmWarning = 3,  // reset, then every call that works returns a warning status
  kCardTakeAo1 = 4,     // another program's running task on Dev1/ao1
};
