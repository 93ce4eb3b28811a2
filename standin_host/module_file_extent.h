// Whether a module file holds everything the system's loader will map: a
// partial copy or download otherwise loads and then faults (a bus error) on
// the first touch of a missing page, instead of being refused.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

// For an ELF file (every loadable segment) or a PE file (the headers and
// every section's raw data): true when all of it lies inside the file, else
// false with a short reason in detail. Other files pass: the loader judges them.
bool moduleFileIsWhole(const char* path, std::string& detail);

}  // namespace standin
