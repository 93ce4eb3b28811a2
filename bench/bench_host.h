// The host side of the measurements: the module file loaded as a host loads
// it, one host-owned record set up in direct mode and ready to step, the
// argument arrays a host reuses, and the simulated card with its writes made
// no-ops so that only the module and the host's path to it are measured.
#pragma once

#include <optional>
#include <string>

#include "standin_host/block_session.h"
#include "standin_host/module_loader.h"

namespace bench {

class BenchHost {
 public:
  // Loads the module and sets up the record; on failure error() says why.
  explicit BenchHost(const std::string& modulePath);
  ~BenchHost();
  BenchHost(const BenchHost&) = delete;
  BenchHost& operator=(const BenchHost&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // The two driver writes of one step, called directly (the floor).
  void driverWrites();
  // One step through the installed outputs slot.
  void stepThroughSlot();
  // One step through mexFunction with flag 104, through the host's call site.
  bool stepThroughCallSite();
  // The same without the call site (no setjmp, no end-of-call reclaim).
  void stepThroughBareMexFunction();
  // One stand-alone set-up call; one direct-mode set-up call on a record of
  // its own, so the stepping record keeps its connected input.
  bool standaloneSetUp();
  bool directSetUp();

 private:
  StandinModule module_{};
  // Made once the module is loaded: the stepping block, and a record of its
  // own for the repeated direct-mode set-up calls.
  std::optional<standin::BlockSession> session_;
  std::optional<standin::BlockSession> setUpSession_;
  double signal_[2] = {1.25, 3.75};
  double ao0_ = 0.0;
  double ao1_ = 0.0;
  int samplesWritten_ = 0;
  std::string error_;
};

}  // namespace bench
