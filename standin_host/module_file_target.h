// Whether a module file was built for the kind of program loading it: a
// 32-bit file in a 64-bit program (or the other way round, or a Windows file
// on Linux) is refused by the system with a reason that does not say so.
#pragma once

#include <string>

namespace standin {

// False, with the file's kind and this program's in detail, for an ELF or PE
// file of a known word size that differs from this program's; true for
// every other file, which the system's loader judges.
bool moduleFileFitsThisProgram(const char* path, std::string& detail);

}  // namespace standin
