// Whether two paths name one file, whatever the names: a link, a hard link,
// "./x" for "x", or on Windows another case or separator.
#pragma once

#include <string>

namespace sim {

// Equal for paths that reach the same file: an existing file by its device
// and file number (on Windows its volume and file index), a file not yet
// made by its folder's identity and its name (without regard to case on
// Windows). Empty for devices and other non-files, which may be named
// twice; "-" is standard output.
std::string fileIdentity(const std::string& path);

}  // namespace sim
