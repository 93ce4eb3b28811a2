#include "sim/run/unknown_levels.h"

namespace sim {

void noteUnknownLevels(bool noCard, int reservedChannel, RunResult& result) {
  for (size_t ch = 0; ch < result.channels.size(); ++ch) {
    ChannelFigures& channel = result.channels[ch];
    if (channel.finalKnown) continue;
    if (noCard)
      channel.levelUnknown = "no card";
    else if (reservedChannel == static_cast<int>(ch))
      channel.levelUnknown = "held by another task";
    else
      channel.levelUnknown = "no write accepted";
  }
}

}  // namespace sim
