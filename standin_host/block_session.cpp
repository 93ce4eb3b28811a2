#include "standin_host/block_session.h"

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

bool BlockSession::setUp() {
  record_->rootRecord->errorMessage = nullptr;
  return setUpCall(attach_, nullptr) && record_->rootRecord->errorMessage == nullptr;
}

bool BlockSession::standaloneSetUp(mxArray** sizes) {
  return setUpCall(empty_, sizes);
}

bool BlockSession::method(int flag) {
  setFlag(flag);
  record_->rootRecord->errorMessage = nullptr;
  returned_ = standinCallMexFunction(entry_, -1, methodLhs_, 4, methodRhs_);
  return returned_ && record_->rootRecord->errorMessage == nullptr;
}

void BlockSession::bareMethod(int flag) {
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

bool BlockSession::setUpCall(const mxArray* second, mxArray** sizes) {
  mxArray* plhs[1] = {nullptr};
  const mxArray* prhs[4] = {empty_, second, empty_, setUpFlag_};
  returned_ = standinCallMexFunction(entry_, 1, plhs, 4, prhs);
  if (sizes != nullptr) {
    *sizes = plhs[0];
  } else if (plhs[0] != nullptr) {
    mxDestroyArray(plhs[0]);
  }
  return returned_;
}

}  // namespace standin
