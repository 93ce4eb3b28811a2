#include "standin_host/host_record.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <type_traits>

#include "standin_host/breach_log.h"
#include "standin_host/host_arrays.h"

namespace {

// The record comes first, so the record's address is the host record's and
// the host finds its extras from the record pointer alone.
struct HostRecord {
  SFcnRecord record;
  HostInfo info;
  PropagationMethods propagation;
  double samplePeriods[STANDIN_MAX_SAMPLE_TIMES];
  double sampleOffsets[STANDIN_MAX_SAMPLE_TIMES];
  char* sfcnName;
  char* blockPath;
  // The port arrays the hooks made, kept apart from the record's pointers,
  // which the module or a test may point elsewhere.
  InputPortInfo* inputPorts;
  OutputPortInfo* outputPorts;
  int inputPortCountCalls;
  int outputPortCountCalls;
};
static_assert(std::is_standard_layout<HostRecord>::value, "the record must start the host record");
static_assert(offsetof(HostRecord, record) == 0, "the record must start the host record");

// Records this host made and has not freed; lookups never read through the address.
std::set<const void*>& liveRecords() {
  static std::set<const void*> records;
  return records;
}

HostRecord* hostRecordOf(const void* record, const char* caller) {
  if (liveRecords().count(record) != 0) {
    return static_cast<HostRecord*>(const_cast<void*>(record));
  }
  std::string text = std::string(caller) + " called with " +
                     (record == nullptr ? "a null record" : "a record this host did not make");
  standinRecordBreach(text.c_str());
  return nullptr;
}

char* copyText(const char* text) {
  if (text == nullptr) return nullptr;
  size_t bytes = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(bytes));
  if (copy != nullptr) std::memcpy(copy, text, bytes);
  return copy;
}

// What both port-count hooks do: refuse a negative count; for a positive one
// replace the port array with a zero-filled one, refusing when memory is out.
template <typename Port>
int declarePortCount(int32_t count, int32_t* storedCount, Port** hostPorts, Port** recordPorts) {
  if (count < 0) return 0;
  if (count > 0) {
    Port* fresh = static_cast<Port*>(std::calloc(static_cast<size_t>(count), sizeof(Port)));
    if (fresh == nullptr) return 0;
    std::free(*hostPorts);
    *hostPorts = fresh;
    *recordPorts = fresh;
  }
  *storedCount = count;
  return 1;
}

int HOST_CALL setNumInputPorts(void* context, int32_t count) {
  HostRecord* host = hostRecordOf(context, "setNumInputPortsFcn");
  if (host == nullptr) return 0;
  ++host->inputPortCountCalls;
  return declarePortCount(count, &host->record.sizesBlock.inputPortCount, &host->inputPorts,
                          &host->record.inputPorts);
}

int HOST_CALL setNumOutputPorts(void* context, int32_t count) {
  HostRecord* host = hostRecordOf(context, "setNumOutputPortsFcn");
  if (host == nullptr) return 0;
  ++host->outputPortCountCalls;
  return declarePortCount(count, &host->record.sizesBlock.outputPortCount, &host->outputPorts,
                          &host->record.outputPorts);
}

}  // namespace

SFcnRecord* standinNewHostRecord(const char* sfcnName, const char* blockPath) {
  HostRecord* host = static_cast<HostRecord*>(std::calloc(1, sizeof(HostRecord)));
  if (host == nullptr) return nullptr;
  host->sfcnName = copyText(sfcnName);
  host->blockPath = copyText(blockPath);
  SFcnRecord& record = host->record;
  record.sfcnName = host->sfcnName;
  record.blockPath = host->blockPath;
  record.rootRecord = &record;
  record.hostInfo = &host->info;
  record.propagationMethods = &host->propagation;
  record.samplePeriods = host->samplePeriods;
  record.sampleOffsets = host->sampleOffsets;
  record.setNumInputPortsFcn = setNumInputPorts;
  record.setNumInputPortsContext = &record;
  record.setNumOutputPortsFcn = setNumOutputPorts;
  record.setNumOutputPortsContext = &record;
  liveRecords().insert(&record);
  return &record;
}

void standinFreeHostRecord(SFcnRecord* record) {
  if (record == nullptr) return;
  HostRecord* host = hostRecordOf(record, "standinFreeHostRecord");
  if (host == nullptr) return;
  liveRecords().erase(record);
  std::free(host->inputPorts);
  std::free(host->outputPorts);
  std::free(host->sfcnName);
  std::free(host->blockPath);
  std::free(host);
}

mxArray* standinNewAttachArgument(const SFcnRecord* record) {
  mxArray* argument = standinCreateArray(mxDOUBLE_CLASS, 2, 1, mxREAL);
  if (argument == nullptr) return nullptr;
  double* values = static_cast<double*>(standinRealData(argument));
  uint64_t address = reinterpret_cast<uintptr_t>(record);
  // Every address up to 2^53 is exact as a double; user-space addresses of
  // the targets at hand are below that.
  if (address >> 53 != 0) {
    standinRecordBreach("standinNewAttachArgument: the record's address does not fit a double");
  }
  values[0] = static_cast<double>(address);
  values[1] = SFCN_VERSION_STAMP;
  return argument;
}

bool standinConnectInput(SFcnRecord* record, int32_t port, const void* signal) {
  HostRecord* host = hostRecordOf(record, "standinConnectInput");
  if (host == nullptr) return false;
  if (port < 0 || port >= record->sizesBlock.inputPortCount || record->inputPorts == nullptr) {
    std::string text = "standinConnectInput: the block has no input port " + std::to_string(port);
    standinRecordBreach(text.c_str());
    return false;
  }
  record->inputPorts[port].signal = signal;
  return true;
}

int standinInputPortCountCalls(const SFcnRecord* record) {
  const HostRecord* host = hostRecordOf(record, "standinInputPortCountCalls");
  return host != nullptr ? host->inputPortCountCalls : 0;
}

int standinOutputPortCountCalls(const SFcnRecord* record) {
  const HostRecord* host = hostRecordOf(record, "standinOutputPortCountCalls");
  return host != nullptr ? host->outputPortCountCalls : 0;
}
