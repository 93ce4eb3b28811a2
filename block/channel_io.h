// One analog output channel's life: open (create, add the voltage channel,
// start), write one sample, release (stop, clear). Driver statuses are not
// examined: the block carries on with its next call whatever the card says.
#ifndef TWINVOLTS_BLOCK_CHANNEL_IO_H
#define TWINVOLTS_BLOCK_CHANNEL_IO_H

#include "host/daqmx.h"

namespace twinvolts {

void openChannel(TaskHandle* task, const char* taskName, const char* physicalChannel,
                 const char* assignedName);
// value must stay valid for the call; the module passes its own buffers.
void writeChannel(TaskHandle task, const float64* value);
void releaseChannel(TaskHandle task);

}  // namespace twinvolts

#endif
