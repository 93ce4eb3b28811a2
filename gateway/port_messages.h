// Texts of the port accessors' fatal-error dialogs, and the room each needs.
//
// Port numbers arrive as 32-bit ints but are printed as 64-bit values:
// port + 1 and count - 1 are computed in 64 bits so that INT32_MAX + 1 and
// INT32_MIN - 1 print as the numbers they are. The widest such number,
// "-2147483649", has 11 characters.
#ifndef TWINVOLTS_GATEWAY_PORT_MESSAGES_H
#define TWINVOLTS_GATEWAY_PORT_MESSAGES_H

#include <cinttypes>
#include <cstddef>

namespace twinvolts {

inline constexpr size_t kWidestNumber = 11;

// (sfcnName, blockPath, port + 1 [64-bit], count, count - 1 [64-bit])
inline constexpr char kPortOutOfRangeFormat[] =
    "S-function '%s' in block '%s' is attempting to access the signal from input port '%" PRId64
    "' in one its methods. However, the S-function's mdlInitializeSizes routine has configured "
    "the block to have only %d input port(s). The incorrect access will cause a segmentation "
    "violation. Please verify that all calls to ssGetInputPort[Real]Signal[Ptrs]() are using port "
    "indices in the range [0..%" PRId64 "].\n";

// (sfcnName, blockPath, port + 1 [64-bit], kPortUnconnectedHint)
inline constexpr char kPortUnconnectedFormat[] =
    "S-function '%s' in block '%s' is attempting to access the signal from input port '%" PRId64
    "' in one its methods. However, the S-function's mdlInitializeSizes routine did not register "
    "the ssSetInputPortDirectFeedThrough macro or the direct feedthrough flag has been set to "
    "zero. This will cause a segmentation violation. %s";
inline constexpr char kPortUnconnectedHint[] =
    "Please verify that the ssSetInputPortDirectFeedThrough is declared in mdlInitializeSizes and "
    "the direct feedthrough flag is set to one when accessing the input port signals in the "
    "mdlOutputs and/or mdlGetTimeOfNextVarHit method(s).";

// (sfcnName, blockPath, port + 1 [64-bit], count); ends in a blank so that
// kFeedThroughRangeFormat can follow it.
inline constexpr char kFeedThroughPortFormat[] =
    "S-function '%s' in block '%s' is setting or clearing the direct feedthrough flag for port "
    "%" PRId64
    ". However, the S-function's mdlInitializeSizes routine has configured the block to have only "
    "%d input port(s). Setting of clearing the direct feedthrough flag for an invalid port index "
    "will cause a segmentation violation. ";
// (count - 1 [64-bit])
inline constexpr char kFeedThroughRangeFormat[] =
    "Please verify that all calls to ssSetInputPortDirectFeedThrough are using port indices in the "
    "range [0..%" PRId64 "].\n";

// Bytes that a format of `formatSize` bytes (sizeof, terminator included)
// can need once its conversions hold `textLength` characters of inserted
// text and `numberCount` numbers. The conversions' own characters are
// counted too, so this errs on the large side only.
constexpr size_t messageCapacity(size_t formatSize, size_t textLength, size_t numberCount) {
  return formatSize + textLength + numberCount * kWidestNumber;
}

}  // namespace twinvolts

#endif
