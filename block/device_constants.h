// The block's fixed configuration: it has no parameters, so every channel
// name, range and write argument is a constant of the module.
#ifndef TWINVOLTS_BLOCK_DEVICE_CONSTANTS_H
#define TWINVOLTS_BLOCK_DEVICE_CONSTANTS_H

#include "host/daqmx.h"

namespace twinvolts {

inline constexpr char kPhysicalChannelAo0[] = "Dev1/ao0";
inline constexpr char kPhysicalChannelAo1[] = "Dev1/ao1";

// The driver names tasks and channels itself when given empty names.
inline constexpr char kTaskNameAo0[1] = "";
inline constexpr char kTaskNameAo1[1] = "";
inline constexpr char kChannelNameAo0[1] = "";
inline constexpr char kChannelNameAo1[1] = "";

inline constexpr float64 kMinVolts = 0.0;
inline constexpr float64 kMaxVolts = 5.0;
inline constexpr int32 kUnits = DAQmx_Val_Volts;

inline constexpr int32 kSamplesPerChannel = 1;
inline constexpr bool32 kAutoStart = 0;
inline constexpr float64 kWriteTimeoutSeconds = 10.0;
inline constexpr bool32 kDataLayout = 0;  // grouped by channel; moot for one sample

inline constexpr int32_t kBlockParamCount = 0;
inline constexpr int32_t kInputPortWidth = 2;
inline constexpr uint32_t kInputPortAttribute = 0x20;
inline constexpr double kSamplePeriod = -1.0;  // inherited from the driving block
inline constexpr double kSampleOffset = 0.0;

}  // namespace twinvolts

#endif
