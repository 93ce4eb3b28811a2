// The module's inside: the set-up call and the dispatch by flag behind
// mexFunction, the four ways of reporting, and reading numbers out of host
// arrays. Internal to the module: nothing here is called from C or by the host
// by name (the port-count hooks reach the host through the record only).
#pragma once

#include <cstddef>
#include <cstdint>

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
int32_t lowWord32(int64_t value);

// Element `index` (column-major) of a host array's real part, read at the
// width of the array's class: a smaller element must not be read as eight
// bytes. An array of a class without numbers, or without data, has no element.
struct HostElement {
  const mxArray* array;
  size_t index;
};

// The element as an integer by the rule for doubles (truncation toward zero;
// 0 for NaN, infinities, magnitudes of 2^63 or more and a missing element).
int64_t elementToInt64(HostElement element);
// True when the element exists and equals value exactly.
bool elementEquals(HostElement element, int64_t value);
// True when the element is a whole number within the signed 32-bit range
// (-0.0 included); the value is then stored in *result.
bool elementToExactInt32(HostElement element, int32_t* result);
// A method call's flag: element 0 as an integer, low 32 bits. Beyond an
// element being there to read, the host vouches for the flag.
int32_t methodFlag(const mxArray* flag);

}  // namespace twinvolts
