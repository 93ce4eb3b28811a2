// Host-owned records for method calls: well formed, as the host guarantees,
// with their call arguments, port flags, optional slots, propagation table,
// port count and input connection set from fuzz input. Optional slots are
// filled with the slot table's recorders, whose calls slots::slotCalls() keeps.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>

#include "gateway/sfcn_record.h"
#include "standin_host/block_session.h"

namespace fuzz {

constexpr int kRecordCount = 2;

class HostRecords {
 public:
  // Records named "twinvolts", another name or a name from the input.
  explicit HostRecords(FuzzedDataProvider& data);
  ~HostRecords();
  HostRecords(const HostRecords&) = delete;
  HostRecords& operator=(const HostRecords&) = delete;

  SFcnRecord* pick(FuzzedDataProvider& data);
  SFcnRecord* at(int index) { return records_[index]; }
  // The host's session on the record, which makes the calls on it.
  standin::BlockSession& sessionOf(const SFcnRecord* record) { return *sessions_[indexOf(record)]; }
  const char* const* names() const { return names_; }

  // Changes one thing a host may change between calls.
  void mutate(FuzzedDataProvider& data, SFcnRecord* record);

 private:
  void fillSlots(FuzzedDataProvider& data, SFcnRecord* record);
  void fillPropagation(FuzzedDataProvider& data, SFcnRecord* record, int index);
  void declareInputPorts(FuzzedDataProvider& data, SFcnRecord* record);
  void setParameters(FuzzedDataProvider& data, SFcnRecord* record);
  int indexOf(const SFcnRecord* record) const;

  std::optional<standin::BlockSession> sessions_[kRecordCount];
  SFcnRecord* records_[kRecordCount] = {};
  PropagationMethods* propagation_[kRecordCount] = {};
  const char* names_[kRecordCount] = {};
  SFcnSetPortCountFcn inputPortsHook_[kRecordCount] = {};
  SFcnSetPortCountFcn outputPortsHook_[kRecordCount] = {};
  // Two doubles per record: the block reads both elements of its input.
  double signals_[kRecordCount][2] = {};
  int32_t dims_[4] = {2, 1, 0, 0};
  const mxArray* params_[2] = {};
};

}  // namespace fuzz
