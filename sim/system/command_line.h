// The program's arguments as UTF-8. On Windows they come from the system's
// wide-character command line (wmain), so a name outside the ANSI code page
// arrives whole.
#pragma once

#include <string>
#include <vector>

namespace sim {

#ifdef _WIN32
// False with a one-line reason for an argument that is not Unicode text.
bool utf8Arguments(int argc, wchar_t** argv, std::vector<std::string>& arguments,
                   std::string& error);
#endif

}  // namespace sim
