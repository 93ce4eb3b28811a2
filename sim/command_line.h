// The program's arguments as UTF-8: on Windows taken from the system's wide
// command line, so a name outside the ANSI code page arrives whole.
#pragma once

#include <string>
#include <vector>

namespace sim {

// False with a one-line reason for an argument that is not Unicode text.
bool commandLineArguments(int argc, char** argv, std::vector<std::string>& arguments,
                          std::string& error);

}  // namespace sim
