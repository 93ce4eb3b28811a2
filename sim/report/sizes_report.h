// The block's sizes as a stand-alone set-up call returns them.
#pragma once

#include <string>

#include "standin_host/host_calls.h"

namespace sim {

// Makes a stand-alone set-up call and prints the 38 rows of the sizes vector
// with their field names into out. Returns false with the raised message on
// failure.
bool sizesText(MexFunctionPtr entry, std::string& out, std::string& error);

}  // namespace sim
