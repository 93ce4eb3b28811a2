// What kind of module file a file is, read from its headers, so that a file
// built for another system or word size is named for what it is, with what
// rehearses it, rather than left to the system loader's terse refusal.
#pragma once

#include <string>

namespace standin {

// Empty for a file this program may load, and for one that is no module file
// at all (the system's loader judges those). Else one phrase for a message:
// what the file is, what this program loads, and which kit rehearses the
// file.
std::string foreignModuleFile(const char* path);

}  // namespace standin
