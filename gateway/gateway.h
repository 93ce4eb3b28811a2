// The module's inside: the set-up call and the dispatch by flag behind
// mexFunction, the four ways of reporting, and reading numbers out of host
// arrays. Internal to the module: nothing here is called from C or by the host
// by name (the port-count hooks reach the host through the record only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gateway/sfcn_record.h"
#include "host/mx_array.h"

namespace twinvolts {

// --- Set-up call and record creation (gateway_setup.cpp) ---

// Set-up call (lhsCount >= 0): checks the arguments, attaches to the host's
// record (direct mode) or makes one (stand-alone mode), runs the block's
// set-up and leaves the 38-by-1 sizes vector in lhs[0]. Every failure ends
// the call in mexErrMsgTxt.
void gatewaySetup(int lhsCount, mxArray* lhs[], int rhsCount, const mxArray* rhs[]);

// A zero-filled record from the host allocator, named after the block, its
// own root, with a HostInfo, the block parameters rhs[4..] and the two
// port-count hooks below. Null only when the allocator gives nothing.
SFcnRecord* createStandaloneRecord(int rhsCount, const mxArray* rhs[]);

// Port-count hooks of a created record; the context is the record. A count
// of 0 or more is stored (with a fresh zero-filled port array when positive)
// and gives 1; a negative count changes nothing and gives 0.
int HOST_CALL standaloneSetNumInputPorts(void* context, int32_t count);
int HOST_CALL standaloneSetNumOutputPorts(void* context, int32_t count);

// --- Method calls (mex_function.cpp) ---

// Runs the one method that the flag names, or posts a message in the root
// record's errorMessage.
void dispatchFlag(SFcnRecord* record, int32_t flag);

// --- Guarded input-port access (port_access.cpp) ---

inline bool inputPortInRange(const SFcnRecord* record, int32_t port) {
  return port >= 0 && port < record->sizesBlock.inputPortCount;
}

// Show a bad index or an unconnected port as a fatal error; give null.
[[gnu::cold]] const void* reportPortOutOfRange(SFcnRecord* record, int32_t port);
[[gnu::cold]] const void* reportPortUnconnected(SFcnRecord* record, int32_t port);

// ssGetInputPortSignal's guard and read, inline so that the block's step
// saves the call; the reports stay out of line, so the step saves no
// registers for them either.
inline const void* inputSignal(SFcnRecord* record, int32_t port) {
  if (!inputPortInRange(record, port)) return reportPortOutOfRange(record, port);
  const void* signal = record->inputPorts[port].signal;
  if (signal == nullptr) return reportPortUnconnected(record, port);
  return signal;
}

// --- Messages and the four ways of reporting (reporting.cpp) ---

// The one way a message is built: formatted with vsnprintf into buffer (size
// bytes; a longer text is cut short to fit). Gives the length of the whole
// text, or -1 when the format fails.
[[gnu::format(printf, 3, 4)]] int formatInto(char* buffer, size_t size, const char* format, ...);

// The formatted text in memory of exactly its size, taken once with malloc:
// measured by a first formatInto with no room, then written by a second.
// Null when the format fails or no memory is to be had (the callers then
// report nothing, or a bare text); release with std::free.
[[gnu::format(printf, 1, 2)]] char* newMessage(const char* format, ...);

// 1. Raise: ends the set-up call through mexErrMsgTxt. The text is cut to the
// 256-byte buffer the host's messages fit; it lives on the stack because
// mexErrMsgTxt never returns to release anything.
[[noreturn, gnu::format(printf, 1, 2)]] void raiseError(const char* format, ...);

// 2. Error slot: points the root record's errorMessage at message, a text of
// the module that outlives the call. A record without a root keeps its own
// message rather than writing through a null pointer. Nothing in the module
// clears it.
inline void postErrorMessage(SFcnRecord* record, const char* message) {
  SFcnRecord* root = record->rootRecord != nullptr ? record->rootRecord : record;
  root->errorMessage = message;
}

// 3. Fatal error: sets fatalErrorFlag (when the record has a HostInfo) and
// shows message in the host's modal dialog (showFatalError).
void reportFatalError(SFcnRecord* record, const char* message);

// 4. Warning: shows message as a host warning; the caller goes on.
void warn(const char* message);

// --- Numbers in host arrays (host_number.cpp) ---

// Truncation toward zero; NaN, infinities and magnitudes of 2^63 or more give 0.
int64_t truncateToInt64(double value);
// The low 32 bits of a 64-bit integer, as a signed word.
inline int32_t lowWord32(int64_t value) {
  const auto low = static_cast<uint32_t>(static_cast<uint64_t>(value));
  int32_t word;
  std::memcpy(&word, &low, sizeof word);
  return word;
}

// How one class's elements are read: their size and how to decode them.
struct ClassReading {
  size_t size;
  int64_t (*toInt64)(const void* element);  // by the rule for doubles
  bool (*equals)(const void* element, int64_t value);
};
// One reading per class id; the classes without numbers have size 0.
extern const ClassReading kClassReadings[mxFUNCTION_CLASS + 1];

// The first column of a host array, read by the array's class: the class
// and the data address are asked of the host once, and each element is read
// at its class's own width (a smaller element must not be read as eight
// bytes). Row r exists when the column has data and r is below the array's
// row count, which the caller has checked: an array without elements has no
// data, and a class without numbers gives nothing to read.
struct HostColumn {
  const ClassReading* reading;  // null: nothing to read
  const void* data;
};
// Inline, like methodFlag, for the per-step path.
inline HostColumn readFirstColumn(const mxArray* array) {
  const auto classId = static_cast<unsigned>(mxGetClassID(array));
  if (classId > mxFUNCTION_CLASS || kClassReadings[classId].size == 0) return {nullptr, nullptr};
  const void* data = mxGetPr(array);
  if (data == nullptr) return {nullptr, nullptr};
  return {&kClassReadings[classId], data};
}

inline const void* elementAt(HostColumn column, size_t row) {
  return static_cast<const unsigned char*>(column.data) + row * column.reading->size;
}
// Row `row` as an integer by the rule for doubles (truncation toward zero;
// 0 for NaN, infinities, magnitudes of 2^63 or more and nothing to read).
inline int64_t elementToInt64(HostColumn column, size_t row) {
  return column.reading == nullptr ? 0 : column.reading->toInt64(elementAt(column, row));
}
// True when there is a number to read and it equals value exactly.
inline bool elementEquals(HostColumn column, size_t row, int64_t value) {
  return column.reading != nullptr && column.reading->equals(elementAt(column, row), value);
}
// True when the number is a whole number within the signed 32-bit range
// (-0.0 included), that is when it equals its own low word; the value is
// then stored in *result.
inline bool elementToExactInt32(HostColumn column, size_t row, int32_t* result) {
  const int32_t word = lowWord32(elementToInt64(column, row));
  if (!elementEquals(column, row, word)) return false;
  *result = word;
  return true;
}
// A method call's flag: row 0 as an integer, low 32 bits. Beyond a number
// being there to read, the host vouches for the flag: only the host's engine
// makes method calls, with its own full double, so the step asks nothing
// more (a set-up call, which anyone can make, reads a sparse FLAG apart).
inline int32_t methodFlag(const mxArray* flag) {
  return lowWord32(elementToInt64(readFirstColumn(flag), 0));
}

}  // namespace twinvolts
