// Drives mexFunction as an arbitrary host might: set-up calls with any
// argument counts, classes, shapes, complexity and values, and method calls
// on well-formed host records whose call arguments, port flags, optional
// slots, propagation table and input connection vary. Every call must end in
// a sizes vector, one of the module's own messages, or a message in the root
// record's error slot; anything else aborts the run as a finding.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_arrays.h"
#include "fuzz/fuzz_records.h"
#include "host/mex_api.h"
#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"
#include "tests/support/expected_messages.h"
#include "tests/support/fresh_state.h"
#include "tests/support/slot_table.h"

namespace fuzz {
namespace {

constexpr int kMaxCalls = 24;
constexpr long long kVersionStamp = 5200229;

[[noreturn]] void finding(const std::string& what) {
  std::fprintf(stderr, "FINDING: %s\n", what.c_str());
  std::abort();
}

void require(bool condition, const std::string& what) {
  if (!condition) finding(what);
}

// The texts a set-up call may end in besides the two argument-count ones; the
// name-mismatch text quotes one of the records' names, cut as the module cuts it.
bool isSetupMessage(const std::string& text, const char* const* recordNames, int recordCount) {
  for (const char* message :
       {expected::kFlagNotInteger, expected::kInvalidSetupFlag, expected::kNullRecord}) {
    if (text == message) return true;
  }
  for (int i = 0; i < recordCount; ++i) {
    const char* name = recordNames[i] != nullptr ? recordNames[i] : "";
    if (text == expected::nameMismatch(name).substr(0, 255)) return true;
  }
  return false;
}

// The texts a method call may leave in the root record's error slot.
bool isErrorSlotMessage(const std::string& text) {
  for (const char* message :
       {expected::kInvalidFlag, expected::kVarHit, expected::kZeroCrossings}) {
    if (text == message) return true;
  }
  for (const slots::SlotRow& row : slots::kSlotRows) {
    if (text == row.message) return true;
  }
  return false;
}

// Everything the stand-in host logged must be something the module may say.
class HostLogCheck {
 public:
  HostLogCheck() : dialogs_(standinDialogCount()), breaches_(standinBreachCount()) {}
  void verify() const {
    if (standinBreachCount() != breaches_) {
      finding(std::string("the host saw a breach: ") + standinBreach(breaches_));
    }
    for (size_t i = dialogs_; i < standinDialogCount(); ++i) {
      const StandinDialog dialog = standinDialog(i);
      require(std::string(dialog.title) == expected::kFatalTitle &&
                  std::string(dialog.mode) == expected::kFatalMode,
              "a dialog with another title or mode");
      require(expected::isPortDialog(dialog.message),
              std::string("unexpected dialog text: ") + dialog.message);
    }
  }

