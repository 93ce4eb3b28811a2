// Counts every heap allocation the process makes, by standing in for the C
// library's malloc family (operator new ends there too). Linked into a test
// program, it sees the module, the stand-in host and the simulated card alike.
#pragma once

#include <cstddef>

namespace memory_test {

// malloc, calloc and realloc calls since the program started.
long allocationCount();

// Bytes the C library's allocator has handed out and not taken back.
size_t heapBytesInUse();

// The process's peak resident set so far, in KiB.
long peakResidentKiB();

}  // namespace memory_test
