#include "standin_host/block_session.h"

#include <algorithm>
#include <initializer_list>

#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"

namespace standin {

BlockSession::BlockSession(MexFunctionPtr entry, const char* sfcnName, const char* blockPath)
    : entry_(entry),
      record_(standinNewHostRecord(sfcnName, blockPath)),
      empty_(standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL)),
      attach_(standinNewAttachArgument(record_)),
      setUpFlag_(standinCreateScalar(mxDOUBLE_CLASS, 0.0)),
      methodFlag_(standinCreateScalar(mxDOUBLE_CLASS, 0.0)),
      methodFlagValue_(static_cast<double*>(standinRealData(methodFlag_))),
      // A method call's second result slot carries the record's address.
      methodLhs_{nullptr, reinterpret_cast<mxArray*>(record_)},
      methodRhs_{empty_, empty_, empty_, methodFlag_} {}

BlockSession::~BlockSession() {
  for (mxArray* array : {empty_, attach_, setUpFlag_, methodFlag_}) mxDestroyArray(array);
  standinFreeHostRecord(record_);
}

bool BlockSession::setUp(mxArray** sizes) {
  record_->rootRecord->errorMessage = nullptr;
  const mxArray* prhs[4] = {empty_, attach_, empty_, setUpFlag_};
  mxArray* plhs[1] = {nullptr};
  return setUpCall(1, plhs, 4, prhs, sizes) && record_->rootRecord->errorMessage == nullptr;
}

bool BlockSession::standaloneSetUp(mxArray** sizes) {
  const mxArray* prhs[4] = {empty_, empty_, empty_, setUpFlag_};
  mxArray* plhs[1] = {nullptr};
  return setUpCall(1, plhs, 4, prhs, sizes);
}

bool BlockSession::setUpWith(int nlhs, std::vector<const mxArray*> rhs, mxArray** sizes) {
  // As a host does: a slot for each left-hand argument, and at least one.
  std::vector<mxArray*> plhs(static_cast<size_t>(std::max(nlhs, 1)), nullptr);
  return setUpCall(nlhs, plhs.data(), static_cast<int>(rhs.size()),
                   rhs.empty() ? nullptr : rhs.data(), sizes);
}

// The steps of methodKeepingError(flag) written out, not called: this is the
// call of every simulated step.
bool BlockSession::method(double flag) {
  record_->rootRecord->errorMessage = nullptr;
  *methodFlagValue_ = flag;
  methodRhs_[3] = methodFlag_;
  returned_ = standinCallMexFunction(entry_, -1, methodLhs_, 4, methodRhs_);
  methodRhs_[3] = methodFlag_;
  return returned_ && record_->rootRecord->errorMessage == nullptr;
}

bool BlockSession::methodKeepingError(double flag) {
  setFlag(flag);
  return methodCall(methodFlag_, -1);
}

bool BlockSession::methodKeepingError(const mxArray* flag, int nlhs) {
  return methodCall(flag, nlhs);
}

void BlockSession::bareMethod(double flag) {
  setFlag(flag);
  entry_(-1, methodLhs_, 4, methodRhs_);
}

const char* BlockSession::error() const {
  if (!returned_) return standinLastError();
  const char* slot = record_->rootRecord->errorMessage;
  return slot != nullptr ? slot : "";
}

void BlockSession::setFlag(double value) {
  *methodFlagValue_ = value;
}

bool BlockSession::setUpCall(int nlhs, mxArray** plhs, int nrhs, const mxArray** prhs,
                             mxArray** sizes) {
  returned_ = standinCallMexFunction(entry_, nlhs, plhs, nrhs, prhs);
  for (int i = 0; i < std::max(nlhs, 1); ++i) {
    if (i == 0 && sizes != nullptr) {
      *sizes = plhs[0];
    } else if (plhs[i] != nullptr) {
      mxDestroyArray(plhs[i]);
    }
  }
  return returned_;
}

bool BlockSession::methodCall(const mxArray* flag, int nlhs) {
  methodRhs_[3] = flag;
  returned_ = standinCallMexFunction(entry_, nlhs, methodLhs_, 4, methodRhs_);
  methodRhs_[3] = methodFlag_;
  return returned_;
}

}  // namespace standin