 private:
  size_t dialogs_;
  size_t breaches_;
};

// A 2-row second argument whose element 1 is the version stamp names a record
// by address; the host only ever names its own records that way, so an
// arbitrary array that happens to carry the stamp is given address 0.
void keepAttachAddressesHonest(mxArray* second) {
  long long stamp = 0;
  if (mxGetM(second) == 2 && readWholeElement(second, 1, &stamp) && stamp == kVersionStamp) {
    writeElement(second, 0, 0.0);
  }
}

mxArray* attachArgument(FuzzedDataProvider& data, HostRecords& records) {
  const SFcnRecord* record = records.pick(data);
  if (data.ConsumeBool()) return standinNewAttachArgument(record);
  // Same words in another shape or class: 2-by-n, int64 or uint64.
  const size_t columns = data.ConsumeIntegralInRange<size_t>(0, 3);
  const mxClassID classId = data.PickValueInArray({mxDOUBLE_CLASS, mxINT64_CLASS, mxUINT64_CLASS});
  mxArray* array = standinCreateArray(classId, 2, columns, mxREAL);
  if (columns == 0) return array;
  const auto address = static_cast<int64_t>(reinterpret_cast<uintptr_t>(record));
  if (classId == mxDOUBLE_CLASS) {
    double* values = static_cast<double*>(standinRealData(array));
    values[0] = static_cast<double>(address);
    values[1] = static_cast<double>(kVersionStamp);
  } else {
    int64_t* values = static_cast<int64_t*>(standinRealData(array));
    values[0] = address;
    values[1] = kVersionStamp;
  }
  return array;
}

void checkSizesVector(const mxArray* sizes) {
  require(sizes != nullptr, "a set-up call returned without a sizes vector");
  require(mxGetClassID(sizes) == mxDOUBLE_CLASS && !mxIsComplex(sizes) && mxGetM(sizes) == 38 &&
              mxGetN(sizes) == 1,
          "the sizes vector is not a real 38-by-1 double array");
  const double* rows = mxGetPr(sizes);
  require(rows[19] == static_cast<double>(kVersionStamp), "sizes row 19 lacks the version stamp");
  require((static_cast<uint32_t>(rows[23]) & 0x2000u) != 0, "sizes row 23 lacks bit 0x2000");
}

void setupCall(FuzzedDataProvider& data, HostRecords& records) {
  const int nlhs = data.ConsumeIntegralInRange<int>(0, 3);
  const int nrhs = data.ConsumeIntegralInRange<int>(0, 8);
  std::vector<mxArray*> made;
  for (int i = 0; i < nrhs; ++i) {
    const bool attach = i == 1 && data.ConsumeBool();
    // A host's method calls pass full arrays; its set-up calls pass anything.
    mxArray* argument = attach ? attachArgument(data, records)
                        : data.ConsumeIntegralInRange<int>(0, 5) == 0 ? arbitrarySparse(data)
                                                                      : arbitraryArgument(data);
    if (argument == nullptr) argument = standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
    if (i == 1 && !attach) keepAttachAddressesHonest(argument);
    made.push_back(argument);
  }
  mxArray* sizes = nullptr;
  const bool returned =
      records.sessionOf(records.at(0))
          .setUpWith(nlhs, std::vector<const mxArray*>(made.begin(), made.end()), &sizes);
  const std::string error = standinLastError();
  if (returned) {
    require(nrhs >= 4 && nlhs <= 1, "a set-up call with bad argument counts returned");
    checkSizesVector(sizes);
    mxDestroyArray(sizes);
  } else if (nrhs < 4) {
    require(error == expected::kTooFewRightHand, "too few right-hand arguments, but: " + error);
  } else if (nlhs > 1) {
    require(error == expected::kTooManyLeftHand, "too many left-hand arguments, but: " + error);
  } else {
    require(isSetupMessage(error, records.names(), kRecordCount),
            "a set-up call ended in an unexpected message: " + error);
  }
  for (mxArray* argument : made) mxDestroyArray(argument);
}

mxArray* flagArray(FuzzedDataProvider& data) {
  if (data.ConsumeIntegralInRange<int>(0, 7) == 0) return arbitraryArgument(data);
  const double flag = data.ConsumeBool() ? data.ConsumeIntegralInRange<int>(100, 143)
                                         : data.ConsumeFloatingPoint<double>();
  return standinCreateDoubles(1, 1, &flag);
}

// Where the flag is a whole number within 32 bits, what must have happened
// follows from it alone: the block's own methods never go through the
// record's slots, and a flag outside 101..142 is refused.
void checkWholeFlag(const mxArray* flag, long slotsCalled, const char* posted) {
  long long value = 0;
  if (!readWholeElement(flag, 0, &value) || value < INT32_MIN || value > INT32_MAX) return;
  const bool blockMethod =
      value == 101 || value == 103 || value == 104 || value == 107 || value == 108;
  if (blockMethod) require(slotsCalled == 0, "a block method flag ran a record slot");
  if (value < 101 || value > 142) {
    require(slotsCalled == 0, "an invalid flag ran a record slot");
    require(posted != nullptr && std::string(posted) == expected::kInvalidFlag,
            "an invalid flag did not post the invalid-flag message");
  }
}

void methodCall(FuzzedDataProvider& data, HostRecords& records) {
  SFcnRecord* record = records.pick(data);
  SFcnRecord* root = record->rootRecord;
  // A host clears the slot before a call, or leaves what an earlier call posted.
  if (data.ConsumeBool()) root->errorMessage = nullptr;
  const char* before = root->errorMessage;
  const int nlhs = data.ConsumeIntegralInRange<int>(-3, -1);
  mxArray* flag = flagArray(data);
  const size_t recordersBefore = slots::slotCalls().size();

  const bool returned = records.sessionOf(record).methodKeepingError(flag, nlhs);
  require(returned, std::string("a method call ended in mexErrMsgTxt: ") + standinLastError());
  const long slotsCalled = static_cast<long>(slots::slotCalls().size() - recordersBefore);
  require(slotsCalled <= 1, "one method call ran more than one slot");
  const char* after = root->errorMessage;
  if (after != before) {
    require(after != nullptr && isErrorSlotMessage(after),
            std::string("unexpected error slot text: ") + (after ? after : "(null)"));
    require(slotsCalled == 0, "a method call both ran a slot and posted a message");
  }
  checkWholeFlag(flag, slotsCalled, after);
  mxDestroyArray(flag);
}

// The host in direct mode calls the installed slots without mexFunction.
void directSlotCall(FuzzedDataProvider& data, HostRecords& records) {
  SFcnRecord* r = records.pick(data);
  switch (data.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
      if (r->mdlOutputs != nullptr) r->mdlOutputs(r, data.ConsumeIntegral<int32_t>());
      break;
    case 1:
      if (r->mdlTerminate != nullptr) r->mdlTerminate(r);
      break;
    default:
      if (r->mdlInitializeSizes != nullptr) r->mdlInitializeSizes(r);
      break;
  }
  standinReclaimCallMemory();  // the dialog's strings, made outside a call
}

void runCalls(FuzzedDataProvider& data) {
  HostRecords records(data);
  for (int call = 0; call < kMaxCalls && data.remaining_bytes() > 0; ++call) {
    const HostLogCheck logs;
    switch (data.ConsumeIntegralInRange<int>(0, 5)) {
      case 0:
        setupCall(data, records);
        break;
      case 1:
      case 2:
        methodCall(data, records);
        break;
      case 3:
        directSlotCall(data, records);
        break;
      default:
        records.mutate(data, records.pick(data));
        break;
    }
    logs.verify();
  }
}

}  // namespace
}  // namespace fuzz

// Each input starts from a freshly loaded module, so a finding reproduces alone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fresh::resetHostAndCard();
  fresh::resetModuleState();
  slots::slotCalls().clear();
  FuzzedDataProvider data(bytes, size);
  if (data.ConsumeBool()) simcardSetPresent(false);
  fuzz::runCalls(data);
  return 0;
}
