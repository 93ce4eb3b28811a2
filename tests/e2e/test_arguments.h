// Paths a test program is given on its command line, after GoogleTest has
// taken its own flags: --name=value or --name value.
#pragma once

#include <string>

namespace e2e {

// The value of --name, or "" when it was not given.
const std::string& testArgument(const std::string& name);

}  // namespace e2e
