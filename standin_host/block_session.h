// Plays the host for one block: a host-owned record, the argument arrays a
// host makes once and reuses for every call on it, the set-up calls and the
// method calls by flag. Host-side code for tools and tests, never the module.
#pragma once

#include <vector>

#include "gateway/sfcn_record.h"
#include "host/mx_array.h"
#include "standin_host/host_calls.h"

namespace standin {

// The flags of the method calls a host makes once set-up has returned.
enum MethodFlag : int { kFlagSampleTimes = 101, kFlagOutputs = 104, kFlagTerminate = 107 };

class BlockSession {
 public:
  // A fresh host record named sfcnName at blockPath, called through entry.
  BlockSession(MexFunctionPtr entry, const char* sfcnName, const char* blockPath);
  ~BlockSession();
  BlockSession(const BlockSession&) = delete;
  BlockSession& operator=(const BlockSession&) = delete;

  SFcnRecord* record() const { return record_; }
  // The second argument of a direct-mode set-up call on the record.
  const mxArray* attachArgument() const { return attach_; }

  // The direct-mode set-up call on the record. True when the call returned
  // and the root record's error slot stayed empty. Its sizes vector goes to
  // *sizes, which the caller then owns, or is dropped when sizes is null:
  // the host reads the record.
  bool setUp(mxArray** sizes = nullptr);
  // A stand-alone set-up call (an empty second argument). True when it
  // returned; its sizes vector as above.
  bool standaloneSetUp(mxArray** sizes = nullptr);
  // A set-up call with any left-hand count and right-hand arguments, as a
  // host that passes on what it is given makes it. True when it returned; its
  // first result as above, any other dropped.
  bool setUpWith(int nlhs, std::vector<const mxArray*> rhs, mxArray** sizes = nullptr);

  // A method call through the host's call site: the root record's error slot
  // is cleared before and read after, as a host does. Allocates nothing, so
  // it serves the per-step path.
  bool method(double flag);
  // The same call with the error slot left as it stands, so that what an
  // earlier call posted stays; FLAG is the session's array holding flag, or
  // the given array of any class and shape, with any negative left-hand
  // count. True when the call returned.
  bool methodKeepingError(double flag);
  bool methodKeepingError(const mxArray* flag, int nlhs = -1);
  // The same call made on the entry point directly: no call site, so no
  // recovery from an error and no end-of-call reclaim.
  void bareMethod(double flag);

  // Why the last failed call failed: the text that ended it, else the error
  // slot's message ("" when there is none). Valid until the next call.
  const char* error() const;

 private:
  void setFlag(double value);
  bool setUpCall(int nlhs, mxArray** plhs, int nrhs, const mxArray** prhs, mxArray** sizes);
  bool methodCall(const mxArray* flag, int nlhs);

  MexFunctionPtr entry_;
  SFcnRecord* record_;
  mxArray* empty_;
  mxArray* attach_;
  mxArray* setUpFlag_;
  mxArray* methodFlag_;
  double* methodFlagValue_;  // the host writes its own array directly, as a host does
  mxArray* methodLhs_[2];
  const mxArray* methodRhs_[4];
  bool returned_ = true;
};

}  // namespace standin
