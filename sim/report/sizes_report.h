// The block's sizes as a stand-alone set-up call returns them.
#pragma once

#include <string>

#include "standin_host/host_calls.h"

namespace sim {

// Makes a stand-alone set-up call and prints the 38 rows of the sizes vector
// with their field names into out. Returns false with the raised message on
// failure.
bool sizesText(MexFunctionPtr entry, std::string& out, std::string& error);

// What the set-up call said, each message whole on its own line (wrapped at
// spaces to width, 0 for none), and the host's log of them emptied.
std::string setUpMessagesText(int width);

}  // namespace sim
