// One block as a host holds it once the simulation loop starts: a host-owned
// record set up in direct mode, sample times declared, the input connected,
// and the flag and argument arrays a host reuses for every step.
#pragma once

#include "gateway/sfcn_record.h"
#include "standin_host/block_session.h"

namespace memory_test {

class RunningBlock {
 public:
  RunningBlock();
  // Ends the simulation, so the next test's set-up finds no pair held.
  ~RunningBlock() { shutDown(); }
  RunningBlock(const RunningBlock&) = delete;
  RunningBlock& operator=(const RunningBlock&) = delete;

  // False when set-up or the sample-time call did not succeed.
  bool ready() const { return ready_; }
  SFcnRecord* record() { return session_.record(); }

  // The input the next step reads.
  void setInput(double ao0, double ao1);

  // One step, three ways: the installed outputs slot as a host in direct mode
  // calls it; mexFunction with flag 104 through the host's call site; and
  // mexFunction called bare. The first two give false on a failed step.
  bool stepThroughSlot();
  bool stepThroughMexFunction();
  void stepThroughBareMexFunction();

  // A stand-alone set-up call; false unless it returned a sizes vector.
  bool standaloneSetUp();
  // A direct-mode set-up on the block's record, which then drives the card
  // again. False unless it succeeded.
  bool setUp();
  // The end of a simulation (flag 107): the block releases the card.
  bool shutDown();

 private:
  standin::BlockSession session_;
  double signal_[2] = {0.0, 0.0};
  bool ready_ = false;
};

}  // namespace memory_test
